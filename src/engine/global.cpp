#include "engine/global.h"

#include "engine/Numbers.h"
#include "engine/OutputFormats.h"
#include "platform/CommandLine.h"

#include <algorithm>

BlockFormat BlockFormatOf(const RecordingSettings& s) {
    BlockFormat f{44100, s.Channels == 1 ? 1u : 2u, s.Wav && s.BitsPerSample == 8 ? 1u : 2u, 1};
    const WriterKind kind = SelectedFormat(s).Kind;
    if (kind == WriterKind::Opus)
        f.CaptureRate = 48000; // Opus's own rate: the sound server resamples
    if (kind != WriterKind::Wav && kind != WriterKind::Flac)
        return f; // the other encoders always take 44100 Hz
    switch (s.SamplesPerSecond) {
    case 11025:
        f.Step = 4;
        break;
    case 22050:
        f.Step = 2;
        break;
    case 48000:
    case 96000:
        f.CaptureRate = s.SamplesPerSecond;
        break;
    default:
        break;
    }
    return f;
}

std::uint32_t OutputRate(const RecordingSettings& settings) {
    const BlockFormat format = BlockFormatOf(settings);
    return format.CaptureRate / format.Step;
}

void RepairFormatFields(RecordingSettings& s) {
    SelectFormat(s, SelectedFormat(s).Id);
    switch (s.SamplesPerSecond) {
    case 11025:
    case 22050:
    case 44100:
    case 48000:
    case 96000:
        break;
    default:
        s.SamplesPerSecond = 44100;
    }
    // FLAC is offered at the capture rates alone.
    if (s.FLAC && s.SamplesPerSecond < 44100)
        s.SamplesPerSecond = 44100;
    if (s.BitsPerSample != 8 && s.BitsPerSample != 16)
        s.BitsPerSample = 16;
    if (s.Channels != 1 && s.Channels != 2)
        s.Channels = 2;
    if (s.Mode < 0 || s.Mode > 3)
        s.Mode = 0;
    const RecordingSettings defaults;
    if (s.FlacLevel < 0 || s.FlacLevel > MaxFlacLevel)
        s.FlacLevel = defaults.FlacLevel;
    if (std::find(OpusRates.begin(), OpusRates.end(), s.OpusRate) == OpusRates.end())
        s.OpusRate = defaults.OpusRate;
}

void ComputeBlockSizes(RecordingSettings& s) {
    RepairFormatFields(s);
    const BlockFormat f = BlockFormatOf(s);
    s.CaptureRate = f.CaptureRate;
    s.CaptureFrames = f.CaptureRate / 10;
    // 11025 Hz drops the last two captured frames: 1102 output frames, not 1102.5.
    s.BlockFrames = s.CaptureFrames / f.Step;
    s.CaptureBufferBytes = s.CaptureFrames * 4;
    s.BlockBytes = s.BlockFrames * f.Channels * f.BytesPerSample;
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
        line += " -q " + ShortestDecimal(s.OggQuality, decimalSeparator);
    } else {
        line += " -b " + std::to_string(s.OggRate);
    }
    return line + " -o " + platform::QuoteArgument(outputPath) + " -";
}
