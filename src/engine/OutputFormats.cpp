#include "engine/OutputFormats.h"

#include "engine/Numbers.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

std::string ChannelsWord(const RecordingSettings& s) {
    return s.Channels == 2 ? "stereo" : "mono";
}

std::string Mp3ModeWord(std::int32_t mode) {
    switch (mode) {
    case 1:
        return "joint stereo";
    case 2:
        return "dual channel";
    case 3:
        return "mono";
    default:
        return "stereo";
    }
}

std::string WavLabel(const RecordingSettings& s) {
    return "WAV " + std::to_string(s.SamplesPerSecond) + "Hz " + std::to_string(s.BitsPerSample) +
           "bit " + ChannelsWord(s);
}

std::string Mp3Label(const RecordingSettings& s) {
    return s.VBR ? "MP3   VBR  " + Mp3ModeWord(s.Mode)
                 : "MP3 " + std::to_string(s.BitRate) + " kbps " + Mp3ModeWord(s.Mode);
}

std::string WmaLabel(const RecordingSettings& s) {
    return "WMA " + std::to_string(s.WMARate) + " kbps " + ChannelsWord(s);
}

std::string OggLabel(const RecordingSettings& s) {
    return s.QualityMode ? "OGG Quality - " + ShortestDecimal(s.OggQuality) + " " + ChannelsWord(s)
                         : "OGG " + std::to_string(s.OggRate) + " kbps " + ChannelsWord(s);
}

// FLAC is always 16-bit, whatever the WAV choice of bits.
std::string FlacLabel(const RecordingSettings& s) {
    return "FLAC " + std::to_string(s.SamplesPerSecond) + "Hz 16bit " + ChannelsWord(s) +
           " level " + std::to_string(s.FlacLevel);
}

std::string OpusLabel(const RecordingSettings& s) {
    return "Opus " + std::to_string(s.OpusRate) + "kbps " + ChannelsWord(s);
}

constexpr std::array<OutputFormat, 6> Formats{{
    {FormatId::Wav, WriterKind::Wav, ".wav", "WAV", &RecordingSettings::Wav, 3, MakeWavWriter,
     "Wav", WavLabel},
    {FormatId::Mp3, WriterKind::CommandLine, ".mp3", "MP3", &RecordingSettings::MP3, 0,
     MakeCommandLineWriter, "MP3", Mp3Label},
    {FormatId::Wma, WriterKind::Wma, ".wma", "WMA", &RecordingSettings::WMA, 2, MakeWmaWriter,
     "WMA", WmaLabel},
    {FormatId::Ogg, WriterKind::CommandLine, ".ogg", "OGG", &RecordingSettings::OGG, 1,
     MakeCommandLineWriter, "Ogg", OggLabel},
    {FormatId::Flac, WriterKind::Flac, ".flac", "FLAC", &RecordingSettings::FLAC, 4, MakeFlacWriter,
     "Flac", FlacLabel},
    {FormatId::Opus, WriterKind::Opus, ".opus", "Opus", &RecordingSettings::Opus, 5, MakeOpusWriter,
     "Opus", OpusLabel},
}};

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - end.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

std::span<const OutputFormat> OutputFormats() {
    return Formats;
}

const OutputFormat& FormatOf(FormatId id) {
    return *std::find_if(Formats.begin(), Formats.end(),
                         [id](const OutputFormat& f) { return f.Id == id; });
}

const OutputFormat* FirstFlaggedFormat(const RecordingSettings& settings) {
    for (const OutputFormat& format : Formats)
        if (settings.*format.Flag)
            return &format;
    return nullptr;
}

const OutputFormat& SelectedFormat(const RecordingSettings& settings) {
    const OutputFormat* flagged = FirstFlaggedFormat(settings);
    return flagged ? *flagged : FormatOf(FormatId::Mp3);
}

void SelectFormat(RecordingSettings& settings, FormatId id) {
    for (const OutputFormat& format : Formats)
        settings.*format.Flag = format.Id == id;
}

const OutputFormat* FormatOfFileName(std::string_view fileName) {
    for (const OutputFormat& format : Formats)
        if (EndsWithNoCase(fileName, format.Extension))
            return &format;
    return nullptr;
}
