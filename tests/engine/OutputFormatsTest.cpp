// The table of output formats: which format a settings record selects, and the repair of a
// hand-edited record.

#include "engine/OutputFormats.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using Flag = bool RecordingSettings::*;

struct RepairCase {
    const char* what;
    std::vector<Flag> flags; // set before the repair, every other flag cleared
    std::int32_t flacLevel;
    std::int32_t opusRate;
    FormatId chosen;
    std::int32_t flacLevelAfter;
    std::int32_t opusRateAfter;
};

void PrintTo(const RepairCase& c, std::ostream* os) {
    *os << c.what;
}

class FormatRepair : public ::testing::TestWithParam<RepairCase> {};

TEST_P(FormatRepair, LeavesExactlyTheSelectedFlagAndValuesInTheirSets) {
    const RepairCase& c = GetParam();
    RecordingSettings s;
    for (const OutputFormat& format : OutputFormats())
        s.*format.Flag = false;
    for (const Flag flag : c.flags)
        s.*flag = true;
    s.FlacLevel = c.flacLevel;
    s.OpusRate = c.opusRate;

    EXPECT_EQ(SelectedFormat(s).Id, c.chosen) << "before the repair too";
    RepairFormatFields(s);

    for (const OutputFormat& format : OutputFormats())
        EXPECT_EQ(s.*format.Flag, format.Id == c.chosen) << format.Name;
    EXPECT_EQ(SelectedFormat(s).Id, c.chosen);
    EXPECT_EQ(s.FlacLevel, c.flacLevelAfter);
    EXPECT_EQ(s.OpusRate, c.opusRateAfter);
}

constexpr Flag Wav = &RecordingSettings::Wav, Mp3 = &RecordingSettings::MP3,
               Wma = &RecordingSettings::WMA, Ogg = &RecordingSettings::OGG,
               Flac = &RecordingSettings::FLAC, Opus = &RecordingSettings::Opus;

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatRepair,
    ::testing::Values(
        RepairCase{"NoneGivesMp3", {}, 5, 64, FormatId::Mp3, 5, 64},
        RepairCase{"FlacAlone", {Flac}, 0, 64, FormatId::Flac, 0, 64},
        RepairCase{"OpusAlone", {Opus}, 8, 16, FormatId::Opus, 8, 16},
        RepairCase{"OpusAndFlacKeepFlac", {Opus, Flac}, 5, 256, FormatId::Flac, 5, 256},
        RepairCase{"OggBeforeFlac", {Flac, Ogg}, 5, 64, FormatId::Ogg, 5, 64},
        RepairCase{
            "EverySixKeepWav", {Opus, Flac, Ogg, Wma, Mp3, Wav}, 5, 64, FormatId::Wav, 5, 64},
        RepairCase{"FlacLevelBelowTheRange", {Flac}, -1, 64, FormatId::Flac, 5, 64},
        RepairCase{"FlacLevelAboveTheRange", {Flac}, 9, 64, FormatId::Flac, 5, 64},
        RepairCase{"OpusRateBetweenTheOffered", {Opus}, 5, 65, FormatId::Opus, 5, 64},
        RepairCase{"OpusRateAboveTheOffered", {Opus}, 5, 320, FormatId::Opus, 5, 64}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(OutputFormats, EachRowHasItsOwnIdExtensionFlagAndPage) {
    std::set<std::string> extensions;
    std::set<int> pages;
    for (const OutputFormat& format : OutputFormats()) {
        EXPECT_EQ(&FormatOf(format.Id), &format);
        extensions.insert(format.Extension);
        pages.insert(format.Page);
        // Its flag alone selects it, and no other row's flag.
        RecordingSettings s;
        SelectFormat(s, format.Id);
        EXPECT_TRUE(s.*format.Flag) << format.Name;
        EXPECT_EQ(&SelectedFormat(s), &format) << format.Name;
    }
    const std::size_t count = OutputFormats().size();
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(extensions.size(), count);
    EXPECT_EQ(pages.size(), count);
    EXPECT_EQ(*pages.begin(), 0);
    EXPECT_EQ(*pages.rbegin(), static_cast<int>(count) - 1);
}

} // namespace
