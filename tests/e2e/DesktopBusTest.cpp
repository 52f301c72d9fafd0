// The real program on a private session bus: driven by gdbus calls, binding its keys through a
// stand-in of the desktop portal where the session is Wayland, holding sleep off through the
// portal or logind while it records, and telling once where no global keys exist.

#include "Desktop.h"
#include "KnownSignal.h"
#include "PrivateBus.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "SineWav.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <span>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string Interface = "io.github.sonvera.Sonvera";

// Runs `method` of the program's interface (with its arguments) as a desktop's key binding would.
std::string Call(const e2e::PrivateBus& bus, const std::string& method) {
    return bus.Run("gdbus call --session --dest " + Interface +
                   " --object-path /io/github/sonvera/Sonvera --method " + method + " 2>&1");
}

std::string Property(const e2e::PrivateBus& bus, const std::string& name) {
    return Call(bus, "org.freedesktop.DBus.Properties.Get " + Interface + " " + name);
}

bool WaitForRecording(const e2e::PrivateBus& bus, bool recording) {
    const std::string expected = recording ? "(<true>,)\n" : "(<false>,)\n";
    return e2e::WaitFor([&] { return Property(bus, "Recording") == expected; }, 5s);
}

// The program's dialogs (message boxes) shown on the display.
int DialogsShown(const e2e::VirtualDisplay& display, const e2e::Program& program) {
    std::istringstream windows(
        display.Run("xdotool search --onlyvisible --pid " + std::to_string(program.Pid())));
    int dialogs = 0;
    for (std::string window; windows >> window;) {
        if (display.Run("xprop -id " + window + " _NET_WM_WINDOW_TYPE").find("DIALOG") !=
            std::string::npos)
            ++dialogs;
    }
    return dialogs;
}

struct Continuity {
    size_t pieces = 0; // stretches that each continue the known signal frame by frame
    double seconds = 0;
};

// A pause leaves out what the source carried meanwhile, if it went on: one more piece.
Continuity CheckContinuity(const std::string& path) {
    const e2e::WavFile wav = e2e::ReadWav(path);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.rate, 44100u);
    const std::vector<std::int16_t>& s = wav.samples;
    const size_t frames = s.size() / 2;
    Continuity found{0, frames / 44100.0};
    for (size_t start = 0, frame = 1; frame <= frames; ++frame) {
        const std::uint32_t next =
            (known_signal::PhaseOf(s[2 * frame - 1]) + 1) % known_signal::Period;
        if (frame < frames && s[2 * frame + 1] == known_signal::Right(next))
            continue;
        const std::span<const std::int16_t> piece(s.data() + 2 * start, 2 * (frame - start));
        const auto fault = known_signal::CheckStereo(piece, known_signal::PhaseOf(piece[1]));
        EXPECT_FALSE(fault.has_value()) << *fault;
        ++found.pieces;
        start = frame;
    }
    return found;
}

class DesktopBusTest : public e2e::ProgramFixture {};

TEST_F(DesktopBusTest, CallsRecordPauseAndStopARealRecordingWithSleepHeldOffMeanwhile) {
    e2e::PrivateBus bus(folder);
    e2e::StandInServices desktop(folder, bus, nullptr, "--inhibit");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, {"DBUS_SESSION_BUS_ADDRESS=" + bus.Address()});
    ASSERT_TRUE(program.WaitForWindow(display));

    // A second instance runs, without the name: the calls still reach the first.
    const std::string second = folder + "/second";
    fs::create_directories(second);
    e2e::Program other(second, e2e::WavSettings(output));
    other.Start(display, {"DBUS_SESSION_BUS_ADDRESS=" + bus.Address()});
    ASSERT_TRUE(other.WaitForWindow(display));
    EXPECT_EQ(bus.Run("gdbus call --session --dest org.freedesktop.DBus --object-path / --method "
                      "org.freedesktop.DBus.GetConnectionUnixProcessID " +
                      Interface),
              "(uint32 " + std::to_string(program.Pid()) + ",)\n");
    other.Signal(SIGTERM);
    EXPECT_EQ(other.WaitForExit(20s), 0);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Call(bus, Interface + ".Record"), "()\n");
    ASSERT_TRUE(WaitForRecording(bus, true));
    EXPECT_TRUE(desktop.WaitForLine("inhibit 4")) << desktop.Log();
    std::this_thread::sleep_for(2s);
    Call(bus, Interface + ".PauseResume");
    EXPECT_EQ(Property(bus, "Paused"), "(<true>,)\n");
    std::this_thread::sleep_for(1500ms);
    Call(bus, Interface + ".PauseResume");
    EXPECT_EQ(Property(bus, "Paused"), "(<false>,)\n");
    EXPECT_EQ(Call(bus, Interface + ".Marker"), "()\n");
    std::this_thread::sleep_for(2s);
    Call(bus, Interface + ".Stop");
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(WaitForRecording(bus, false));
    EXPECT_TRUE(desktop.WaitForLine("release")) << desktop.Log();

    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Property(bus, "CurrentFile"), "(<'" + files.front() + "'>,)\n");
    std::ifstream labels(output + "/record001.txt");
    std::string label;
    EXPECT_TRUE(std::getline(labels, label));
    EXPECT_NE(label.find("\tMarker 1"), std::string::npos) << label;
    const Continuity recorded = CheckContinuity(files.front());
    EXPECT_LE(recorded.pieces, 2u) << "one pause, one gap at most";
    EXPECT_GE(recorded.seconds, 3.5);
    EXPECT_LE(recorded.seconds, wall.count() - 1.2) << "the paused time is not in the file";

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

