// The capture of the real program while it records: a pause leaves one clean break, a sound
// server that goes away and comes back is reported as lost audio of its length, and F5 at the
// first moment of the window starts a recording.

#include "Desktop.h"
#include "KnownSignal.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits for the one recording of `folder` to be finished (its header states its audio).
e2e::WavFile FinishedRecording(const std::string& folder) {
    e2e::WavFile wav;
    e2e::WaitFor(
        [&] {
            const auto files = e2e::Recordings(folder, "wav");
            if (files.size() != 1)
                return false;
            wav = e2e::ReadWav(files.front());
            return wav.statedDataBytes > 0 && wav.statedDataBytes == wav.samples.size() * 2;
        },
        10s);
    return wav;
}

class CaptureTest : public e2e::ProgramFixture {};

TEST_F(CaptureTest, APauseLeavesOneCleanBreakAndNothingOfThePausedTime) {
    // The test server's pipe sources stall while nobody reads them; this source runs on.
    e2e::LonelySoundServer server;
    server.PlayKnownSignal(30);
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, server.Environment());
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);

    display.Run("xdotool key F5");
    std::this_thread::sleep_for(2s);
    display.Run("xdotool key F7");
    std::this_thread::sleep_for(3s);
    display.Run("xdotool key F7");
    std::this_thread::sleep_for(2s);
    display.Run("xdotool key F9");

    const e2e::WavFile wav = FinishedRecording(output);
    const double seconds = wav.samples.size() / 2 / 44100.0;
    EXPECT_NEAR(seconds, 4.0, 0.4) << "two stretches of 2 s, nothing of the pause";
    const auto breaks = known_signal::Breaks(wav.samples);
    std::string at;
    for (std::size_t i = 0; i < breaks.size() && i < 10; ++i)
        at += " " + std::to_string(breaks[i] / 44100.0) + " s";
    ASSERT_EQ(breaks.size(), 1u) << "one break, at the pause; breaks at" << at;
    EXPECT_NEAR(breaks.front() / 44100.0, 2.0, 0.4);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

TEST_F(CaptureTest, ASoundServerThatRestartsMidRecordingIsReportedAsLostAudioOfItsOutage) {
    e2e::LonelySoundServer server;
    server.LoadSource();
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, server.Environment());
    ASSERT_TRUE(program.WaitForWindow(display));
    const auto recordStreams = [&] { return !server.Pactl("list short source-outputs").empty(); };
    ASSERT_TRUE(e2e::WaitFor(recordStreams, 10s));

    display.Run("xdotool key F5");
    std::this_thread::sleep_for(2s);
    const Clock::time_point down = Clock::now();
    server.Kill();
    std::this_thread::sleep_for(3s);
    server.Start();
    server.LoadSource();
    const double outage = SecondsSince(down);
    ASSERT_TRUE(e2e::WaitFor(recordStreams, 10s)) << "the capture is open again";
    std::this_thread::sleep_for(2s);
    display.Run("xdotool key F9");

    const std::regex told(R"(misses (\d+\.\d) s)");
    std::string text;
    std::smatch found;
    e2e::WaitFor([&] { return std::regex_search(text = program.Messages(), told); }, 10s);
    ASSERT_TRUE(std::regex_search(text, found, told)) << "the stop tells of the loss: " << text;
    const double lost = std::stod(found[1]);
    EXPECT_GE(lost, outage - 0.2);
    EXPECT_LE(lost, outage + 1.0) << "the loss is the outage and the time to reopen";

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

TEST_F(CaptureTest, F5AsSoonAsTheWindowExistsStartsARecording) {
    for (int round = 1; round <= 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::size_t before = e2e::Recordings(output, "wav").size();
        e2e::Program program(folder, e2e::WavSettings(output));
        program.Start(display);
        // The main window made, not yet shown, searched for without a pause. Its exact title:
        // Qt's hidden "Qt Selection Owner for Sonvera" exists from the start, before the
        // program has taken its hot keys, and a key sent then reaches nobody.
        const std::string search =
            "xdotool search --pid " + std::to_string(program.Pid()) + " --name \"^Sonvera$\"";
        display.Run("timeout 20 bash -c 'until " + search +
                    " >/dev/null; do sleep 0.02; done; xdotool key F5'");
        EXPECT_TRUE(
            e2e::WaitFor([&] { return e2e::Recordings(output, "wav").size() == before + 1; }, 5s));
        program.Signal(SIGTERM);
        ASSERT_EQ(program.WaitForExit(20s), 0);
    }
}

} // namespace
