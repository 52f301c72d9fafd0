#pragma once
// Turning a WAV recording into an MP3 file one block at a time: the audio library decodes the
// source and its PCM goes to the MP3 encoder with the recording's MP3 settings. The converter
// window drives the steps and lets its events run between them. The encoder writes a hidden
// file beside the target, which takes the target's place only once the conversion completed,
// so an MP3 file already there is lost neither to a cancel nor to a failure.

#include "audio/Bass.h"
#include "engine/UserMessage.h"
#include "engine/global.h"

#include <array>
#include <cstdint>
#include <string>

// Bytes of decoded audio read and handed to the encoder per step.
constexpr DWORD ConvertBlockBytes = 10000;

// The hidden file the encoder writes for `target` (".<name>.part" in the target's folder): the
// folder scan passes it by.
std::string PartialMp3Path(const std::string& target);

class Mp3Conversion {
public:
    // Opens `source` for decoding, a carrier of the source's `rate` and `channels` (the
    // encoder reads its format) and starts the MP3 encoder on the partial file of `target`.
    Mp3Conversion(const RecordingSettings& settings, const std::string& source,
                  const std::string& target, std::uint32_t rate, std::uint32_t channels);
    // Finishes without keeping, if that has not been done.
    ~Mp3Conversion();
    Mp3Conversion(const Mp3Conversion&) = delete;
    Mp3Conversion& operator=(const Mp3Conversion&) = delete;

    // False when the encoder could not be started: the steps then read the source all the
    // same, and nothing is written.
    bool EncoderStarted() const { return encoder_ != 0; }
    const std::string& CommandLine() const { return commandLine_; }

    // True while the source has audio left. A read that gives nothing also ends it, so a file
    // shorter than its header states cannot keep the loop going for ever.
    bool Active() const;
    // Reads up to ConvertBlockBytes and hands what was read to the encoder.
    void Step();
    // The encoder is far enough behind that the next step should wait: decoding outruns the
    // encoder many times over, and what it has not taken yet is held in a queue of limited size.
    bool EncoderBehind() const;
    // How far the source has been read, 0 to 100, truncated.
    int Percent() const;

    // Ends the encoder's input, so it finishes its file with what it was given, and frees both
    // streams. With `keep`, a conversion that read its source and fed an encoder that took
    // everything puts its file in the target's place and returns true; otherwise the partial
    // file is deleted and the target stays as it was.
    bool Finish(bool keep);
    // Why a conversion to be kept was not; nothing after a cancel, after a completed
    // conversion, or when the encoder never started (that is told when it happens).
    const MaybeMessage& Failure() const { return failure_; }

private:
    std::string source_;
    std::string target_;
    std::string partial_;
    HSTREAM decode_ = 0;
    HSTREAM carrier_ = 0;
    DWORD encoder_ = 0;
    bool readEnded_ = false;
    bool encoderFailed_ = false;
    bool finished_ = false;
    MaybeMessage failure_;
    std::string commandLine_;
    std::array<std::uint8_t, ConvertBlockBytes> buffer_{};
};
