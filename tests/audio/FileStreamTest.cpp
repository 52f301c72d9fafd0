// File streams: format, exact length, content and sample-exact seeking of WAV files written
// here and of MP3, Ogg Vorbis, WMA, FLAC and Opus files made by the real encoders.

#include "AudioFiles.h"
#include "KnownSignal.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace audio_files;

namespace {

constexpr std::uint32_t SourceFrames = 145530; // 3.3 s, not a whole number of codec frames

struct Encoded {
    const char* name;
    std::uint32_t slack; // frames the length may differ from the source (WMA pads whole frames)
};

void PrintTo(const Encoded& c, std::ostream* os) {
    *os << c.name;
}

class EncodedFile : public testing::TestWithParam<Encoded> {
protected:
    static void SetUpTestSuite() { dir_ = test_paths::FreshDir("audio-encoded"); }

    // Each file is made once and decoded whole once, as the reference of the seek tests.
    static const std::string& Path(const std::string& name) {
        auto it = paths_.find(name);
        if (it == paths_.end())
            it = paths_.emplace(name, MakeEncoded(dir_, name, SourceFrames)).first;
        return it->second;
    }
    static const std::vector<std::int16_t>& Reference(const std::string& name) {
        auto it = decoded_.find(name);
        if (it == decoded_.end())
            it = decoded_.emplace(name, DecodeAll(Path(name))).first;
        return it->second;
    }

    static inline std::string dir_;
    static inline std::map<std::string, std::string> paths_;
    static inline std::map<std::string, std::vector<std::int16_t>> decoded_;
};

TEST_P(EncodedFile, LengthIsExactlyWhatDecodes) {
    const auto& param = GetParam();
    const HSTREAM h = BASS_StreamCreateFile(false, Path(param.name).c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, SourceRate(param.name));
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, 0u);
    const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    BASS_StreamFree(h);

    EXPECT_EQ(length, Reference(param.name).size() * 2);
    const double frames = double(length) / 4;
    EXPECT_NEAR(frames, SourceFrames, param.slack);
}

TEST_P(EncodedFile, SeekLandsOnTheExactSample) {
    const auto& reference = Reference(GetParam().name);
    ASSERT_GT(reference.size(), 100000u);
    const HSTREAM h =
        BASS_StreamCreateFile(false, Path(GetParam().name).c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    const std::uint64_t lastFrame = reference.size() / 2;
    // Far forward, back, a short hop forward (decoded on), the start, and near the end.
    for (const std::uint64_t target :
         {std::uint64_t{100003}, std::uint64_t{12345}, std::uint64_t{12345 + 3000},
          std::uint64_t{0}, std::uint64_t{77777}, lastFrame - 1000}) {
        ASSERT_TRUE(BASS_ChannelSetPosition(h, target * 4, BASS_POS_BYTE)) << target;
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), target * 4);
        std::int16_t got[2000];
        const DWORD bytes = BASS_ChannelGetData(h, got, sizeof got);
        ASSERT_EQ(bytes, sizeof got) << target;
        const auto expected = reference.begin() + std::ptrdiff_t(target * 2);
        EXPECT_TRUE(std::equal(got, got + 1000, expected)) << "at frame " << target;
        EXPECT_EQ(BASS_ChannelGetPosition(h, BASS_POS_BYTE), target * 4 + sizeof got);
    }
    // The end itself is a valid place; past it is not.
    EXPECT_TRUE(BASS_ChannelSetPosition(h, lastFrame * 4, BASS_POS_BYTE));
    std::int16_t rest[100];
    EXPECT_EQ(BASS_ChannelGetData(h, rest, sizeof rest), 0u);
    EXPECT_FALSE(BASS_ChannelSetPosition(h, lastFrame * 4 + 4, BASS_POS_BYTE));
    BASS_StreamFree(h);
}

TEST_P(EncodedFile, CarriesTheSineOfTheSource) {
    const auto& decoded = Reference(GetParam().name);
    // Lossy coders keep the 1000 Hz sine of the left channel: correlate a stretch of it with
    // the source's sine, allowing for the encoder's delay (WMA's ffmpeg drops a first frame).
    const std::size_t from = 20000, frames = 22050;
    ASSERT_GT(decoded.size(), (from + frames) * 2);
    double best = 0;
    for (std::int64_t lag = -4096; lag <= 4096; ++lag) {
        double dot = 0, energy = 0, sourceEnergy = 0;
        for (std::size_t f = from; f < from + frames; f += 7) {
            const double source = known_signal::Left(std::uint32_t(std::int64_t(f) + lag));
            dot += source * decoded[f * 2];
            energy += double(decoded[f * 2]) * decoded[f * 2];
            sourceEnergy += source * source;
        }
        best = std::max(best, dot / std::sqrt(energy * sourceEnergy));
    }
    EXPECT_GT(best, 0.95);
}

INSTANTIATE_TEST_SUITE_P(Formats, EncodedFile,
                         testing::Values(Encoded{"cbr.mp3", 0}, Encoded{"vbr.mp3", 0},
                                         Encoded{"stereo.ogg", 0}, Encoded{"stereo.wma", 2048},
                                         Encoded{"stereo.wav", 0}, Encoded{"stereo.flac", 0},
                                         Encoded{"stereo.opus", 0}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

struct WavCase {
    std::uint32_t rate;
    std::uint32_t channels;
    std::uint32_t bits;
};

class WavFile : public testing::TestWithParam<WavCase> {};

TEST_P(WavFile, DecodesBitExactWithItsFormat) {
    const auto [rate, channels, bits] = GetParam();
    const std::string path = test_paths::FreshDir("audio-wav") + "/record.wav";
    const auto samples = KnownFrames(30011, channels);
    WriteWav(path, rate, channels, bits, samples);

    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, rate);
    EXPECT_EQ(info.chans, channels);
    EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, bits == 8 ? BASS_SAMPLE_8BITS : 0u);
    // Lengths count decoded 16-bit samples, also of 8-bit files.
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), QWORD{30011} * channels * 2);
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, BASS_POS_BYTE)),
                     30011.0 / rate);
    BASS_StreamFree(h);

    const auto decoded = DecodeAll(path);
    ASSERT_EQ(decoded.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::int16_t expected = bits == 8 ? std::int16_t(samples[i] & ~0xFF) : samples[i];
        ASSERT_EQ(decoded[i], expected) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, WavFile,
                         testing::Values(WavCase{44100, 2, 16}, WavCase{96000, 2, 16},
                                         WavCase{11025, 1, 16}, WavCase{22050, 1, 8},
                                         WavCase{44100, 2, 8}));

} // namespace
