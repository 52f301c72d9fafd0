#include "Recording.h"

#include "Desktop.h"
#include "KnownSignal.h"

#include <gtest/gtest.h>

namespace e2e {

std::string WavSettings(const std::string& outputFolder) {
    return "[Folder]\nName=" + outputFolder +
           "\n[Record Settings]\nWav=1\nSamplesPerSecond=44100\nBitsPerSample=16\nChannels=2\n"
           "MP3=0\n";
}

void ExpectKnownSignal(const std::string& path, double atLeastSeconds) {
    const WavFile wav = ReadWav(path);
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.bits, 16);
    ASSERT_EQ(wav.rate, 44100u);
    EXPECT_EQ(wav.statedDataBytes, wav.samples.size() * 2) << "the header states the audio";
    EXPECT_EQ(wav.statedRiffBytes, wav.samples.size() * 2 + 36) << "the header states the file";
    ASSERT_GE(wav.samples.size() / 2, static_cast<size_t>(atLeastSeconds * 44100));
    const std::uint32_t phase = known_signal::PhaseOf(wav.samples[1]);
    const auto fault = known_signal::CheckStereo(wav.samples, phase);
    EXPECT_FALSE(fault.has_value()) << *fault;
}

} // namespace e2e
