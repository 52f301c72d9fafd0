#include "engine/OutputFormats.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::array<OutputFormat, 6> Formats{{
    {FormatId::Wav, WriterKind::Wav, ".wav", "WAV", &RecordingSettings::Wav, 3, MakeWavWriter},
    {FormatId::Mp3, WriterKind::CommandLine, ".mp3", "MP3", &RecordingSettings::MP3, 0,
     MakeCommandLineWriter},
    {FormatId::Wma, WriterKind::Wma, ".wma", "WMA", &RecordingSettings::WMA, 2, MakeWmaWriter},
    {FormatId::Ogg, WriterKind::CommandLine, ".ogg", "OGG", &RecordingSettings::OGG, 1,
     MakeCommandLineWriter},
    {FormatId::Flac, WriterKind::Flac, ".flac", "FLAC", &RecordingSettings::FLAC, 4,
     MakeFlacWriter},
    {FormatId::Opus, WriterKind::Opus, ".opus", "Opus", &RecordingSettings::Opus, 5,
     MakeOpusWriter},
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

const OutputFormat& SelectedFormat(const RecordingSettings& settings) {
    for (const OutputFormat& format : Formats)
        if (settings.*format.Flag)
            return format;
    return FormatOf(FormatId::Mp3);
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
