// The real program started on a folder it cannot read through quickly, or on a mount that
// stalls: the window answers and F5 records at once, however long a file's duration, the
// folder's listing or a read of the played file takes.

#include "DecodedAudio.h"
#include "Desktop.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "SineWav.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class BigFolder : public e2e::ProgramFixture {};

// Writes one valid MPEG frame and then 8 TiB of holes to `path`, made from the tone at
// `source`: read through, it would take hours.
void WriteSparseHugeMp3(const std::string& source, const std::string& path) {
    ASSERT_EQ(std::system(("lame --quiet -t -b 128 " + source + " " + path +
                           ".frame && head -c 417 " + path + ".frame > " + path + " && rm " + path +
                           ".frame && truncate -s 8T " + path)
                              .c_str()),
              0);
}

// Generous: this is no measure of speed, only that nothing waits for the huge file or the
// stalled mount. F5 is pressed again until a playback it waits for has ended. `before` files
// were there already.
bool F5Records(e2e::VirtualDisplay& display, const std::string& output, std::size_t before = 0) {
    return e2e::WaitFor(
        [&] {
            display.Run("xdotool key F5");
            return e2e::WaitFor([&] { return e2e::Recordings(output, "wav").size() == before + 1; },
                                1s);
        },
        20s);
}

// F5 records, F9 stops a second later, and the new file holds the known signal.
void ExpectF5Records(e2e::VirtualDisplay& display, const std::string& output,
                     std::size_t before = 0) {
    ASSERT_TRUE(F5Records(display, output, before)) << "F5 started no recording";
    std::this_thread::sleep_for(1s);
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(1s);
    e2e::ExpectKnownSignal(e2e::Recordings(output, "wav").back(), 0.9);
}

// Double-clicks the list's first row, 25 pixels into the grid at 14, 263 of the client area;
// true once the player shows.
bool PlayFirstRow(e2e::VirtualDisplay& display, const e2e::Program& program) {
    const std::string pid = std::to_string(program.Pid());
    const auto visibleWindows = [&] {
        const std::string ids = display.Run("xdotool search --onlyvisible --pid " + pid);
        return std::count(ids.begin(), ids.end(), '\n');
    };
    const auto shown = visibleWindows();
    program.ClickMainWindow(display, 64, 263 + 25, "click --repeat 2 --delay 80 1");
    return e2e::WaitFor([&] { return visibleWindows() > shown; }, 10s);
}

// The environment that loads the stand-in for a stalled mount (tests/support/StalledFiles.cpp).
std::vector<std::string> Stalling(std::vector<std::string> settings) {
    settings.push_back("LD_PRELOAD=" SONVERA_STALLED_FILES);
    return settings;
}

TEST_F(BigFolder, ASparseHugeMp3NeitherHoldsTheWindowNorTheRecording) {
    sine_wav::Write(output + "/tone.wav", 44100, 2, 44100, 440);
    WriteSparseHugeMp3(output + "/tone.wav", output + "/huge.mp3");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));

    ExpectF5Records(display, output);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// Played, the huge file's one frame is heard and the playback ends; the window answers.