// A file played from the list: the calls pause, resume and stop the playback as the main
// window's buttons do, and a recording is refused while it plays.
TEST_F(DesktopBusTest, CallsPauseAndStopAPlaybackAndRecordWaitsForItsEnd) {
    sine_wav::Write(output + "/record001.wav", 44100, 2, 44100 * 30, 440);
    e2e::PrivateBus bus(folder);
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, {"DBUS_SESSION_BUS_ADDRESS=" + bus.Address()});
    ASSERT_TRUE(program.WaitForWindow(display));
    const auto flags = [&] { return Property(bus, "Playing") + Property(bus, "Paused"); };
    const std::string playing = "(<true>,)\n(<false>,)\n";
    // The list's only row, 25 pixels into the grid at 14, 263 of the client area.
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            program.ClickMainWindow(display, 64, 263 + 25, "click --repeat 2 --delay 80 1");
            return e2e::WaitFor([&] { return flags() == playing; }, 1s);
        },
        10s))
        << "the double click played nothing";

    Call(bus, Interface + ".PauseResume");
    EXPECT_EQ(flags(), "(<true>,)\n(<true>,)\n");
    Call(bus, Interface + ".Record");
    Call(bus, Interface + ".PauseResume");
    EXPECT_EQ(flags(), playing);
    EXPECT_EQ(Property(bus, "Recording"), "(<false>,)\n");
    Call(bus, Interface + ".Stop");
    EXPECT_EQ(flags(), "(<false>,)\n(<false>,)\n");
    EXPECT_EQ(Call(bus, Interface + ".Record"), "()\n");
    EXPECT_TRUE(WaitForRecording(bus, true)) << "the stop ended the playback";
    Call(bus, Interface + ".Stop");
    ASSERT_TRUE(WaitForRecording(bus, false));
    EXPECT_EQ(e2e::Recordings(output, "wav").size(), 2u);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

class PortalKeysTest : public DesktopBusTest, public ::testing::WithParamInterface<bool> {};

