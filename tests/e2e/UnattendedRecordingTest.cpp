// Recording without a hand on the keys, in the real program: a scheduled recording, a split by
// size whose files joined are the signal, file names from a template and markers beside them.

#include "Desktop.h"
#include "KnownSignal.h"
#include "ProgramFixture.h"
#include "Recording.h"

#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

std::string LocalTime(Clock::time_point at, const char* format) {
    const std::time_t seconds = Clock::to_time_t(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// Every file of the folder with the extension, sorted by name.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& extension) {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension)
            found.push_back(entry.path().string());
    std::sort(found.begin(), found.end());
    return found;
}

class UnattendedRecording : public e2e::ProgramFixture {
protected:
    void Stop(e2e::Program& program) {
        program.Signal(SIGTERM);
        EXPECT_EQ(program.WaitForExit(20s), 0);
    }
};

TEST_F(UnattendedRecording, AScheduleAheadRecordsItsLengthWithNoKeyPressed) {
    // Whole seconds, as the settings file states the time.
    const Clock::time_point startAt = Clock::from_time_t(Clock::to_time_t(Clock::now() + 7s));
    const std::string schedule =
        "[Schedule]\nEnabled=1\nStartAt=" + LocalTime(startAt, "%Y-%m-%d %H:%M:%S") +
        "\nDuration=3\nDaily=0\n";
    e2e::Program program(folder, e2e::WavSettings(output) + schedule);
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    ASSERT_LT(Clock::now(), startAt - 1s) << "the program came up too late for the test";

    // The file appears when the recording starts.
    Clock::time_point appeared;
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            appeared = Clock::now();
            return !e2e::Recordings(output, "wav").empty();
        },
        15s));
    const auto startError =
        std::chrono::duration_cast<std::chrono::milliseconds>(appeared - startAt);
    std::cout << "scheduled start error: " << startError.count() << " ms\n";
    EXPECT_GE(startError, -100ms) << "polled every 100 ms";
    EXPECT_LE(startError, 500ms);

    std::this_thread::sleep_for(5s); // the length, and the stop's finish
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    e2e::ExpectKnownSignal(files.front(), 2.9);
    const double seconds = e2e::ReadWav(files.front()).samples.size() / 2 / 44100.0;
    std::cout << "scheduled length: " << seconds << " s of 3 s\n";
    EXPECT_NEAR(seconds, 3.0, 0.1) << "within one block";
    Stop(program);
    EXPECT_NE(program.SettingsText().find("[Schedule]\nEnabled=0\n"), std::string::npos)
        << "a schedule without Daily runs once";
}

TEST_F(UnattendedRecording, ASplitBySizeGivesFilesThatJoinedAreTheSignal) {
    e2e::Program program(folder, e2e::WavSettings(output) + "[Split]\nMegabytes=1\n");
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(13s); // 1 MB is 5.7 s of the format: three files
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(2s);
    Stop(program);

    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 3u);
    std::vector<std::int16_t> joined;
    std::vector<std::size_t> joints;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        e2e::ExpectKnownSignal(file, 0.5);
        EXPECT_LE(fs::file_size(file), 1000000u);
        const e2e::WavFile wav = e2e::ReadWav(file);
        joined.insert(joined.end(), wav.samples.begin(), wav.samples.end());
        joints.push_back(joined.size() / 2);
        std::cout << fs::path(file).filename().string() << ": " << fs::file_size(file)
                  << " bytes, ends at frame " << joints.back() << " of the recording\n";
    }
    EXPECT_GE(fs::file_size(files[0]), 1000000u - 17640) << "full to the last block";
    const std::vector<std::size_t> breaks = known_signal::Breaks(joined);
    EXPECT_TRUE(breaks.empty()) << "the joined files break at frame " << breaks.front()
                                << ", the first joint is at frame " << joints.front();
}

