// The real program's file list under a virtual display: a recording started with the global F5
// while an operation's question is open leaves the operation without effect.

#include "Desktop.h"
#include "ProgramFixture.h"
#include "Recording.h"
#include "ScriptedQuestions.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class FileList : public e2e::ProgramFixture {};

TEST_F(FileList, F5WhileTheDeleteQuestionIsOpenKeepsTheFile) {
    WriteRecordingWav(output + "/take.wav", 44100, 2, 16, 1);
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);

    // The list's first row lies 25 pixels into the grid at 14, 263 of the client area.
    program.ClickMainWindow(display, 64, 263 + 25, "click 1");
    display.Run("xdotool windowfocus --sync " +
                program.WaitForWindowTitled(display, "Sonvera", 1s) + " key Delete");
    const std::string box = program.WaitForWindowTitled(display, "Confirm", 10s);
    ASSERT_FALSE(box.empty()) << "the question is open";

    display.Run("xdotool key F5");
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::Recordings(output, "wav").size() == 1; }, 5s))
        << "F5 starts a recording while the question is open";
    display.Run("xdotool windowfocus --sync " + box + " key alt+y");
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(fs::exists(output + "/take.wav")) << "the recording started meanwhile";

    display.Run("xdotool key F9");
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

} // namespace
