#pragma once
// What must hold for any settings file text whatsoever, checked by the mutation test and by the
// fuzzer: the text survives untouched, a write changes only its own key, and the settings read
// from the text come back unchanged after being written into it.

#include "library/SettingsFile.h"
#include "platform/Profile.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <strings.h>

namespace profile_properties {

// Names the seeds use, in several spellings, so that mutations hit and miss them.
inline constexpr std::array<const char*, 7> kSections{"A",      "a", "Folder", "Settings",
                                                      "Colors", "B", "x"};
inline constexpr std::array<const char*, 6> kKeys{"k", "K", "Name", "Left", "x", "Image1"};

inline bool SameRecord(const RecordingSettings& a, const RecordingSettings& b) {
    return a.OutputFolder == b.OutputFolder && a.Wav == b.Wav && a.MP3 == b.MP3 && a.WMA == b.WMA &&
           a.OGG == b.OGG && a.SamplesPerSecond == b.SamplesPerSecond &&
           a.BitsPerSample == b.BitsPerSample && a.Channels == b.Channels &&
           a.BitRate == b.BitRate && a.Mode == b.Mode && a.VBR == b.VBR &&
           a.MinBitRate == b.MinBitRate && a.MaxBitRate == b.MaxBitRate &&
           a.VBRQuality == b.VBRQuality && a.WMARate == b.WMARate && a.OggRate == b.OggRate &&
           a.QualityMode == b.QualityMode && a.OggQuality == b.OggQuality &&
           a.RecentFolders == b.RecentFolders && a.Sort == b.Sort && a.FileList == b.FileList &&
           a.ClippingDetection == b.ClippingDetection && a.SplitChannels == b.SplitChannels &&
           a.Image1 == b.Image1 && a.Image2 == b.Image2 && a.LeftColor == b.LeftColor &&
           a.RightColor == b.RightColor && a.BackgroundColor == b.BackgroundColor &&
           a.KeysNoticeShown == b.KeysNoticeShown && a.FLAC == b.FLAC &&
           a.FlacLevel == b.FlacLevel && a.Opus == b.Opus && a.OpusRate == b.OpusRate &&
           a.ScheduleEnabled == b.ScheduleEnabled && a.ScheduleStartAt == b.ScheduleStartAt &&
           a.ScheduleDuration == b.ScheduleDuration && a.ScheduleDaily == b.ScheduleDaily &&
           a.VoiceMode == b.VoiceMode && a.VoiceThreshold == b.VoiceThreshold &&
           a.VoicePreRoll == b.VoicePreRoll && a.VoiceHangTime == b.VoiceHangTime &&
           a.SplitMinutes == b.SplitMinutes && a.SplitMegabytes == b.SplitMegabytes &&
           a.NameTemplate == b.NameTemplate;
}

// Every value of the name grid, as the profile reads it.
inline std::string ReadGrid(const platform::Profile& profile) {
    std::string all;
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            all += profile.ReadString(section, key, "\x01missing");
            all += '\0';
        }
    }
    return all;
}

// Empty when every property holds, else what broke. `choice` picks the write to try.
inline std::string Check(std::string_view text, unsigned choice) {
    const platform::Profile original(text);
    if (original.Text() != text)
        return "text not kept";

    // One write: the key reads the new value; every other name reads as before; the text
    // written reads the same as the profile in memory.
    const char* section = kSections[choice % kSections.size()];
    const char* key = kKeys[(choice / kSections.size()) % kKeys.size()];
    const std::string value = "v" + std::to_string(choice);
    platform::Profile written = original;
    if (!written.WriteString(section, key, value))
        return "write refused";
    if (written.ReadString(section, key, "") != value)
        return "written value not read back";
    for (const char* otherSection : kSections) {
        for (const char* otherKey : kKeys) {
            const bool same =
                strcasecmp(otherSection, section) == 0 && strcasecmp(otherKey, key) == 0;
            if (!same && written.ReadString(otherSection, otherKey, "\x01") !=
                             original.ReadString(otherSection, otherKey, "\x01"))
                return std::string("write changed ") + otherSection + "/" + otherKey;
        }
    }
    if (ReadGrid(platform::Profile(written.Text())) != ReadGrid(written))
        return "written text reads differently";

    // The settings read from any text are written back whole and read back the same.
    RecordingSettings read;
    ReadSettings(original, read, choice % 2 ? "," : ".");
    platform::Profile rewritten = original;
    if (!WriteSettings(rewritten, read, choice % 2 ? "," : "."))
        return "settings write stopped";
    RecordingSettings again;
    ReadSettings(platform::Profile(rewritten.Text()), again, choice % 2 ? "," : ".");
    if (!SameRecord(read, again))
        return "settings changed by a write and read";
    return "";
}

} // namespace profile_properties
