// The program started from a terminal and ended by it: Ctrl-C, Ctrl-\, a closed terminal or a
// kill reach every process of its group, the encoders too. Each closes the program as its close
// box does, with the MP3 finished by its encoder and the settings written.

#include "DecodedAudio.h"
#include "Desktop.h"
#include "TestPaths.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

// lame writes the VBR tag (Xing) into the first frame once it has all its input; a file whose
// encoder was killed has only the placeholder of zeros there.
bool HasVbrTag(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string start(8192, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    return start.find("Xing") != std::string::npos;
}

struct SignalCase {
    const char* name;
    int number;
};
void PrintTo(const SignalCase& c, std::ostream* out) {
    *out << c.name;
}

class TerminatingSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(TerminatingSignal, ToTheWholeGroupFinishesTheMp3AndWritesTheSettings) {
    const std::string folder = test_paths::FreshDir(std::string("e2e_signal_") + GetParam().name);
    const std::string output = folder + "/recordings";
    std::filesystem::create_directories(output);
    e2e::VirtualDisplay display;
    e2e::Program program(folder, "[Folder]\nName=" + output +
                                     "\n[Record Settings]\nWav=0\nMP3=1\nVBR=1\nVBRQuality=4\n"
                                     "MinBitRate=32\nMaxBitRate=320\nMode=1\n");
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));

    display.Run("xdotool key F5");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::Recordings(output, "mp3").size() == 1; }, 5s));
    std::this_thread::sleep_until(started + 4s);
    program.SignalGroup(GetParam().number);
    const double recorded =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(program.WaitForExit(30s), 0);

    const auto files = e2e::Recordings(output, "mp3");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(HasVbrTag(files.front())) << "the encoder finished the file";
    const decoded_audio::Audio audio = decoded_audio::Decode(files.front());
    ASSERT_EQ(audio.Rate, 44100);
    const double seconds = static_cast<double>(audio.Frames()) / audio.Rate;
    EXPECT_GT(seconds, recorded - 0.6) << "recorded for " << recorded << " s";
    EXPECT_LT(seconds, recorded + 0.3);
    EXPECT_NE(program.SettingsText().find("Clipping Detection="), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminatingSignal,
                         ::testing::Values(SignalCase{"CtrlC", SIGINT},
                                           SignalCase{"TerminalClosed", SIGHUP},
                                           SignalCase{"Quit", SIGQUIT},
                                           SignalCase{"KillOfTheGroup", SIGTERM}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