TEST_F(UnattendedRecording, ATemplateNamesTheRecordingAndItsMarkersLieBesideIt) {
    e2e::Program program(folder, e2e::WavSettings(output) + "[Names]\nTemplate=%Y-%m-%d take %n\n");
    program.Start(display);
    ASSERT_TRUE(program.WaitForWindow(display));
    std::this_thread::sleep_for(1s);
    const std::string today = LocalTime(Clock::now(), "%Y-%m-%d");
    display.Run("xdotool key F5");
    std::this_thread::sleep_for(1500ms);
    display.Run("xdotool key F8");
    std::this_thread::sleep_for(1000ms);
    display.Run("xdotool key F8");
    std::this_thread::sleep_for(500ms);
    display.Run("xdotool key F9");
    std::this_thread::sleep_for(2s);
    Stop(program);

    const auto files = FilesEndingIn(output, ".wav");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(fs::path(files.front()).filename(), today + " take 001.wav");
    e2e::ExpectKnownSignal(files.front(), 2.5);

    std::ifstream labels(output + "/" + today + " take 001.txt");
    std::vector<double> marks;
    std::string line;
    while (std::getline(labels, line)) {
        std::istringstream fields(line);
        double start = 0, end = 0;
        std::string text;
        fields >> start >> end;
        std::getline(fields >> std::ws, text);
        EXPECT_EQ(start, end);
        EXPECT_EQ(text, "Marker " + std::to_string(marks.size() + 1));
        marks.push_back(start);
    }
    ASSERT_EQ(marks.size(), 2u);
    std::cout << "markers at " << marks[0] << " s and " << marks[1] << " s (keys at 1.5 and 2.5)\n";
    EXPECT_NEAR(marks[0], 1.5, 0.25);
    EXPECT_NEAR(marks[1] - marks[0], 1.0, 0.1);
}

TEST_F(UnattendedRecording, StartedBySoundTheFileHoldsThePreRollAndTheHangTime) {
    e2e::LonelySoundServer server;
    // Its monitor is the only source, and the program's from the start.
    server.Pactl("load-module module-null-sink sink_name=lonely_out rate=44100");
    e2e::Program program(folder, e2e::WavSettings(output) + "[Voice Activation]\nMode=2\n");
    program.Start(display, server.Environment());
    ASSERT_TRUE(program.WaitForWindow(display));
    server.PlayKnownSignal(2, 4, 8);
    std::this_thread::sleep_for(3500ms);
    EXPECT_TRUE(e2e::Recordings(output, "wav").empty()) << "silence starts nothing";
    std::this_thread::sleep_for(10s); // the tone, the hang time, the finish
    const auto files = e2e::Recordings(output, "wav");
    ASSERT_EQ(files.size(), 1u);
    Stop(program);

    const e2e::WavFile wav = e2e::ReadWav(files.front());
    ASSERT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.statedDataBytes, wav.samples.size() * 2);
    const std::size_t frames = wav.samples.size() / 2;
    const auto sounding = [&](std::size_t frame) {
        return wav.samples[2 * frame] != 0 || wav.samples[2 * frame + 1] != 0;
    };
    std::size_t onset = 0;
    while (onset < frames && !sounding(onset))
        ++onset;
    ASSERT_LT(onset, frames) << "the tone is in the file";
    std::size_t last = frames - 1;
    while (!sounding(last))
        --last;
    const double preRoll = onset / 44100.0;
    const double hang = (frames - 1 - last) / 44100.0;
    std::cout << "pre-roll " << preRoll << " s, tone " << (last + 1 - onset) / 44100.0
              << " s, after it " << hang << " s\n";
    EXPECT_GE(preRoll, 2.0);
    EXPECT_LT(preRoll, 2.1) << "within one block";
    EXPECT_GE(hang, 5.0);
    EXPECT_LT(hang, 5.1) << "within one block";
    const std::span<const std::int16_t> tone(wav.samples.data() + 2 * onset,
                                             2 * (last + 1 - onset));
    const auto fault = known_signal::CheckStereo(tone, known_signal::PhaseOf(tone[1]));
    EXPECT_FALSE(fault.has_value()) << *fault;
}

} // namespace
