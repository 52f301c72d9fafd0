#pragma once
// The one settings record of the program: what the user chose about recordings, the live
// screens and the file list, plus the block sizes derived from it at every capture open.

#include <array>
#include <cstdint>
#include <string>

// Colours keep red in the low byte and blue in the high byte (0xFF0000 is blue).
using Colour = std::uint32_t;

struct RecordingSettings {
    // Stored fields, with the defaults used when the settings file lacks a key.
    std::string OutputFolder = "C:\\";
    bool Wav = false;
    bool MP3 = true;
    bool WMA = false;
    bool OGG = false;
    std::uint32_t SamplesPerSecond = 44100;
    std::uint16_t BitsPerSample = 16;
    std::int32_t Channels = 2;
    std::int32_t BitRate = 128;
    std::int32_t Mode = 0;
    bool VBR = false;
    std::int32_t MinBitRate = 32;
    std::int32_t MaxBitRate = 320;
    std::int32_t VBRQuality = 0;
    std::int32_t WMARate = 128;
    std::int32_t OggRate = 128;
    bool QualityMode = false;
    float OggQuality = 0;
    std::array<std::string, 4> RecentFolders;
    std::int32_t Sort = 1;
    bool FileList = true;
    bool ClippingDetection = true;
    bool SplitChannels = true;
    std::string Image1;
    std::string Image2;
    Colour LeftColor = 0xFF0000;
    Colour RightColor = 0x00FFFF;
    Colour BackgroundColor = 0;

    // Derived at every capture open.
    std::uint32_t CaptureRate = 44100;
    std::uint32_t CaptureFrames = 4096;
    std::uint32_t BlockFrames = 4410;
    std::uint32_t CaptureBufferBytes = 4096 * 4;
    std::uint32_t BlockBytes = 4410 * 4;
    std::uint16_t BlockAlign = 4;
    std::uint32_t AvgBytesPerSec = 44100 * 4;
};

// Fills the derived block sizes from the format fields as they stand (done by every capture
// open). Values a hand-edited settings file may bring are read as the nearest sane choice, so
// the sizes never exceed the engine's fixed buffers.
void ComputeBlockSizes(RecordingSettings& settings);

// The MP3 encoder's command line for an output path: constant bit rate, or with `VBR` the
// quality and the bit rate range; the path in double quotes (escaped where it holds quotes, so
// the encoder gets it unchanged); the lone dash is the encoder's standard input.
std::string BuildLameCommandLine(const RecordingSettings& settings, const std::string& outputPath);

// The Ogg Vorbis encoder's command line for an output path: nominal bit rate, or with
// `QualityMode` the quality written with the user's decimal separator.
std::string BuildOggencCommandLine(const RecordingSettings& settings, const std::string& outputPath,
                                   const std::string& decimalSeparator);