TEST_F(BigFolder, PlayingASparseHugeMp3LeavesTheWindowAnswering) {
    sine_wav::Write(folder + "/tone.wav", 44100, 2, 44100, 440);
    WriteSparseHugeMp3(folder + "/tone.wav", output + "/huge.mp3");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(PlayFirstRow(display, program)) << "the player did not show";

    ExpectF5Records(display, output);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// A file of the folder sits on a stalled mount: the listing hangs on it. Meanwhile F5 records
// and the program ends on request.
TEST_F(BigFolder, AStalledFileNeitherHoldsTheWindowNorTheRecordingNorTheEnd) {
    sine_wav::Write(output + "/tone.wav", 44100, 2, 44100, 440);
    sine_wav::Write(output + "/stalled.wav", 44100, 2, 44100, 440);
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, Stalling({"SONVERA_STALL_NAME=stalled.wav"}));
    ASSERT_TRUE(program.WaitForWindow(display));

    ExpectF5Records(display, output);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// The file played sits on a mount that stalls after its first second: the player falls silent,
// and meanwhile the window answers, F9 stops the playback and F5 records.
TEST_F(BigFolder, AStalledReadOfThePlayedFileNeitherHoldsTheWindowNorTheRecording) {
    sine_wav::Write(output + "/tone.wav", 44100, 2, 5 * 44100, 440);
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_READ=tone.wav",
                            "SONVERA_STALL_READ_AFTER=" + std::to_string(44 + 44100 * 4)}));
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(PlayFirstRow(display, program)) << "the player did not show";
    std::this_thread::sleep_for(2s); // the reads of the playback hang now

    display.Run("xdotool key F9"); // F5 records only once nothing plays
    ExpectF5Records(display, output);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// The output folder's mount stalls while a recording runs: the window's look at the recorded
// file gives up, so the capture goes on and F9 stops the recording.
TEST_F(BigFolder, AMountStallingWhileRecordingHoldsNeitherTheWindowNorTheRecording) {
    const std::string stalls = folder + "/stalls";
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_NAME=record001", "SONVERA_STALL_FROM=" + stalls}));
    ASSERT_TRUE(program.WaitForWindow(display));
    ASSERT_TRUE(F5Records(display, output));
    std::this_thread::sleep_for(1s);
    e2e::Shell("touch " + stalls);
    std::this_thread::sleep_for(2500ms);
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(1s);
    e2e::ExpectKnownSignal(e2e::Recordings(output, "wav").front(), 3);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// Every byte of the file, to tell it untouched.
std::string Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Whether the program told, within a moment, that `shown` does not answer.
testing::AssertionResult ToldNoAnswer(const e2e::Program& program, const std::string& shown) {
    const std::string text =
        shown + " does not answer: it may be on a disconnected drive or network folder";
    if (e2e::WaitFor([&] { return program.Messages().find(text) != std::string::npos; }, 5s))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "not told: " << text << "\n" << program.Messages();
}

// Which of the list's popup items is chosen, counted in Down keys from its top (the separators
// are passed over, Stop is not).
struct PopupItem {
    const char* name;
    int downs;
};

void PrintTo(const PopupItem& item, std::ostream* out) {
    *out << item.name;
}

class StalledSelectedFile : public BigFolder, public ::testing::WithParamInterface<PopupItem> {};

// The selected file's mount stalls (its stat and its reads hang) before an item of the list's
// popup is chosen: the window tells which file does not answer, F5 records meanwhile, and once
// the mount is back the file is as it was, nothing converted or moved.
TEST_P(StalledSelectedFile, IsNotTouchedAndTheWindowSaysSo) {
    const std::string stalls = folder + "/stalls";
    const std::string released = folder + "/released";
    sine_wav::Write(output + "/stalled.wav", 44100, 2, 44100, 440);
    const std::string before = Bytes(output + "/stalled.wav");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_NAME=stalled.wav", "SONVERA_STALL_READ=stalled.wav",
                            "SONVERA_STALL_FROM=" + stalls, "SONVERA_STALL_RELEASE=" + released}));
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    program.ClickMainWindow(display, 64, 263 + 25, "click 1");
    std::this_thread::sleep_for(500ms);

    e2e::Shell("touch " + stalls);
    program.ClickMainWindow(display, 64, 263 + 25, "click 3");
    std::this_thread::sleep_for(500ms);
    std::string keys;
    for (int down = 0; down < GetParam().downs; ++down)
        keys += "Down ";
    display.Run("xdotool key --delay 100 " + keys + "Return");
    EXPECT_TRUE(ToldNoAnswer(program, "stalled.wav"));
    ExpectF5Records(display, output);

    display.Run("xdotool key Return"); // the message's OK
    e2e::Shell("touch " + released);
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(Bytes(output + "/stalled.wav") == before) << "the file was touched";
    EXPECT_FALSE(std::filesystem::exists(output + "/stalled.mp3"));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

