#pragma once
// Turning a WAV recording into an MP3 file one block at a time: the audio library decodes the
// source and its PCM goes to the MP3 encoder with the recording's MP3 settings. The converter
// window drives the steps and lets its events run between them.

#include "audio/Bass.h"
#include "engine/global.h"

#include <array>
#include <cstdint>
#include <string>

// Bytes of decoded audio read and handed to the encoder per step.
constexpr DWORD ConvertBlockBytes = 10000;

class Mp3Conversion {
public:
    // Opens `source` for decoding, a carrier of the source's `rate` and `channels` (the
    // encoder reads its format) and starts the MP3 encoder on `target`.
    Mp3Conversion(const RecordingSettings& settings, const std::string& source,
                  const std::string& target, std::uint32_t rate, std::uint32_t channels);
    // Finishes, if that has not been done.
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

    // Ends the encoder's input, so it finishes the MP3 file with what it was given, and frees
    // both streams.
    void Finish();

private:
    HSTREAM decode_ = 0;
    HSTREAM carrier_ = 0;
    DWORD encoder_ = 0;
    bool readEnded_ = false;
    bool finished_ = false;
    std::string commandLine_;
    std::array<std::uint8_t, ConvertBlockBytes> buffer_{};
};
