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
    // Told once that the desktop offers no global keys.
    bool KeysNoticeShown = false;
    // The lossless and the speech-friendly formats, each in a section of its own.
    bool FLAC = false;
    std::int32_t FlacLevel = 5; // compression, 0-8
    bool Opus = false;
    std::int32_t OpusRate = 64; // kbps
    // Recording without a hand on the keys; every default leaves the program as it was.
    bool ScheduleEnabled = false;
    std::string ScheduleStartAt;       // local time, "YYYY-MM-DD HH:MM:SS"
    std::int32_t ScheduleDuration = 0; // seconds, 0: until stopped
    bool ScheduleDaily = false;
    std::int32_t VoiceMode = 0;        // 0 off, 1 pause on silence, 2 a new file after silence
    std::int32_t VoiceThreshold = -30; // dBFS
    std::int32_t VoicePreRoll = 2000;  // ms
    std::int32_t VoiceHangTime = 5000; // ms
    std::int32_t SplitMinutes = 0;     // 0: no split by length
    std::int32_t SplitMegabytes = 0;   // 0: no split by size
    std::string NameTemplate;          // empty: "record" and a number

    // Derived at every capture open.
    std::uint32_t CaptureRate = 44100;
    std::uint32_t CaptureFrames = 4096;
    std::uint32_t BlockFrames = 4410;
    std::uint32_t CaptureBufferBytes = 4096 * 4;
    std::uint32_t BlockBytes = 4410 * 4;
    std::uint16_t BlockAlign = 4;
    std::uint32_t AvgBytesPerSec = 44100 * 4;
};

// The Opus bit rates offered, in kbps; FLAC's compression levels run from 0 to MaxFlacLevel.
inline constexpr std::array<std::int32_t, 10> OpusRates{16, 24, 32, 48, 64, 96, 128, 160, 192, 256};
inline constexpr std::int32_t MaxFlacLevel = 8;

// How a converted block is laid out, derived from the format fields alone. The capture ring
// sizes its buffers from it and the conversion encodes by it, so the two always agree.
struct BlockFormat {
    std::uint32_t CaptureRate;    // 44100, 48000 (also for Opus) or 96000
    std::uint32_t Channels;       // 1 or 2
    std::uint32_t BytesPerSample; // 1 (WAV 8-bit) or 2
    std::uint32_t Step;           // captured frames per output frame: 1, 2 (22050) or 4 (11025)
};
BlockFormat BlockFormatOf(const RecordingSettings& settings);

// Frames per second of the recorded file: the WAV and FLAC choice of rate, 44100 for the other
// encoders whatever that choice says, 48000 for Opus.
std::uint32_t OutputRate(const RecordingSettings& settings);

// Values a hand-edited settings file may bring are brought back to the supported sets, so that
// the blocks, the WAV header and the encoders all describe the same audio: no format flag set
// gives MP3 (the default), several keep the first in the table of output formats (Wav, MP3,
// WMA, OGG, FLAC, Opus); an unsupported SamplesPerSecond gives 44100 (so do 11025 and 22050
// for FLAC), BitsPerSample other than 8 or 16 gives 16, Channels other than 1 or 2 gives 2, a
// Mode outside 0..3 gives 0, a FlacLevel outside 0..8 gives 5, an OpusRate not in OpusRates gives
// 64. Values inside the sets are kept as they are.
void RepairFormatFields(RecordingSettings& settings);

// Repairs the format fields, then fills the derived block sizes from them (done by every
// capture open). The sizes never exceed the engine's fixed buffers.
void ComputeBlockSizes(RecordingSettings& settings);

// The MP3 encoder's command line for an output path: constant bit rate, or with `VBR` the
// quality and the bit rate range; the path in double quotes (escaped where it holds quotes, so
// the encoder gets it unchanged); the lone dash is the encoder's standard input.
std::string BuildLameCommandLine(const RecordingSettings& settings, const std::string& outputPath);

// The Ogg Vorbis encoder's command line for an output path: nominal bit rate, or with
// `QualityMode` the quality written with the user's decimal separator.
std::string BuildOggencCommandLine(const RecordingSettings& settings, const std::string& outputPath,
                                   const std::string& decimalSeparator);
