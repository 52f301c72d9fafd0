// The real program started on a folder it cannot read through quickly: the window answers and
// F5 records at once, however long a file's duration takes to find.

#include "Desktop.h"
#include "Recording.h"
#include "SineWav.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// One valid MPEG frame and then 8 TiB of holes: read through, it would take hours.
TEST(BigFolder, ASparseHugeMp3NeitherHoldsTheWindowNorTheRecording) {
    const std::string folder = test_paths::FreshDir("e2e_big_folder");
    const std::string output = folder + "/recordings";
    fs::create_directories(output);
    sine_wav::Write(output + "/tone.wav", 44100, 2, 44100, 440);
    ASSERT_EQ(std::system(("lame --quiet -t -b 128 " + output + "/tone.wav " + output +
                           "/tone.mp3 && head -c 417 " + output + "/tone.mp3 > " + output +
                           "/huge.mp3 && truncate -s 8T " + output + "/huge.mp3")
                              .c_str()),
              0);
    e2e::VirtualDisplay display;
    e2e::Program program(folder, e2e::WavSettings(output));
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));

    // Generous: this is no measure of speed, only that nothing waits for the huge file.
    display.Run("xdotool key F5");
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::Recordings(output, "wav").size() == 1; }, 20s))
        << "F5 started no recording";
    std::this_thread::sleep_for(1s);
    display.Run("xdotool key F9");
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(20s), 0);
}

} // namespace
