// MP3 and Ogg Vorbis: lame or oggenc, started on a carrier stream of the audio library that
// hands them the blocks.

#include "audio/BASSenc.h"
#include "engine/OutputFormats.h"
#include "engine/Writers.h"
#include "platform/Locale.h"

#include <utility>

namespace {

class CommandLineWriter : public OutputWriter {
public:
    StartResult Start(WriterState& w) override {
        const OutputFormat& format = SelectedFormat(w.Format);
        name_ = format.Name;
        const std::string commandLine =
            format.Id == FormatId::Mp3
                ? BuildLameCommandLine(w.Format, w.CurrentFile)
                : BuildOggencCommandLine(w.Format, w.CurrentFile, platform::DecimalSeparator());
        carrier_ = BASS_StreamCreate(44100, static_cast<DWORD>(w.Format.Channels), 0,
                                     STREAMPROC_DUMMY, nullptr);
        StartResult result{true, std::nullopt};
        started_ = carrier_ != 0 && BASS_Encode_Start(carrier_, commandLine.c_str(),
                                                      BASS_ENCODE_PAUSE, nullptr, nullptr) != 0;
        if (!started_) {
            result.Message = PlainMessage(CouldNotStart(name_));
            w.WriterFailed = true;
        }
        if (carrier_ != 0)
            BASS_ChannelPlay(carrier_, false);
        return result;
    }

    MaybeMessage Write(WriterState& w, std::span<const std::uint8_t> block) override {
        if (!BASS_Encode_Write(carrier_, block.data(), static_cast<DWORD>(block.size()))) {
            w.WriterFailed = true;
            return Lose(w, block.size(), PlainMessage(EncoderStopped(w.CurrentFile, name_)));
        }
        w.FileBytes += block.size();
        return std::nullopt;
    }

    void Finish(WriterState& w) override {
        const DWORD carrier = std::exchange(carrier_, 0);
        if (carrier == 0)
            return;
        const std::string path = w.CurrentFile;
        const bool tellStuck = started_ && !w.WriterFailed;
        FinishInBackground(w, path, [carrier, path, tellStuck, name = name_]() -> MaybeMessage {
            // False when an encoder had to be ended: it stopped reading its input.
            const bool finished = BASS_Encode_Stop(carrier);
            BASS_ChannelStop(carrier);
            BASS_StreamFree(carrier);
            if (!finished && tellStuck)
                return PlainMessage(EncoderStopped(path, name));
            return std::nullopt;
        });
    }

private:
    std::string name_; // "MP3", "OGG"
    DWORD carrier_ = 0;
    bool started_ = false;
};

} // namespace

std::unique_ptr<OutputWriter> MakeCommandLineWriter() {
    return std::make_unique<CommandLineWriter>();
}
