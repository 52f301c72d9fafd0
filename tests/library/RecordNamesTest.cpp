#include "library/RecordNames.h"

#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* what;
    std::vector<std::string> existing;
    bool wav, mp3, wma, ogg;
    std::string expected; // empty: no name
    bool flac = false, opus = false;
};

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
    LibraryState state;
    state.CurrentFile = folder + "/record001.wav";
    EXPECT_EQ(MakeNextRecordFileName(settings, state), !c.expected.empty());
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
        NameCase{"Flac", {}, false, false, false, false, "record001.flac", true},
        NameCase{
            "Opus", {"record001.ogg"}, false, false, false, false, "record002.opus", false, true},
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
                 true,
                 true},
        NameCase{"WavAndWma", {}, true, false, true, false, "record001.wav"},
        NameCase{"NothingSelected", {"record005.wav"}, false, false, false, false, ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(RecordNames, NumbersHaveAtLeastThreeDigits) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "001"}, {42, "042"}, {999, "999"}, {1000, "1000"}, {100000, "100000"}};
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(RecordNumberText(number), text);
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
    ASSERT_TRUE(MakeNextRecordFileName(settings, state));
    EXPECT_EQ(state.CurrentFile, folder + "/record1000.mp3");
    // A number freed by a deletion is used again.
    std::filesystem::remove(folder + "/record500.wav");
    ASSERT_TRUE(MakeNextRecordFileName(settings, state));
    EXPECT_EQ(state.CurrentFile, folder + "/record500.mp3");
}

} // namespace
