// The real program recording while the world around it goes wrong: another program deletes the
// file being recorded, the disk fills up. Nothing after the message may be lost, and what the
// files hold must agree with what they state.

#include "DecodedAudio.h"
#include "Desktop.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class RecordingFaults : public e2e::ProgramFixture {
protected:
    std::string mainWindow;

    std::vector<std::string> Windows(const e2e::Program& program, const std::string& name) const {
        std::istringstream found(display.Run("xdotool search --all --onlyvisible --pid " +
                                             std::to_string(program.Pid()) + " --name '" + name +
                                             "'"));
        std::vector<std::string> ids;
        for (std::string id; found >> id;)
            ids.push_back(id);
        return ids;
    }
    void StartProgram(e2e::Program& program) {
        program.Start(display);
        ASSERT_TRUE(program.WaitForWindow(display));
        const auto windows = Windows(program, "^Sonvera$");
        ASSERT_EQ(windows.size(), 1u);
        mainWindow = windows.front();
    }
    // A message box: a window titled just "Sonvera" that is not the main window.
    std::string WaitForBox(const e2e::Program& program, std::chrono::milliseconds timeout) const {
        std::string box;
        e2e::WaitFor(
            [&] {
                for (const std::string& id : Windows(program, "^Sonvera$"))
                    if (id != mainWindow)
                        box = id;
                return !box.empty();
            },
            timeout);
        return box;
    }
    void CloseBox(const e2e::Program& program, const std::string& box) const {
        display.Run("xdotool windowfocus --sync " + box + " key Return");
        e2e::WaitFor([&] { return WaitForBox(program, 0s) != box; }, 5s);
    }
    // Stops the recording, closes the box telling what was lost, and ends the program.
    void StopAndEnd(e2e::Program& program) {
        display.Run("xdotool key F9");
        const std::string lossBox = WaitForBox(program, 10s);
        EXPECT_FALSE(lossBox.empty()) << "the stop tells how much audio is missing";
        if (!lossBox.empty())
            CloseBox(program, lossBox);
        program.Signal(SIGTERM);
        EXPECT_EQ(program.WaitForExit(20s), 0);
    }
};

// A kill right after a loss: the program must not wait on a box telling of it that nobody
// will answer, and the audio recorded after the loss is kept.
TEST_F(RecordingFaults, ATerminationAfterALossEndsWithoutWaitingOnABox) {
    e2e::Program program(folder, e2e::WavSettings(output));
    StartProgram(program);
    display.Run("xdotool key F5");
    const std::string first = output + "/record001.wav";
    ASSERT_TRUE(e2e::WaitFor([&] { return fs::exists(first); }, 5s));
    std::this_thread::sleep_for(1s);
    fs::remove(first);
    ASSERT_FALSE(WaitForBox(program, 3s).empty()) << "the deleted file is told";
    const auto told = Clock::now();
    std::this_thread::sleep_for(1500ms);

    program.Signal(SIGTERM);
    const double recordedAfterMessage =
        std::chrono::duration<double>(Clock::now() - told).count() - 0.3;
    EXPECT_EQ(program.WaitForExit(20s), 0);
    EXPECT_NE(program.SettingsText().find("Clipping Detection="), std::string::npos);
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files, std::vector<std::string>{output + "/record002.wav"});
    e2e::ExpectKnownSignal(files.front(), recordedAfterMessage);
}

struct DeletedFileCase {
    const char* name;
    const char* settings; // the [Record Settings] section
    const char* extension;
    friend void PrintTo(const DeletedFileCase& c, std::ostream* out) { *out << c.name; }
};

class DeletedFile : public RecordingFaults,
                    public ::testing::WithParamInterface<DeletedFileCase> {};

TEST_P(DeletedFile, IsToldWithinTwoSecondsAndTheRecordingGoesOnInTheNextName) {
    const DeletedFileCase& c = GetParam();
    e2e::Program program(folder, "[Folder]\nName=" + output + "\n" + c.settings);
    StartProgram(program);
    const std::string first = output + "/record001." + c.extension;
    const std::string next = output + "/record002." + c.extension;
    display.Run("xdotool key F5");
    ASSERT_TRUE(e2e::WaitFor([&] { return fs::exists(first); }, 5s));
    std::this_thread::sleep_for(1500ms);

    fs::remove(first);
    const auto removed = Clock::now();
    const std::string box = WaitForBox(program, 3s);
    ASSERT_FALSE(box.empty()) << "the deleted file is told";
    EXPECT_LE(Clock::now() - removed, 2s);
    // Everything recorded from the message on is in the next file.
    const auto told = Clock::now();
    std::this_thread::sleep_for(2s);
    EXPECT_TRUE(fs::exists(next));
    CloseBox(program, box);
    EXPECT_TRUE(e2e::WaitFor([&] { return !Windows(program, "record002").empty(); }, 2s))
        << "the window's title names the new file";
    std::this_thread::sleep_for(1s);
    // Less what the capture still held when the stop came.
    const double recordedAfterMessage =
        std::chrono::duration<double>(Clock::now() - told).count() - 0.3;
    StopAndEnd(program);

    ASSERT_EQ(e2e::Recordings(output, c.extension), std::vector<std::string>{next});
    if (std::string(c.extension) == "wav") {
        e2e::ExpectKnownSignal(next, recordedAfterMessage);
    } else {
        const decoded_audio::Audio audio = decoded_audio::Decode(next);
        ASSERT_EQ(audio.Rate, 44100);
        EXPECT_GE(audio.Frames(), std::size_t(recordedAfterMessage * 44100));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DeletedFile,
    ::testing::Values(DeletedFileCase{"Wav",
                                      "[Record Settings]\nWav=1\nMP3=0\nSamplesPerSecond=44100\n"
                                      "BitsPerSample=16\nChannels=2\n",
                                      "wav"},
                      DeletedFileCase{"Mp3",
                                      "[Record Settings]\nWav=0\nMP3=1\nSamplesPerSecond=44100\n"
                                      "BitsPerSample=16\nChannels=2\nBitRate=128\nVBR=0\n",
                                      "mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingFaults, AFullDiskIsToldAndLeavesAWavWhoseHeaderStatesTheFile) {
    int status = 0;
    const std::string refused =
        e2e::Shell("mount -t tmpfs -o size=1m sonvera_full '" + output + "' 2>&1", &status);
    if (status != 0)
        GTEST_SKIP() << "no small disk of our own: " << refused;
    struct Unmount {
        std::string at;
        ~Unmount() { e2e::Shell("umount -l '" + at + "'"); }
    } unmount{output};

    e2e::Program program(folder, e2e::WavSettings(output));
    StartProgram(program);
    display.Run("xdotool key F5");
    // 1 MiB holds about 6 s of CD audio.
    const std::string box = WaitForBox(program, 20s);
    ASSERT_FALSE(box.empty()) << "the full disk is told";
    CloseBox(program, box);
    StopAndEnd(program);

    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    const std::uintmax_t length = fs::file_size(files.front());
    EXPECT_EQ((length - 44) % 17640, 0u) << "whole blocks only";
    e2e::ExpectKnownSignal(files.front(), 5.0);
}

} // namespace
