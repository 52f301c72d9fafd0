// WAV: our own file (WavFileWriter), going on in the next record name when it reaches the
// format's size limit.

#include "engine/AudioLoss.h"
#include "engine/WavFile.h"
#include "engine/Writers.h"

#include <algorithm>

namespace {

class WavWriter : public OutputWriter {
public:
    StartResult Start(WriterState& w) override {
        if (MaybeMessage message = Create(w, w.CurrentFile))
            return {false, message};
        return {true, std::nullopt};
    }

    MaybeMessage Write(WriterState& w, std::span<const std::uint8_t> block) override {
        if (std::optional<std::string> failure = wav_->Failure()) {
            // What was handed over but never reached the disk is lost too.
            w.LostBytes += w.FileBytes - std::min<std::uint64_t>(w.FileBytes, wav_->BytesOnDisk());
            w.WriterFailed = true;
            FinishFile(w, true);
            return Lose(w, block.size(), ErrorMessage(WriteFailed(w.CurrentFile, *failure)));
        }
        if (w.FileBytes + block.size() > w.MaxDataBytes) {
            FinishFile(w, false);
            const std::string next = w.NextFileName ? w.NextFileName() : std::string();
            w.WriterFailed = true;
            if (next.empty())
                return Lose(
                    w, block.size(),
                    PlainMessage(WriteFailed(w.CurrentFile,
                                             "The file is full and no next file name was given.")));
            if (MaybeMessage message = Create(w, next))
                return Lose(w, block.size(), message);
            w.WriterFailed = false;
        }
        if (!wav_->Write(block))
            return Lose(w, block.size()); // the disk is a whole queue behind
        w.FileBytes += block.size();
        return std::nullopt;
    }

    void Finish(WriterState& w) override {
        if (wav_)
            FinishFile(w, w.WriterFailed);
    }

private:
    // Creates the file; on failure the message to show.
    MaybeMessage Create(WriterState& w, const std::string& path) {
        const std::size_t queueBytes =
            w.WavQueueBytes ? w.WavQueueBytes : std::size_t(w.Format.BlockBytes) * 10 * 60;
        std::string reason;
        // A file whose creation does not answer is left to its thread, which closes it.
        const platform::FileCreator create = [&w](const std::string& file) {
            return w.CreateLookup
                .Within<platform::CreatedFile>(
                    [create = w.CreateFile, file] { return create(file); })
                .value_or(platform::CreatedFile{nullptr, NoAnswerText("The folder")});
        };
        wav_ = WavFileWriter::Create(path, w.Format, create, queueBytes, reason);
        if (!wav_)
            return ErrorMessage("Cannot create file \"" + path + "\". " + reason);
        w.CurrentFile = path;
        w.FileBytes = 0;
        return std::nullopt;
    }

    // The file is finished in the background; a failure not told yet is told then, with the
    // audio it cost (the last sync can fail at the end).
    void FinishFile(WriterState& w, bool failureTold) {
        std::shared_ptr<WavFileWriter> wav(std::move(wav_));
        const std::string path = wav->Path();
        const std::uint64_t handed = w.FileBytes;
        const std::uint64_t blockBytes = std::max<std::uint64_t>(w.Format.BlockBytes, 1);
        FinishInBackground(w, path, [wav, path, failureTold, handed, blockBytes]() -> MaybeMessage {
            const std::optional<std::string> failure = wav->Finish();
            if (!failure || failureTold)
                return std::nullopt;
            std::string text = WriteFailed(path, *failure);
            if (const std::uint64_t lost =
                    handed - std::min<std::uint64_t>(handed, wav->BytesOnDisk()))
                text += "; the last " + LostAudioText(lost * 100 / blockBytes) + " of it are lost";
            return ErrorMessage(text);
        });
    }

    std::unique_ptr<WavFileWriter> wav_;
};

} // namespace

std::unique_ptr<OutputWriter> MakeWavWriter() {
    return std::make_unique<WavWriter>();
}
