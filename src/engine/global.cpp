#include "engine/global.h"

#include "platform/CommandLine.h"

#include <charconv>

void ComputeBlockSizes(RecordingSettings& s) {
    const std::uint32_t channels = s.Channels == 1 ? 1 : 2;
    const bool eightBit = s.Wav && s.BitsPerSample == 8;

    s.CaptureRate = 44100;
    s.CaptureFrames = 4410;
    s.BlockFrames = 4410;
    if (s.Wav) {
        switch (s.SamplesPerSecond) {
        case 11025:
            s.BlockFrames = 1102;
            break;
        case 22050:
            s.BlockFrames = 2205;
            break;
        case 48000:
            s.CaptureRate = 48000;
            s.CaptureFrames = s.BlockFrames = 4800;
            break;
        case 96000:
            s.CaptureRate = 96000;
            s.CaptureFrames = s.BlockFrames = 9600;
            break;
        default:
            break;
        }
    }
    s.CaptureBufferBytes = s.CaptureFrames * 4;
    s.BlockBytes = s.BlockFrames * channels * (eightBit ? 1 : 2);
    s.BlockAlign = static_cast<std::uint16_t>(s.Channels * s.BitsPerSample / 8);
    s.AvgBytesPerSec = s.SamplesPerSecond * s.BlockAlign;
}

std::string BuildLameCommandLine(const RecordingSettings& s, const std::string& outputPath) {
    static constexpr const char* ModeLetters[] = {"s", "j", "d", "m"};
    const char* mode = s.Mode >= 0 && s.Mode < 4 ? ModeLetters[s.Mode] : "s";
    std::string line = "lame.exe";
    if (s.VBR)
        line += " -v -V " + std::to_string(s.VBRQuality) + " -b " + std::to_string(s.MinBitRate) +
                " -B " + std::to_string(s.MaxBitRate);
    else
        line += " -b " + std::to_string(s.BitRate);
    return line + " -m " + mode + " - " + platform::QuoteArgument(outputPath);
}

std::string BuildOggencCommandLine(const RecordingSettings& s, const std::string& outputPath,
                                   const std::string& decimalSeparator) {
    std::string line = "oggenc.exe";
    if (s.QualityMode) {
        // The shortest text that reads back as the same number: 5, 4.5, 0.1.
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, s.OggQuality).ptr;
        std::string quality(text, end);
        if (const auto dot = quality.find('.'); dot != std::string::npos)
            quality.replace(dot, 1, decimalSeparator);
        line += " -q " + quality;
    } else {
        line += " -b " + std::to_string(s.OggRate);
    }
    return line + " -o " + platform::QuoteArgument(outputPath) + " -";
}
