// Converting WAV files to MP3 block by block, without a window, with the real lame: the whole
// file arrives even when it is far bigger than the encoder's queue, and a file shorter than
// its header still ends.

#include "library/Mp3Conversion.h"

#include "DecodedAudio.h"
#include "SineWav.h"
#include "TestPaths.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The steps as the converter window runs them, with a short wait while the encoder is behind.
std::vector<int> RunToEnd(Mp3Conversion& conversion) {
    std::vector<int> percents;
    while (conversion.Active()) {
        conversion.Step();
        while (conversion.EncoderBehind())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        percents.push_back(conversion.Percent());
    }
    EXPECT_TRUE(conversion.Finish(true));
    return percents;
}

TEST(Mp3ConversionTest, AFileBiggerThanTheEncoderQueueConvertsWhole) {
    const std::string dir = test_paths::FreshDir("mp3conversion_long");
    const std::string source = dir + "/long.wav";
    const std::string target = dir + "/long.mp3";
    constexpr std::uint32_t Frames = 44100 * 120; // 21 MB of stereo PCM
    sine_wav::Write(source, 44100, 2, Frames, 1000);

    RecordingSettings settings;
    Mp3Conversion conversion(settings, source, target, 44100, 2);
    ASSERT_TRUE(conversion.EncoderStarted());
    const std::vector<int> percents = RunToEnd(conversion);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0) << "one block of a long file";
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(percents.size(), (Frames * 4 + ConvertBlockBytes - 1) / ConvertBlockBytes)
        << "blocks of 10000 bytes";

    const decoded_audio::Audio mp3 = decoded_audio::Decode(target);
    ASSERT_EQ(mp3.Rate, 44100);
    ASSERT_EQ(mp3.Channels, 2);
    EXPECT_NEAR(double(mp3.Frames()), double(Frames), 1152);
    // The end of the file is there, not only its first minutes.
    const auto tail = decoded_audio::MeasureSine(mp3, 1, mp3.Frames() - 44100, mp3.Frames(), 1000);
    EXPECT_NEAR(tail.Frequency, 1000, 1);
    EXPECT_NEAR(tail.Amplitude, 16384, 1000);
}

TEST(Mp3ConversionTest, AFileShorterThanItsHeaderStatesStillEnds) {
    const std::string dir = test_paths::FreshDir("mp3conversion_short");
    const std::string source = dir + "/cut.wav";
    const std::string target = dir + "/cut.mp3";
    sine_wav::Write(source, 44100, 2, 44100, 1000, 44100 * 10);

    RecordingSettings settings;
    Mp3Conversion conversion(settings, source, target, 44100, 2);
    RunToEnd(conversion);
    const decoded_audio::Audio mp3 = decoded_audio::Decode(target);
    EXPECT_NEAR(double(mp3.Frames()), 44100, 1152);
}

} // namespace