// Natively on Wayland, and under XWayland, whose key grab sees only X11 windows, the keys come
// from the desktop's portal.
TEST_P(PortalKeysTest, ThePortalBindsTheKeysAndItsActivationsRecord) {
    const bool native = GetParam();
    if (native && !e2e::WaylandCompositor::Available(false))
        GTEST_SKIP() << "needs weston and qt6-wayland";
    std::optional<e2e::WaylandCompositor> compositor;
    std::vector<std::string> environment;
    if (native) {
        compositor.emplace(false);
        environment = compositor->Environment();
    }
    environment.push_back("XDG_SESSION_TYPE=wayland");
    e2e::PrivateBus bus(folder);
    environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus.Address());
    e2e::StandInServices desktop(folder, bus, nullptr, "--shortcuts --inhibit --registry");
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, environment);
    for (const char* bound :
         {"bind record F5", "bind pause-resume F7", "bind stop F9", "bind marker F8"})
        ASSERT_TRUE(desktop.WaitForLine(bound)) << desktop.Log();
    EXPECT_TRUE(desktop.Log().starts_with("ready\nregister io.github.sonvera.Sonvera\n"))
        << "the app id before any other call: " << desktop.Log();
    if (!native) {
        ASSERT_TRUE(program.WaitForWindow(display));
        display.FocusAnotherWindow();
        display.Run("xdotool key F5");
        std::this_thread::sleep_for(1500ms);
        EXPECT_EQ(Property(bus, "Recording"), "(<false>,)\n") << "no grab of X11's keys";
        EXPECT_EQ(DialogsShown(display, program), 0) << "global keys exist: nothing to tell";
    }

    desktop.Activate("record");
    ASSERT_TRUE(WaitForRecording(bus, true));
    EXPECT_TRUE(desktop.WaitForLine("inhibit 4")) << desktop.Log();
    std::this_thread::sleep_for(1s);
    desktop.Activate("marker");
    std::this_thread::sleep_for(1s);
    desktop.Activate("stop");
    ASSERT_TRUE(WaitForRecording(bus, false));
    EXPECT_TRUE(desktop.WaitForLine("release")) << desktop.Log();
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::exists(output + "/record001.txt")) << "the marker key reached the program";
    const Continuity recorded = CheckContinuity(files.front());
    EXPECT_EQ(recorded.pieces, 1u);
    EXPECT_GE(recorded.seconds, 1.5);

    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    EXPECT_NE(program.SettingsText().find("[Desktop]\nKeysNoticeShown=0"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Wayland, PortalKeysTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Native" : "XWayland"; });

// A key the user gives an action in the desktop's settings shows in the window at once: the
// buttons' hints, the marker's menu item. Where the user takes a key away there, the window's
// own key does the action again.
TEST_F(DesktopBusTest, KeysChangedInTheDesktopsSettingsShowInTheWindow) {
    e2e::PrivateBus bus(folder);
    e2e::StandInServices desktop(folder, bus, nullptr, "--shortcuts");
    const std::string hints = folder + "/hints";
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, {"DBUS_SESSION_BUS_ADDRESS=" + bus.Address(), "XDG_SESSION_TYPE=wayland",
                            std::string("LD_PRELOAD=") + SONVERA_WINDOW_HINTS,
                            "SONVERA_HINTS_REPORT=" + hints});
    ASSERT_TRUE(program.WaitForWindow(display));
    ASSERT_TRUE(desktop.WaitForLine("bind marker F8")) << desktop.Log();
    // What the window said since `from` (a length of the report).
    const auto said = [&](std::size_t from) {
        std::ifstream report(hints);
        std::stringstream text;
        text << report.rdbuf();
        return text.str().substr(std::min(from, text.str().size()));
    };
    const auto saysSoon = [&](const std::string& line, std::size_t from = 0) {
        return e2e::WaitFor([&] { return said(from).find(line + "\n") != std::string::npos; }, 5s);
    };
    ASSERT_TRUE(saysSoon("hint Stop (F9)")) << said(0);

    desktop.Rebind("record", "CTRL+SHIFT+R");
    desktop.Rebind("marker", "CTRL+M");
    desktop.Rebind("stop", "CTRL+S");
    EXPECT_TRUE(saysSoon("hint Record (CTRL+SHIFT+R)")) << said(0);
    EXPECT_TRUE(saysSoon("item Add Marker\tCTRL+M")) << said(0);
    ASSERT_TRUE(saysSoon("hint Stop (CTRL+S)")) << said(0);

    Call(bus, Interface + ".Record");
    ASSERT_TRUE(WaitForRecording(bus, true));
    const std::size_t before = said(0).size();
    desktop.Rebind("stop", "");
    EXPECT_TRUE(saysSoon("hint Stop (F9)", before)) << said(0);
    display.Run("xdotool search --all --onlyvisible --pid " + std::to_string(program.Pid()) +
                " --name Sonvera windowfocus --sync key F9 >/dev/null 2>&1");
    EXPECT_TRUE(WaitForRecording(bus, false)) << "the window's own F9 stops again";
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

TEST_F(DesktopBusTest, WithoutAPortalTheUserIsToldOnceAndLogindHoldsSleepOff) {
    e2e::PrivateBus bus(folder);
    const std::string systemFolder = folder + "/system";
    fs::create_directories(systemFolder);
    e2e::PrivateBus systemBus(systemFolder);
    e2e::StandInServices logind(folder, bus, &systemBus, "--logind");
    const std::vector<std::string> environment = {"DBUS_SESSION_BUS_ADDRESS=" + bus.Address(),
                                                  "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus.Address(),
                                                  "XDG_SESSION_TYPE=wayland"};
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display, environment);
    ASSERT_TRUE(program.WaitForWindow(display));
    EXPECT_TRUE(e2e::WaitFor([&] { return DialogsShown(display, program) == 1; }, 5s));

    Call(bus, Interface + ".Record");
    ASSERT_TRUE(WaitForRecording(bus, true));
    EXPECT_TRUE(logind.WaitForLine("logind sleep block")) << logind.Log();
    Call(bus, Interface + ".Stop");
    EXPECT_TRUE(logind.WaitForLine("logind-release")) << logind.Log();
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
    EXPECT_NE(program.SettingsText().find("[Desktop]\nKeysNoticeShown=1"), std::string::npos);

    // Told once: the next start says nothing, and the window's own key records.
    program.Start(display, environment);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(DialogsShown(display, program), 0);
    display.Run("xdotool search --all --onlyvisible --pid " + std::to_string(program.Pid()) +
                " --name Sonvera windowfocus --sync key F5 >/dev/null 2>&1");
    EXPECT_TRUE(WaitForRecording(bus, true));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

} // namespace
