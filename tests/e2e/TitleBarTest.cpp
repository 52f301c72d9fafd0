// The program under a Wayland compositor, natively and through XWayland, while it records: its
// title bar's maximise, asked twice, leaves the window at its size and the program running,
// minimise too, and its close finishes the recording and writes the settings as the close box
// does everywhere.

#include "Desktop.h"
#include "TestPaths.h"

#include <QtCore/qnamespace.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

struct Window {
    std::string action;
    std::string size;
    int states = 0;
};

// The lines the title bar's actions leave in their report.
std::vector<Window> ReadReport(const std::string& path) {
    std::vector<Window> report;
    std::ifstream file(path);
    for (Window line; file >> line.action >> line.size >> line.states;)
        report.push_back(line);
    return report;
}

class TitleBar : public ::testing::TestWithParam<bool> {};

TEST_P(TitleBar, NoActionEndsTheProgramAndCloseFinishesTheRecording) {
    const bool xwayland = GetParam();
    if (!e2e::WaylandCompositor::Available(xwayland))
        GTEST_SKIP() << "needs weston, qt6-wayland" << (xwayland ? " and xwayland" : "");
    const std::string folder =
        test_paths::FreshDir(std::string("e2e_title_bar_") + (xwayland ? "xwayland" : "wayland"));
    const std::string output = folder + "/recordings";
    std::filesystem::create_directories(output);
    e2e::WaylandCompositor compositor(xwayland);
    e2e::Program program(folder, "[Folder]\nName=" + output +
                                     "\n[Record Settings]\nWav=1\nMP3=0\nSamplesPerSecond=44100\n"
                                     "BitsPerSample=16\nChannels=2\n");
    const std::string report = folder + "/report";
    program.Start(compositor,
                  {std::string("LD_PRELOAD=") + SONVERA_TITLE_BAR_ACTIONS,
                   "SONVERA_TITLE_BAR_ACTIONS=record,maximize,maximize,minimize,close,confirm",
                   "SONVERA_TITLE_BAR_REPORT=" + report});

    // It ends by the close alone: nothing else is sent to it.
    EXPECT_EQ(program.WaitForExit(60s), 0) << "a protocol error ends it with 1";
    const std::vector<Window> windows = ReadReport(report);
    ASSERT_EQ(windows.size(), 6u) << "shown, then each action up to the close";
    for (const Window& window : windows) {
        EXPECT_EQ(window.size, windows.front().size) << "after " << window.action;
        EXPECT_EQ(window.states & (Qt::WindowMaximized | Qt::WindowFullScreen), 0)
            << "after " << window.action;
    }

    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    const e2e::WavFile wav = e2e::ReadWav(files.front());
    EXPECT_EQ(wav.statedDataBytes, wav.samples.size() * 2) << "the recording was finished";
    EXPECT_GT(wav.samples.size() / 2, 4u * 44100u);
    EXPECT_NE(program.SettingsText().find("Clipping Detection="), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Compositor, TitleBar, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "XWayland" : "NativeWayland");
                         });

} // namespace
