// Recordings through the encoders, in the real program: the files are there after the stop
// while the encoders finish in the background, and a WMA recording cut short by a crash plays.

#include "DecodedAudio.h"
#include "Desktop.h"
#include "KnownSignal.h"
#include "ProgramFixture.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string Settings(const std::string& outputFolder, const std::string& format) {
    return "[Folder]\nName=" + outputFolder +
           "\n[Record Settings]\nWav=0\nSamplesPerSecond=44100\nBitsPerSample=16\nChannels=2\n" +
           format;
}

const char* const Wma128 = "MP3=0\n[WMA Settings]\nWMA=1\nWMARate=128\n";
const char* const Flac = "MP3=0\n[FLAC Settings]\nFLAC=1\nFlacLevel=5\n";
const char* const Opus = "MP3=0\n[Opus Settings]\nOpus=1\nOpusRate=64\n";

struct Format {
    const char* settings;
    const char* extension;
};

double DecodedSeconds(const std::string& path) {
    const decoded_audio::Audio audio = decoded_audio::Decode(path);
    return audio.Rate ? double(audio.Frames()) / audio.Rate : 0.0;
}

// The length the file list shows.
double StatedSeconds(const std::string& path) {
    const HSTREAM stream = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    const double seconds =
        BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetLength(stream, BASS_POS_BYTE));
    BASS_StreamFree(stream);
    return seconds;
}

class EncodedRecording : public e2e::ProgramFixture {
protected:
    // Starts the program and F5 once its hot keys are sure to be taken.
    void StartRecording(e2e::Program& program) {
        program.Start(display);
        ASSERT_TRUE(program.WaitForWindow(display));
        std::this_thread::sleep_for(1s);
        display.Run("xdotool key F5");
    }
};

// The stop's rescan comes while the encoder still holds the file, when it may hold no audio
// yet: a WMA file, and a short MP3 at a low rate that lame has not written out.
TEST_F(EncodedRecording, FilesStillBeingEncodedSurviveTheStop) {
    struct Case {
        const char* format;
        const char* extension;
        std::chrono::milliseconds length;
    };
    const Case cases[] = {
        {Wma128, "wma", 3000ms},
        {"MP3=1\nBitRate=32\nVBR=0\n", "mp3", 500ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        e2e::Program program(folder, Settings(output, c.format));
        StartRecording(program);
        std::this_thread::sleep_for(c.length);
        display.Run("xdotool key F9");
        std::this_thread::sleep_for(3s); // the stop's rescan, and the encoder's end
        EXPECT_TRUE(program.Running()) << "F9 stops the recording, not the program";
        program.Signal(SIGTERM);
        EXPECT_EQ(program.WaitForExit(20s), 0);

        const auto files = e2e::Recordings(output, c.extension);
        ASSERT_EQ(files.size(), 1u);
        const double seconds = std::chrono::duration<double>(c.length).count();
        EXPECT_NEAR(DecodedSeconds(files.front()), seconds, 0.4 + 0.1 * seconds);
    }
}

TEST_F(EncodedRecording, AWmaRecordingKilledMidwayKeepsItsAudio) {
    e2e::Program program(folder, Settings(output, Wma128));
    StartRecording(program);
    std::this_thread::sleep_for(10s);
    program.Signal(SIGKILL);
    program.WaitForExit(10s);

    const auto files = e2e::Recordings(output, "wma");
    ASSERT_EQ(files.size(), 1u);
    const double decoded = DecodedSeconds(files.front());
    EXPECT_GE(decoded, 9.0);
    // Its header was never finished: it states no length.
    EXPECT_NEAR(StatedSeconds(files.front()), decoded, 0.05);
}

// FLAC and Opus through the whole program: the settings file selects them, the capture runs at
// their rate, and the files hold the signal, losslessly for FLAC.
TEST_F(EncodedRecording, FlacAndOpusRecordingsHoldTheSignal) {
    for (const Format& f : {Format{Flac, "flac"}, Format{Opus, "opus"}}) {
        SCOPED_TRACE(f.extension);
        e2e::Program program(folder, Settings(output, f.settings));
        StartRecording(program);
        std::this_thread::sleep_for(3s);
        display.Run("xdotool key F9");
        std::this_thread::sleep_for(1s);
        program.Signal(SIGTERM);
        EXPECT_EQ(program.WaitForExit(20s), 0);

        const auto files = e2e::Recordings(output, f.extension);
        ASSERT_EQ(files.size(), 1u);
        const decoded_audio::Audio audio = decoded_audio::Decode(files.front());
        ASSERT_EQ(audio.Channels, 2);
        ASSERT_EQ(audio.Rate, f.settings == Flac ? 44100 : 48000);
        EXPECT_NEAR(double(audio.Frames()) / audio.Rate, 3.0, 0.6);
        if (f.settings == Flac) {
            const auto fault =
                known_signal::CheckStereo(audio.Samples, known_signal::PhaseOf(audio.Samples[1]));
            EXPECT_FALSE(fault.has_value()) << *fault;
        } else {
            const double frequency = known_signal::SineFrequency(44100);
            const auto sine = decoded_audio::MeasureSine(audio, 0, 24000, 96000, frequency);
            EXPECT_NEAR(sine.Amplitude, known_signal::SineAmplitude,
                        known_signal::SineAmplitude * 0.1);
        }
    }
}

// Both write as they record: killed, they leave all but the last moments.
TEST_F(EncodedRecording, FlacAndOpusRecordingsKilledMidwayKeepTheirAudio) {
    for (const Format& f : {Format{Flac, "flac"}, Format{Opus, "opus"}}) {
        SCOPED_TRACE(f.extension);
        e2e::Program program(folder, Settings(output, f.settings));
        StartRecording(program);
        std::this_thread::sleep_for(10s);
        program.Signal(SIGKILL);
        program.WaitForExit(10s);

        const auto files = e2e::Recordings(output, f.extension);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_GE(DecodedSeconds(files.front()), 9.0);
    }
}

} // namespace
