// A WAV recording whose file another program replaces goes on in the next name, and what the
// lost file held is counted; a restart making its own file anew is no loss. (A deleted file is
// followed through the real program in tests/e2e.)

#include "engine/FileWatch.h"

#include "TestPaths.h"
#include "WavOrMp3Settings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> block(WavOrMp3Settings(true, 44100, 16, 2).BlockBytes, 7);

TEST(FileWatch, AFileReplacedByAnotherProgramMovesTheRecordingToTheNextName) {
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string dir = test_paths::FreshDir("file_watch_replaced");
    const std::string first = dir + "/record001.wav", next = dir + "/record002.wav";
    WriterState w;
    w.NextFileName = [&] { return next; };
    ASSERT_TRUE(StartWriters(w, s, first, true).Started);
    for (int i = 0; i < 3; ++i)
        ASSERT_FALSE(WriteBlock(w, block));
    EXPECT_FALSE(FollowCurrentFile(w)) << "the file is still there";

    std::ofstream(first + ".part") << "another file";
    fs::rename(first + ".part", first);
    const MaybeMessage message = FollowCurrentFile(w);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "\"" + first +
                                 "\" was deleted or replaced by another program; the recording "
                                 "in it is lost. The recording goes on in \"" +
                                 next + "\".");
    EXPECT_EQ(WriterLostMs(w), 300u);
    for (int i = 0; i < 2; ++i)
        ASSERT_FALSE(WriteBlock(w, block));
    EXPECT_FALSE(FollowCurrentFile(w)) << "the new file is watched from now on";
    StopWriters(w);
    FinishAllWriters(w);
    EXPECT_EQ(fs::file_size(next), 44 + 2 * block.size());
    EXPECT_EQ(WriterLostMs(w), 300u);
}

TEST(FileWatch, ARestartMakingItsFileAnewOnTheSamePathIsNoLoss) {
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("file_watch_restart") + "/record001.wav";
    WriterState w;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    ASSERT_FALSE(WriteBlock(w, block));
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

} // namespace
