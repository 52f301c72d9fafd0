#include "audio/BassWMA.h"

#include "DecodedAudio.h"
#include "KnownSignal.h"
#include "TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(BassWMA, RatesAreWhatTheEncoderTakesHighestFirstAndZeroTerminated) {
    for (DWORD chans : {1u, 2u}) {
        const DWORD* rates = BASS_WMA_EncodeGetRates(44100, chans, 0);
        ASSERT_NE(rates, nullptr);
        std::vector<DWORD> list;
        for (const DWORD* r = rates; *r != 0; ++r)
            list.push_back(*r);
        EXPECT_TRUE(std::is_sorted(list.rbegin(), list.rend()));
        EXPECT_NE(std::find(list.begin(), list.end(), 128000u), list.end());
        EXPECT_GE(list.back(), 24000u); // the encoder refuses less
        EXPECT_EQ(BASS_WMA_EncodeGetRates(44100, chans, 0), rates);
    }
    EXPECT_EQ(BASS_WMA_EncodeGetRates(96000, 2, 0), nullptr);
    EXPECT_EQ(BASS_WMA_EncodeGetRates(44100, 3, 0), nullptr);
}

TEST(BassWMA, EncodesTheSignalAtTheAskedRateWithNothingLost) {
    const std::string path = test_paths::FreshDir("wma_encode") + "/record001.wma";
    const HWMENCODE encoder = BASS_WMA_EncodeOpenFile(44100, 2, 0, 128000, path.c_str());
    ASSERT_NE(encoder, 0u);
    // 3 s of the known signal in blocks of 100 ms.
    const std::uint32_t frames = 3 * 44100;
    std::vector<std::int16_t> block(4410 * 2);
    for (std::uint32_t at = 0; at < frames; at += 4410) {
        for (std::uint32_t f = 0; f < 4410; ++f) {
            block[2 * f] = known_signal::Left(at + f);
            block[2 * f + 1] = known_signal::Right(at + f);
        }
        ASSERT_TRUE(BASS_WMA_EncodeWrite(encoder, block.data(), 4410 * 4));
    }
    ASSERT_TRUE(BASS_WMA_EncodeClose(encoder));

    const auto audio = decoded_audio::Decode(path);
    ASSERT_EQ(audio.Rate, 44100);
    ASSERT_EQ(audio.Channels, 2);
    // The silent frame ahead and the padded last frame add less than two frames of 2048.
    EXPECT_GE(audio.Frames(), frames);
    EXPECT_LT(audio.Frames(), frames + 2 * 2048);
    // The sine is there from the first 100 ms to the last.
    for (std::size_t from : {std::size_t(4410), std::size_t(frames - 4410)}) {
        const double frequency = known_signal::SineFrequency(44100);
        const auto sine = decoded_audio::MeasureSine(audio, 0, from, from + 4410, frequency);
        EXPECT_NEAR(sine.Amplitude, known_signal::SineAmplitude, 0.05 * known_signal::SineAmplitude)
            << "at " << from;
        EXPECT_NEAR(sine.Frequency, frequency, 2.0) << "at " << from;
    }
    const double kbps = std::filesystem::file_size(path) * 8.0 / 3.0 / 1000.0;
    EXPECT_NEAR(kbps, 128.0, 128.0 * 0.15);
}

TEST(BassWMA, RefusedFormatsAndPathsGiveNoHandle) {
    const std::string dir = test_paths::FreshDir("wma_refused");
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(96000, 2, 0, 128000, (dir + "/a.wma").c_str()), 0u);
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 0, 128000, (dir + "/no/a.wma").c_str()), 0u);
    const char bytes[4] = {};
    EXPECT_FALSE(BASS_WMA_EncodeWrite(0, bytes, 4));
    EXPECT_FALSE(BASS_WMA_EncodeClose(12345));
}