INSTANTIATE_TEST_SUITE_P(PopupItems, StalledSelectedFile,
                         ::testing::Values(PopupItem{"Play", 1}, PopupItem{"Rename", 3},
                                           PopupItem{"Convert", 4}, PopupItem{"Move", 5},
                                           PopupItem{"Delete", 6}),
                         [](const auto& info) { return std::string(info.param.name); });

// The output folder's mount stalls from the start: the window shows, F5 is refused with a
// message naming the folder, and once the mount is back F5 records there; the folder is kept.
TEST_F(BigFolder, AStalledOutputFolderRefusesF5UntilItAnswers) {
    const std::string share = folder + "/netshare";
    const std::string released = folder + "/released";
    std::filesystem::create_directories(share);
    e2e::Program program(folder, e2e::WavSettings(share));
    program.Start(display,
                  Stalling({"SONVERA_STALL_NAME=netshare", "SONVERA_STALL_RELEASE=" + released}));
    ASSERT_TRUE(program.WaitForWindow(display));

    display.Run("xdotool key F5");
    EXPECT_TRUE(ToldNoAnswer(program, share));
    EXPECT_TRUE(e2e::Recordings(share, "wav").empty());

    display.Run("xdotool key Return"); // the message's OK
    e2e::Shell("touch " + released);
    ExpectF5Records(display, share);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    EXPECT_NE(program.SettingsText().find(share), std::string::npos) << "the folder was dropped";
}

// A recent folder on a stalled mount is chosen from the File menu: the window says it does not
// answer and keeps it among the recent folders, and F5 records in the output folder meanwhile.
TEST_F(BigFolder, AStalledRecentFolderIsToldOfAndKept) {
    const std::string share = folder + "/netshare";
    std::filesystem::create_directories(share);
    e2e::Program program(folder,
                         e2e::WavSettings(output) + "[Recent Folders]\nFolder1=" + share + "\n");
    program.Start(display, Stalling({"SONVERA_STALL_NAME=netshare"}));
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);

    program.ClickMainWindow(display, 15, -9, "click 1"); // the File menu
    std::this_thread::sleep_for(500ms);
    display.Run("xdotool key --delay 100 Down Down Right Return");
    EXPECT_TRUE(ToldNoAnswer(program, share));
    ExpectF5Records(display, output);
    display.Run("xdotool key Return"); // the message's OK
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    EXPECT_NE(program.SettingsText().find("Folder1=" + share), std::string::npos);
}

