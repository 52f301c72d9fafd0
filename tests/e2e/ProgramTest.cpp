// The real program under a virtual display and the test sound server: hot keys from another
// window, recording the known signal, ending by signal, following the default source and a
// source that goes away and comes back, and what monitoring leaves unloaded.

#include "Desktop.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using e2e::ExpectKnownSignal;
using e2e::WavSettings;

std::string Pactl(const std::string& arguments) {
    return e2e::Shell("pactl " + arguments);
}

class ProgramTest : public e2e::ProgramFixture {};

TEST_F(ProgramTest, HotKeysFromAnotherWindowRecordTheKnownSignal) {
    e2e::Program program(folder, WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    display.FocusAnotherWindow();
    std::this_thread::sleep_for(1s); // the screens are moving: monitoring runs

    display.Run("xdotool key F5");
    std::this_thread::sleep_for(3s);
    display.Run("xdotool key F9");
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::Recordings(output, "wav").size() == 1; }, 5s));
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(program.Running()) << "F9 stops the recording, not the program";

    const auto files = e2e::Recordings(output, "wav");
    ExpectKnownSignal(files.front(), 2.5);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// FFmpeg and the libraries it brings in weigh about a third of the program's memory: they are
// loaded when a file is played, probed or converted, not for monitoring. The capture and the
// record inputs and level share one connection to the sound server.
TEST_F(ProgramTest, MonitoringLeavesFFmpegUnloadedAndHoldsOneServerConnection) {
    e2e::Program program(folder, WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(2s); // the screens are moving: monitoring runs

    const std::string clients = Pactl("list clients");
    const std::string own = "application.process.id = \"" + std::to_string(program.Pid()) + "\"";
    std::size_t connections = 0;
    for (auto at = clients.find(own); at != std::string::npos; at = clients.find(own, at + 1))
        ++connections;
    EXPECT_EQ(connections, 1u) << clients;

    std::ifstream maps("/proc/" + std::to_string(program.Pid()) + "/maps");
    std::string line;
    while (std::getline(maps, line))
        for (const char* library : {"libavformat", "libavcodec", "libswresample", "libavutil"})
            EXPECT_EQ(line.find(library), std::string::npos) << line;
    EXPECT_TRUE(program.Running());
}

TEST_F(ProgramTest, TerminationWhileRecordingFinishesTheFileAndWritesTheSettings) {
    e2e::Program program(folder, WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(2s);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    ExpectKnownSignal(files.front(), 1.5);
    // Written in full at the end: keys the prepared file lacked are there now.
    EXPECT_NE(program.SettingsText().find("Clipping Detection="), std::string::npos);
}

// The program that follows a new default source ends; the one it started in its place.
pid_t NextInstance(e2e::Program& program, const e2e::VirtualDisplay& display) {
    const pid_t before = program.Pid();
    pid_t next = -1;
    e2e::WaitFor(
        [&] {
            const std::string found = display.Run("xdotool search --name '^Sonvera' getwindowpid");
            next = found.empty() ? -1 : std::stoi(found);
            return next > 0 && next != before;
        },
        20s);
    if (next > 0)
        program.Adopt(next);
    return next;
}

TEST_F(ProgramTest, ANewDefaultSourceWaitsForTheRecordingToStopThenStartsANewProcess) {
    e2e::Program program(folder, WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(2s);

    struct DefaultBack {
        ~DefaultBack() { Pactl("set-default-source sonvera_signal_44100"); }
    } back;
    // On PipeWire the session manager makes the asked-for source the default, a moment later:
    // a failure here is the server's, not the program's.
    const auto defaultBecomes = [](const std::string& source) {
        return e2e::WaitFor(
            [&] {
                return Pactl("info").find("Default Source: " + source + "\n") != std::string::npos;
            },
            5s);
    };
    Pactl("set-default-source sonvera_signal_48000");
    ASSERT_TRUE(defaultBecomes("sonvera_signal_48000")) << Pactl("info");
    std::this_thread::sleep_for(3s);
    EXPECT_TRUE(program.Running()) << "the recording goes on";
    display.Run("xdotool key F9");
    EXPECT_EQ(program.WaitForExit(20s), 0) << "the program restarts once the recording stopped";
    const pid_t second = NextInstance(program, display);
    ASSERT_GT(second, 0) << "the program came back";
    EXPECT_NE(program.SettingsText().find("Clipping Detection="), std::string::npos);
    // The whole recording came from the source it started on, without a gap.
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    ExpectKnownSignal(files.front(), 4.5);

    // Without a recording a new default restarts the program at once.
    ASSERT_TRUE(program.WaitForWindow(display));
    Pactl("set-default-source sonvera_signal_44100");
    ASSERT_TRUE(defaultBecomes("sonvera_signal_44100")) << Pactl("info");
    EXPECT_EQ(program.WaitForExit(20s), 0);
    const pid_t third = NextInstance(program, display);
    EXPECT_GT(third, 0);
    EXPECT_NE(third, second);
    if (third > 0) {
        program.Signal(SIGTERM);
        program.WaitForExit(20s);
    }
}

TEST_F(ProgramTest, ASourceThatGoesAwayClosesTheCaptureAndItsReturnReopensIt) {
    e2e::LonelySoundServer server;
    std::string module = server.LoadSource();
    e2e::Program program(folder, WavSettings(output));
    program.Start(display, server.Environment());
    ASSERT_TRUE(program.WaitForWindow(display));
    const auto recordStreams = [&] { return !server.Pactl("list short source-outputs").empty(); };
    ASSERT_TRUE(e2e::WaitFor(recordStreams, 10s)) << "the capture is open at start";

    server.Pactl("unload-module " + module);
    EXPECT_TRUE(e2e::WaitFor([&] { return !recordStreams(); }, 10s)) << "capture closed";
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(program.Running());

    module = server.LoadSource();
    EXPECT_TRUE(e2e::WaitFor(recordStreams, 10s)) << "capture reopened";
    EXPECT_TRUE(program.Running());

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

TEST_F(ProgramTest, StartedWithoutASourceItAsksForOneAndTakesItWhenItComes) {
    e2e::LonelySoundServer server; // no source loaded
    e2e::Program program(folder, WavSettings(output));
    program.Start(display, server.Environment());
    // The message comes before the main window: the program's one visible window is the box.
    std::string box;
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            box = display.Run("xdotool search --onlyvisible --pid " +
                              std::to_string(program.Pid()) + " --name Sonvera");
            return !box.empty();
        },
        20s));
    display.Run("xdotool windowfocus --sync " + box.substr(0, box.find('\n')) + " key Return");
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(server.Pactl("list short source-outputs").empty());

    server.LoadSource();
    EXPECT_TRUE(
        e2e::WaitFor([&] { return !server.Pactl("list short source-outputs").empty(); }, 10s))
        << "the status monitor opened the capture";
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

} // namespace
