// A WAV recording whose file another program deletes or replaces goes on in the next name: the
// audio from then on is all there, and what the lost file held is counted.

#include "engine/FileWatch.h"

#include "OutputFormat.h"
#include "TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Block(const RecordingSettings& s, int index) {
    return std::vector<std::uint8_t>(s.BlockBytes, static_cast<std::uint8_t>(index + 1));
}

std::string ReadAll(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

struct LossCase {
    const char* name;
    void (*lose)(const std::string& path); // what the other program does
    friend void PrintTo(const LossCase& c, std::ostream* out) { *out << c.name; }
};

class AnotherProgram : public ::testing::TestWithParam<LossCase> {};

TEST_P(AnotherProgram, TakingTheFileMovesTheRecordingToTheNextName) {
    const auto s = OutputFormat(true, 44100, 16, 2);
    const std::string dir = test_paths::FreshDir(std::string("file_watch_") + GetParam().name);
    const std::string first = dir + "/record001.wav", next = dir + "/record002.wav";
    WriterState w;
    w.NextFileName = [&] { return next; };
    ASSERT_TRUE(StartWriters(w, s, first, true).Started);
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(WriteBlock(w, Block(s, i)));
    EXPECT_FALSE(FollowCurrentFile(w)) << "the file is still there";

    GetParam().lose(first);
    const MaybeMessage message = FollowCurrentFile(w);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "\"" + first +
                                 "\" was deleted or replaced by another program; the recording "
                                 "in it is lost. The recording goes on in \"" +
                                 next + "\".");
    EXPECT_EQ(w.CurrentFile, next);
    EXPECT_EQ(WriterLostMs(w), 300u);
    for (int i = 3; i < 5; ++i)
        ASSERT_FALSE(WriteBlock(w, Block(s, i)));
    EXPECT_FALSE(FollowCurrentFile(w)) << "the new file is watched from now on";
    StopWriters(w);
    FinishAllWriters(w);

    const std::string file = ReadAll(next);
    std::string expected;
    for (int i = 3; i < 5; ++i) {
        const auto block = Block(s, i);
        expected.append(block.begin(), block.end());
    }
    ASSERT_EQ(file.size(), 44 + expected.size());
    EXPECT_EQ(file.substr(44), expected);
    EXPECT_EQ(WriterLostMs(w), 300u);
}

TEST(FileWatch, ARestartMakingItsFileAnewOnTheSamePathIsNoLoss) {
    const auto s = OutputFormat(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("file_watch_restart") + "/record001.wav";
    WriterState w;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    ASSERT_FALSE(WriteBlock(w, Block(s, 0)));
    EXPECT_FALSE(FollowCurrentFile(w));
    // The old file may still be held while it is finished, so the new one is another file.
    fs::create_hard_link(path, path + ".held");
    StopWriters(w);
    FinishAllWriters(w);
    fs::remove(path);
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    EXPECT_FALSE(FollowCurrentFile(w));
    EXPECT_EQ(w.CurrentFile, path);
    StopWriters(w);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AnotherProgram,
    ::testing::Values(LossCase{"Deletes", [](const std::string& path) { fs::remove(path); }},
                      LossCase{"Replaces",
                               [](const std::string& path) {
                                   std::ofstream(path + ".part") << "another file";
                                   fs::rename(path + ".part", path);
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