// The label file's mount stalls while a recording runs: F8's marker is refused with a message,
// and the recording goes on until F9.
TEST_F(BigFolder, AMarkerOnAStalledMountIsRefusedWhileTheRecordingGoesOn) {
    const std::string stalls = folder + "/stalls";
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_OPEN=record001.txt", "SONVERA_STALL_FROM=" + stalls}));
    ASSERT_TRUE(program.WaitForWindow(display));
    ASSERT_TRUE(F5Records(display, output));
    e2e::Shell("touch " + stalls);
    display.Run("xdotool key F8");
    EXPECT_TRUE(ToldNoAnswer(program, output + "/record001.txt"));
    std::this_thread::sleep_for(2s);
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(1s);
    e2e::ExpectKnownSignal(output + "/record001.wav", 2);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// The folder stops answering between the record name's pick and the file's creation (an open
// that hangs): F5 is refused with a message and the window answers; once the folder is back,
// F5 records in the next name.
TEST_F(BigFolder, AFileCreationThatHangsRefusesF5UntilTheFolderAnswers) {
    const std::string released = folder + "/released";
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_OPEN=record001", "SONVERA_STALL_RELEASE=" + released}));
    ASSERT_TRUE(program.WaitForWindow(display));

    display.Run("xdotool key F5");
    EXPECT_TRUE(ToldNoAnswer(program, "The folder"));
    display.Run("xdotool key Return"); // the message's OK
    e2e::Shell("touch " + released);
    // The creation that hung comes back and leaves its empty file.
    ASSERT_TRUE(
        e2e::WaitFor([&] { return std::filesystem::exists(output + "/record001.wav"); }, 5s));

    ExpectF5Records(display, output, 1);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// An MP3 recording split by size, whose file's mount stalls while it runs: the window's look at
// the file's size gives up, so the recording goes on and F9 stops it with all its audio.
TEST_F(BigFolder, AMountStallingUnderARecordingSplitBySizeHoldsNeitherTheWindowNorTheRecording) {
    const std::string stalls = folder + "/stalls";
    e2e::Program program(folder, "[Folder]\nName=" + output +
                                     "\n[Record Settings]\nWav=0\nSamplesPerSecond=44100\n"
                                     "BitsPerSample=16\nChannels=2\nMP3=1\nBitRate=128\nVBR=0\n"
                                     "[Split]\nMegabytes=10\n");
    program.Start(display,
                  Stalling({"SONVERA_STALL_NAME=record001", "SONVERA_STALL_FROM=" + stalls}));
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(1s);
    e2e::Shell("touch " + stalls);
    std::this_thread::sleep_for(2500ms);
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(2s);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);

    const decoded_audio::Audio audio = decoded_audio::Decode(output + "/record001.mp3");
    EXPECT_GE(double(audio.Frames()) / std::max(audio.Rate, 1), 3.0);
}

// A move to another drive copies the file, here from a mount whose reads stall part way: the
// window answers and F5 records while the copy waits, and once the mount is back the file is
// moved whole.
TEST_F(BigFolder, AMoveToAnotherDriveCopiesWhileTheWindowAnswersAndF5Records) {
    const std::string drive = "/dev/shm/sonvera-move-" + std::to_string(getpid());
    std::filesystem::remove_all(drive);
    std::filesystem::create_directories(drive);
    struct stat here {};
    struct stat there {};
    ASSERT_EQ(stat(output.c_str(), &here), 0);
    ASSERT_EQ(stat(drive.c_str(), &there), 0);
    if (here.st_dev == there.st_dev)
        GTEST_SKIP() << "/dev/shm is on the output folder's file system";
    const std::string stalls = folder + "/stalls";
    const std::string released = folder + "/released";
    sine_wav::Write(output + "/moved.wav", 44100, 2, 3 * 44100, 440);
    const std::string before = Bytes(output + "/moved.wav");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display,
                  Stalling({"SONVERA_STALL_READ=moved.wav",
                            "SONVERA_STALL_READ_AFTER=" + std::to_string(44 + 44100 * 4),
                            "SONVERA_STALL_FROM=" + stalls, "SONVERA_STALL_RELEASE=" + released}));
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    program.ClickMainWindow(display, 64, 263 + 25, "click 1");
    std::this_thread::sleep_for(500ms);
    program.ClickMainWindow(display, 64, 263 + 25, "click 3");
    std::this_thread::sleep_for(500ms);
    display.Run("xdotool key --delay 100 Down Down Down Down Down Return"); // Move...
    ASSERT_FALSE(program.WaitForWindowTitled(display, "Move File", 10s).empty());
    e2e::Shell("touch " + stalls);
    display.Run("xdotool key ctrl+a");
    display.Run("xdotool type --delay 20 '" + drive + "/moved.wav'");
    display.Run("xdotool key Return");
    std::this_thread::sleep_for(1s); // the copy waits on the mount now

    ExpectF5Records(display, output);
    e2e::Shell("touch " + released);
    EXPECT_TRUE(e2e::WaitFor([&] { return !std::filesystem::exists(output + "/moved.wav"); }, 10s));
    EXPECT_TRUE(Bytes(drive + "/moved.wav") == before) << "the moved file differs";
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    std::filesystem::remove_all(drive);
}

} // namespace
