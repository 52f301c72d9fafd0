// WMA, FLAC and Opus: an encoder inside the program that takes the blocks at once and encodes
// and writes them on a thread of its own; the file is finished in the background.

#include "audio/BassWMA.h"
#include "audio/EncodedFile.h"
#include "engine/Writers.h"

#include <cerrno>
#include <utility>

namespace {

// What the writer needs of an encoder.
class FileEncoder {
public:
    virtual ~FileEncoder() = default;
    // Queues the block; false once encoding or writing has failed.
    virtual bool Write(std::span<const std::uint8_t> block) = 0;
    // Finishes the file: 0 or the errno value of the failure.
    virtual int Close() = 0;
};

class WmaEncoder : public FileEncoder {
public:
    explicit WmaEncoder(HWMENCODE handle) : handle_(handle) {}
    bool Write(std::span<const std::uint8_t> block) override {
        return BASS_WMA_EncodeWrite(handle_, block.data(), static_cast<DWORD>(block.size()));
    }
    int Close() override {
        const bool closed = BASS_WMA_EncodeClose(std::exchange(handle_, 0));
        return closed ? 0 : errno;
    }

private:
    HWMENCODE handle_;
};

class FfmpegEncoder : public FileEncoder {
public:
    explicit FfmpegEncoder(std::unique_ptr<audio::EncodedFile> file) : file_(std::move(file)) {}
    bool Write(std::span<const std::uint8_t> block) override { return file_->Write(block); }
    int Close() override { return file_->Close(); }

private:
    std::unique_ptr<audio::EncodedFile> file_;
};

using EncoderOpener = std::unique_ptr<FileEncoder> (*)(const WriterState& w);

class EncoderWriter : public OutputWriter {
public:
    EncoderWriter(const char* name, EncoderOpener open) : name_(name), open_(open) {}

    StartResult Start(WriterState& w) override {
        encoder_ = open_(w);
        if (encoder_)
            return {true, std::nullopt};
        w.WriterFailed = true;
        return {true, PlainMessage(CouldNotStart(name_))};
    }

    MaybeMessage Write(WriterState& w, std::span<const std::uint8_t> block) override {
        if (!encoder_->Write(block)) {
            w.WriterFailed = true;
            return Lose(w, block.size(), PlainMessage(EncoderStopped(w.CurrentFile, name_)));
        }
        w.FileBytes += block.size();
        return std::nullopt;
    }

    void Finish(WriterState& w) override {
        if (!encoder_)
            return;
        std::shared_ptr<FileEncoder> encoder(std::move(encoder_));
        const std::string path = w.CurrentFile;
        const bool failureTold = w.WriterFailed;
        FinishInBackground(w, path, [encoder, path, failureTold]() -> MaybeMessage {
            // The last packets and the file's end are written here: a full disk now damages it.
            const int error = encoder->Close();
            if (error != 0 && !failureTold)
                return ErrorMessage(WriteFailed(path, platform::ErrorText(error)));
            return std::nullopt;
        });
    }

private:
    const char* name_;
    EncoderOpener open_;
    std::unique_ptr<FileEncoder> encoder_;
};

std::unique_ptr<FileEncoder> OpenFfmpeg(const audio::EncodedFormat& format, const WriterState& w) {
    std::unique_ptr<audio::EncodedFile> file = audio::EncodedFile::Open(format, w.CurrentFile);
    if (!file)
        return nullptr;
    return std::make_unique<FfmpegEncoder>(std::move(file));
}

} // namespace

std::unique_ptr<OutputWriter> MakeWmaWriter() {
    return std::make_unique<EncoderWriter>(
        "WMA", [](const WriterState& w) -> std::unique_ptr<FileEncoder> {
            const HWMENCODE handle = BASS_WMA_EncodeOpenFile(
                w.Format.CaptureRate, static_cast<DWORD>(w.Format.Channels), 0,
                static_cast<DWORD>(w.Format.WMARate) * 1000, w.CurrentFile.c_str());
            if (handle == 0)
                return nullptr;
            return std::make_unique<WmaEncoder>(handle);
        });
}

// Lossless at the capture's rate, in FLAC's own container.
std::unique_ptr<OutputWriter> MakeFlacWriter() {
    return std::make_unique<EncoderWriter>("FLAC", [](const WriterState& w) {
        return OpenFfmpeg(
            {"flac", "flac", int(w.Format.CaptureRate), w.Format.Channels, 0, w.Format.FlacLevel},
            w);
    });
}

// libopus's effort, 0-10. At its default, 10, recording Opus cost here about twice what MP3
// through lame costs (tools/measure-program.sh); at 5, less than MP3.
constexpr int OpusComplexity = 5;

// libopus in Ogg; the capture runs at 48000 Hz, Opus's own rate. An Ogg page is written once
// it holds half a second (the muxer's default, a second, is what a crash would cost).
std::unique_ptr<OutputWriter> MakeOpusWriter() {
    return std::make_unique<EncoderWriter>("Opus", [](const WriterState& w) {
        return OpenFfmpeg({"opus", "libopus", int(w.Format.CaptureRate), w.Format.Channels,
                           std::int64_t(w.Format.OpusRate) * 1000, OpusComplexity,
                           "page_duration=500000"},
                          w);
    });
}
