#include "library/RecordNames.h"

#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* what;
    std::vector<std::string> existing;
    bool wav, mp3, wma, ogg;
    std::string expected; // empty: no name
    std::string nameTemplate = {};
    bool flac = false, opus = false;
};

// 2026-12-08 14:05:09, local time.
std::tm StartTime() {
    std::tm start{};
    start.tm_year = 126;
    start.tm_mon = 11;
    start.tm_mday = 8;
    start.tm_hour = 14;
    start.tm_min = 5;
    start.tm_sec = 9;
    start.tm_isdst = -1;
    return start;
}

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.what;
}

class NextRecordName : public ::testing::TestWithParam<NameCase> {};

TEST_P(NextRecordName, FirstFreeNumberWithTheSelectedExtension) {
    const NameCase& c = GetParam();
    const std::string folder = test_paths::FreshDir(std::string("names_") + c.what);
    for (const std::string& name : c.existing) {
        if (name.back() == '/') {
            std::filesystem::create_directory(folder + "/" + name);
        } else {
            std::ofstream(folder + "/" + name) << "sound";
        }
    }
    RecordingSettings settings;
    settings.OutputFolder = folder;
    settings.Wav = c.wav;
    settings.MP3 = c.mp3;
    settings.WMA = c.wma;
    settings.OGG = c.ogg;
    settings.FLAC = c.flac;
    settings.Opus = c.opus;
    settings.NameTemplate = c.nameTemplate;
    LibraryState state;
    state.CurrentFile = folder + "/record001.wav";
    std::tm start = StartTime();
    platform::TimedPathLookup look;
    EXPECT_EQ(MakeNextRecordFileName(settings, state, look, {}, std::mktime(&start)),
              c.expected.empty() ? NamePick::NoneFree : NamePick::Picked);
    EXPECT_EQ(state.CurrentFile, c.expected.empty() ? "" : folder + "/" + c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextRecordName,
    ::testing::Values(
        NameCase{"Empty", {}, false, true, false, false, "record001.mp3"},
        NameCase{
            "Gap", {"record001.wav", "record003.mp3"}, false, true, false, false, "record002.mp3"},
        NameCase{"OtherKindBlocks", {"record001.mp3"}, true, false, false, false, "record002.wav"},
        NameCase{"EveryKindBlocks",
                 {"record001.wav", "record002.mp3", "record003.wma", "record004.ogg"},
                 false,
                 false,
                 true,
                 false,
                 "record005.wma"},
        NameCase{"OtherNamesDoNot",
                 {"record1.wav", "record01.wav", "record001.fla", "record001.opus.part"},
                 true,
                 false,
                 false,
                 false,
                 "record001.wav"},
        NameCase{"FolderOfThatNameBlocks",
                 {"record001.ogg/"},
                 false,
                 false,
                 false,
                 true,
                 "record002.ogg"},
        NameCase{"Flac", {}, false, false, false, false, "record001.flac", "", true},
        NameCase{"Opus",
                 {"record001.ogg"},
                 false,
                 false,
                 false,
                 false,
                 "record002.opus",
                 "",
                 false,
                 true},
        NameCase{"FlacAndOpusBlockTheOthers",
                 {"record001.flac", "record002.opus"},
                 true,
                 false,
                 false,
                 false,
                 "record003.wav"},
        NameCase{"SeveralSelectedTheFirstInTheTableWins",
                 {},
                 false,
                 true,
                 false,
                 true,
                 "record001.mp3",
                 "",
                 true,
                 true},
        NameCase{"WavAndWma", {}, true, false, true, false, "record001.wav"},
        NameCase{"NothingSelected", {"record005.wav"}, false, false, false, false, ""},
        NameCase{"Template",
                 {},
                 true,
                 false,
                 false,
                 false,
                 "2026-12-08 14-05-09.wav",
                 "%Y-%m-%d %H-%M-%S"},
        NameCase{"TakenTemplateGetsASuffix",
                 {"Talk 2026.wav", "Talk 2026 (2).mp3"},
                 true,
                 false,
                 false,
                 false,
                 "Talk 2026 (3).wav",
                 "Talk %Y"},
        NameCase{"TemplateNumberIsTheFirstFree",
                 {"Talk 001.mp3", "Talk 002.wav", "record003.wav"},
                 false,
                 true,
                 false,
                 false,
                 "Talk 003.mp3",
                 "Talk %n"},
        NameCase{"TemplateOfNothingGivesRecordNames",
                 {"record001.wav"},
                 true,
                 false,
                 false,
                 false,
                 "record002.wav",
                 ".."}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(RecordNames, NumbersHaveAtLeastThreeDigits) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "001"}, {42, "042"}, {999, "999"}, {1000, "1000"}, {100000, "100000"}};
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(RecordNumberText(number), text);
    }
}

TEST(RecordNames, TemplatesExpandToNamesTheFolderCanHold) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"%Y-%m-%d %H-%M-%S", "2026-12-08 14-05-09"},
        {"take %n", "take 042"},
        {"100%% %H:%M", "100% 14:05"},
        {"%x %q% end%", "%x %q% end%"},
        {"a/b\tc\x7f", "a-b-c-"},
        {"../%Y", "-2026"},
        {"...hidden", "hidden"},
    };
    const std::tm start = StartTime();
    for (const auto& [nameTemplate, expected] : cases) {
        EXPECT_EQ(ExpandNameTemplate(nameTemplate, start, 42), expected) << nameTemplate;
    }
}

TEST(RecordNames, AfterNineHundredNinetyNineComesOneThousand) {
    const std::string folder = test_paths::FreshDir("names_thousand");
    for (int n = 1; n <= 999; ++n) {
        std::ofstream(folder + "/record" + RecordNumberText(n) + (n % 2 ? ".mp3" : ".wav"));
    }
    RecordingSettings settings;
    settings.OutputFolder = folder;
    LibraryState state;
    platform::TimedPathLookup look;
    ASSERT_EQ(MakeNextRecordFileName(settings, state, look), NamePick::Picked);
    EXPECT_EQ(state.CurrentFile, folder + "/record1000.mp3");
    // A number freed by a deletion is used again.
    std::filesystem::remove(folder + "/record500.wav");
    ASSERT_EQ(MakeNextRecordFileName(settings, state, look), NamePick::Picked);
    EXPECT_EQ(state.CurrentFile, folder + "/record500.mp3");
}

// The folder does not answer (its look is still out): no name, and the caller is told why.
TEST(RecordNames, AFolderThatDoesNotAnswerGivesNoName) {
    RecordingSettings settings;
    settings.OutputFolder = test_paths::FreshDir("names_stalled");
    LibraryState state;
    state.CurrentFile = settings.OutputFolder + "/record001.mp3";
    platform::TimedPathLookup look;
    std::promise<void> release;
    ASSERT_FALSE(
        look.Run([stalled = release.get_future().share()](const auto&) { stalled.wait(); }));
    EXPECT_EQ(MakeNextRecordFileName(settings, state, look), NamePick::NoAnswer);
    EXPECT_EQ(state.CurrentFile, "");
    release.set_value();
}

} // namespace
