#include "library/SettingsFile.h"

#include "platform/ProfileFile.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <variant>

namespace {

using FieldRef =
    std::variant<std::string*, bool*, std::int32_t*, std::uint32_t*, std::uint16_t*, float*>;

struct Key {
    const char* section;
    const char* name;
    FieldRef (*field)(RecordingSettings&);
};

// In the order they are written. A fresh file gets its sections in the order they first appear
// here, so Image1 and Image2 join "Settings" although they come after "Colors". The sections
// added since come last, so older files keep their layout.
const std::array<Key, 47> kKeys{{
    {"Folder", "Name", [](RecordingSettings& s) -> FieldRef { return &s.OutputFolder; }},
    {"Record Settings", "Wav", [](RecordingSettings& s) -> FieldRef { return &s.Wav; }},
    {"Record Settings", "SamplesPerSecond",
     [](RecordingSettings& s) -> FieldRef { return &s.SamplesPerSecond; }},
    {"Record Settings", "BitsPerSample",
     [](RecordingSettings& s) -> FieldRef { return &s.BitsPerSample; }},
    {"Record Settings", "Channels", [](RecordingSettings& s) -> FieldRef { return &s.Channels; }},
    {"Record Settings", "MP3", [](RecordingSettings& s) -> FieldRef { return &s.MP3; }},
    {"Record Settings", "BitRate", [](RecordingSettings& s) -> FieldRef { return &s.BitRate; }},
    {"Record Settings", "Mode", [](RecordingSettings& s) -> FieldRef { return &s.Mode; }},
    {"Record Settings", "VBR", [](RecordingSettings& s) -> FieldRef { return &s.VBR; }},
    {"Record Settings", "MinBitRate",
     [](RecordingSettings& s) -> FieldRef { return &s.MinBitRate; }},
    {"Record Settings", "MaxBitRate",
     [](RecordingSettings& s) -> FieldRef { return &s.MaxBitRate; }},
    {"Record Settings", "VBRQuality",
     [](RecordingSettings& s) -> FieldRef { return &s.VBRQuality; }},
    {"WMA Settings", "WMA", [](RecordingSettings& s) -> FieldRef { return &s.WMA; }},
    {"WMA Settings", "WMARate", [](RecordingSettings& s) -> FieldRef { return &s.WMARate; }},
    {"OGG Settings", "OGG", [](RecordingSettings& s) -> FieldRef { return &s.OGG; }},
    {"OGG Settings", "OggRate", [](RecordingSettings& s) -> FieldRef { return &s.OggRate; }},
    {"OGG Settings", "Quality Mode",
     [](RecordingSettings& s) -> FieldRef { return &s.QualityMode; }},
    {"OGG Settings", "OggQuality", [](RecordingSettings& s) -> FieldRef { return &s.OggQuality; }},
    {"Recent Folders", "Folder1",
     [](RecordingSettings& s) -> FieldRef { return &s.RecentFolders[0]; }},
    {"Recent Folders", "Folder2",
     [](RecordingSettings& s) -> FieldRef { return &s.RecentFolders[1]; }},
    {"Recent Folders", "Folder3",
     [](RecordingSettings& s) -> FieldRef { return &s.RecentFolders[2]; }},
    {"Recent Folders", "Folder4",
     [](RecordingSettings& s) -> FieldRef { return &s.RecentFolders[3]; }},
    {"Settings", "Sort", [](RecordingSettings& s) -> FieldRef { return &s.Sort; }},
    {"Settings", "File List", [](RecordingSettings& s) -> FieldRef { return &s.FileList; }},
    {"Settings", "Clipping Detection",
     [](RecordingSettings& s) -> FieldRef { return &s.ClippingDetection; }},
    {"Settings", "Split Channels",
     [](RecordingSettings& s) -> FieldRef { return &s.SplitChannels; }},
    {"Colors", "Left", [](RecordingSettings& s) -> FieldRef { return &s.LeftColor; }},
    {"Colors", "Right", [](RecordingSettings& s) -> FieldRef { return &s.RightColor; }},
    {"Colors", "Background", [](RecordingSettings& s) -> FieldRef { return &s.BackgroundColor; }},
    {"Settings", "Image1", [](RecordingSettings& s) -> FieldRef { return &s.Image1; }},
    {"Settings", "Image2", [](RecordingSettings& s) -> FieldRef { return &s.Image2; }},
    {"Desktop", "KeysNoticeShown",
     [](RecordingSettings& s) -> FieldRef { return &s.KeysNoticeShown; }},
    {"FLAC Settings", "FLAC", [](RecordingSettings& s) -> FieldRef { return &s.FLAC; }},
    {"FLAC Settings", "FlacLevel", [](RecordingSettings& s) -> FieldRef { return &s.FlacLevel; }},
    {"Opus Settings", "Opus", [](RecordingSettings& s) -> FieldRef { return &s.Opus; }},
    {"Opus Settings", "OpusRate", [](RecordingSettings& s) -> FieldRef { return &s.OpusRate; }},
    {"Schedule", "Enabled", [](RecordingSettings& s) -> FieldRef { return &s.ScheduleEnabled; }},
    {"Schedule", "StartAt", [](RecordingSettings& s) -> FieldRef { return &s.ScheduleStartAt; }},
    {"Schedule", "Duration", [](RecordingSettings& s) -> FieldRef { return &s.ScheduleDuration; }},
    {"Schedule", "Daily", [](RecordingSettings& s) -> FieldRef { return &s.ScheduleDaily; }},
    {"Voice Activation", "Mode", [](RecordingSettings& s) -> FieldRef { return &s.VoiceMode; }},
    {"Voice Activation", "Threshold",
     [](RecordingSettings& s) -> FieldRef { return &s.VoiceThreshold; }},
    {"Voice Activation", "PreRoll",
     [](RecordingSettings& s) -> FieldRef { return &s.VoicePreRoll; }},
    {"Voice Activation", "HangTime",
     [](RecordingSettings& s) -> FieldRef { return &s.VoiceHangTime; }},
    {"Split", "Minutes", [](RecordingSettings& s) -> FieldRef { return &s.SplitMinutes; }},
    {"Split", "Megabytes", [](RecordingSettings& s) -> FieldRef { return &s.SplitMegabytes; }},
    {"Names", "Template", [](RecordingSettings& s) -> FieldRef { return &s.NameTemplate; }},
}};

// Reading takes the two images before the colours.
constexpr std::array<std::size_t, kKeys.size()> kReadOrder{
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
    24, 25, 29, 30, 26, 27, 28, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46};

template <typename... F> struct Overloaded : F... { using F::operator()...; };
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

void ReadSettings(const platform::Profile& profile, RecordingSettings& settings,
                  std::string_view decimalSeparator) {
    // The record's own initial values are the defaults of the keys.
    RecordingSettings defaults;
    for (const std::size_t index : kReadOrder) {
        const Key& key = kKeys[index];
        const FieldRef fallback = key.field(defaults);
        std::visit(Overloaded{
                       [&](std::string* field) {
                           *field = profile.ReadString(key.section, key.name,
                                                       *std::get<std::string*>(fallback));
                       },
                       [&](bool* field) {
                           *field =
                               profile.ReadBool(key.section, key.name, *std::get<bool*>(fallback));
                       },
                       [&](std::int32_t* field) {
                           *field = profile.ReadInteger(key.section, key.name,
                                                        *std::get<std::int32_t*>(fallback));
                       },
                       // Unsigned fields keep the 32 bits as they stand ("-1" is 0xFFFFFFFF).
                       [&](std::uint32_t* field) {
                           *field = static_cast<std::uint32_t>(profile.ReadInteger(
                               key.section, key.name,
                               static_cast<std::int32_t>(*std::get<std::uint32_t*>(fallback))));
                       },
                       // The 16-bit field keeps the low 16 bits: 65552 reads as 16.
                       [&](std::uint16_t* field) {
                           *field = static_cast<std::uint16_t>(profile.ReadInteger(
                               key.section, key.name, *std::get<std::uint16_t*>(fallback)));
                       },
                       [&](float* field) {
                           const float def = *std::get<float*>(fallback);
                           const double value =
                               profile.ReadReal(key.section, key.name, def, decimalSeparator);
                           *field = std::fabs(value) <= FLT_MAX ? static_cast<float>(value) : def;
                       },
                   },
                   key.field(settings));
    }
    settings.CaptureFrames = 4096;
}

bool WriteSettings(platform::Profile& profile, const RecordingSettings& settings,
                   std::string_view decimalSeparator) {
    RecordingSettings values = settings; // the table's accessors take a record they may change
    for (const Key& key : kKeys) {
        const bool written = std::visit(
            Overloaded{
                [&](std::string* field) {
                    return profile.WriteString(key.section, key.name, *field);
                },
                [&](bool* field) { return profile.WriteBool(key.section, key.name, *field); },
                [&](std::int32_t* field) {
                    return profile.WriteInteger(key.section, key.name, *field);
                },
                [&](std::uint32_t* field) {
                    return profile.WriteInteger(key.section, key.name,
                                                static_cast<std::int32_t>(*field));
                },
                [&](std::uint16_t* field) {
                    return profile.WriteInteger(key.section, key.name, *field);
                },
                [&](float* field) {
                    return profile.WriteReal(key.section, key.name, *field, decimalSeparator);
                },
            },
            key.field(values));
        if (!written)
            return false;
    }
    return true;
}

void ReadSettingsFile(const std::string& path, RecordingSettings& settings,
                      std::string_view decimalSeparator) {
    const platform::Profile profile(platform::ReadProfileFile(path).value_or(std::string()));
    ReadSettings(profile, settings, decimalSeparator);
}

std::optional<std::string> WriteSettingsFile(const std::string& path,
                                             const RecordingSettings& settings,
                                             std::string_view decimalSeparator) {
    const std::string error = "Unable to write to " + path;
    // A file that exists but cannot be read is not replaced by one that lacks its other keys.
    const auto text = platform::ReadProfileFile(path);
    if (!text)
        return error;
    platform::Profile profile(*text);
    const bool complete = WriteSettings(profile, settings, decimalSeparator);
    if (!platform::ReplaceProfileFile(path, profile.Text()) || !complete)
        return error;
    return std::nullopt;
}
