// The converted block's bytes in every output case, the decimation of the lower WAV rates and
// the peak meter's full-scale rule.

#include "engine/Processing.h"

#include "WavOrMp3Settings.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Frame {
    std::int16_t left, right;
};

std::vector<std::uint8_t> Capture(const std::vector<Frame>& frames) {
    std::vector<std::uint8_t> bytes;
    for (const Frame& f : frames)
        for (std::int16_t v : {f.left, f.right}) {
            bytes.push_back(std::uint8_t(std::uint16_t(v) & 0xFF));
            bytes.push_back(std::uint8_t(std::uint16_t(v) >> 8));
        }
    return bytes;
}

// Values chosen for the rounding of the mix and the ends of the 8-bit scale.
const std::vector<Frame> Samples = {{1, 0},   {3, 0},      {-32768, -1},  {32767, 32767},
                                    {-1, -3}, {256, -256}, {-32767, 127}, {-3, 0}};

struct OutputCase {
    const char* name;
    RecordingSettings settings;
    std::vector<std::uint8_t> bytes;
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputBytes : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputBytes, AreExactlyTheEncodedFrames) {
    const OutputCase& c = GetParam();
    const auto capture = Capture(Samples);
    ConvertedBlock block;
    ConvertBlock(capture, c.settings, block);
    ASSERT_EQ(block.OutputBytes, c.bytes.size());
    EXPECT_EQ(std::vector<std::uint8_t>(block.OutputBlock.begin(),
                                        block.OutputBlock.begin() + block.OutputBytes),
              c.bytes);
    EXPECT_EQ(block.Frames, Samples.size());
    for (std::size_t i = 0; i < Samples.size(); ++i)
        EXPECT_EQ(block.RightSamples[i], Samples[i].right); // always the right input
}

INSTANTIATE_TEST_SUITE_P(
    Processing, OutputBytes,
    ::testing::Values(
        OutputCase{"Stereo16", WavOrMp3Settings(false, 44100, 16, 2), Capture(Samples)},
        // Mixes: 0.5 rounds to 0, 1.5 to 2, -16384.5 to -16384, -1.5 to -2.
        OutputCase{"Mono16",
                   WavOrMp3Settings(false, 44100, 16, 1),
                   {0x00, 0x00, 0x02, 0x00, 0x00, 0xC0, 0xFF, 0x7F, 0xFE, 0xFF, 0x00, 0x00, 0x40,
                    0xC0, 0xFE, 0xFF}},
        OutputCase{"Stereo8",
                   WavOrMp3Settings(true, 44100, 8, 2),
                   {128, 128, 128, 128, 0, 127, 255, 255, 127, 127, 129, 127, 0, 128, 127, 128}},
        OutputCase{
            "Mono8", WavOrMp3Settings(true, 44100, 8, 1), {128, 128, 64, 255, 127, 128, 64, 127}},
        // MP3 ignores a BitsPerSample of 8 left over from a WAV choice.
        OutputCase{"Mp3LeftOver8Bit", WavOrMp3Settings(false, 44100, 8, 2), Capture(Samples)},
        OutputCase{"Wav22050Stereo16", WavOrMp3Settings(true, 22050, 16, 2),
                   Capture({Samples[0], Samples[2], Samples[4], Samples[6]})},
        OutputCase{"Wav11025Mono8", WavOrMp3Settings(true, 11025, 8, 1), {128, 127}},
        OutputCase{"Wav96000Stereo16", WavOrMp3Settings(true, 96000, 16, 2), Capture(Samples)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Processing, MonoMixRoundsHalvesToEven) {
    struct Case {
        Frame in;
        std::int16_t mix;
    };
    const Case cases[] = {{{1, 0}, 0},
                          {{3, 0}, 2},
                          {{-1, 0}, 0},
                          {{-3, 0}, -2},
                          {{2, 1}, 2},
                          {{-2, -1}, -2},
                          {{32767, 32767}, 32767},
                          {{-32768, -32768}, -32768},
                          {{32767, -32768}, 0}};
    const RecordingSettings mono = WavOrMp3Settings(false, 44100, 16, 1);
    for (const Case& c : cases) {
        ConvertedBlock block;
        ConvertBlock(Capture({c.in}), mono, block);
        EXPECT_EQ(block.LeftSamples[0], c.mix) << c.in.left << " + " << c.in.right;
    }
}

// A full buffer where frame i carries i on the left and -i on the right.
std::vector<std::uint8_t> Counting(std::uint32_t frames) {
    std::vector<Frame> f(frames);
    for (std::uint32_t i = 0; i < frames; ++i)
        f[i] = {std::int16_t(i), std::int16_t(-std::int32_t(i))};
    return Capture(f);
}

TEST(Processing, Wav22050KeepsEverySecondFrameOfTheBuffer) {
    const RecordingSettings s = WavOrMp3Settings(true, 22050, 16, 2);
    ASSERT_EQ(s.BlockBytes, 8820u);
    ConvertedBlock block;
    ConvertBlock(Counting(4410), s, block);
    ASSERT_EQ(block.OutputBytes, 8820u);
    for (std::uint32_t j = 0; j < 2205; ++j) {
        std::int16_t left, right;
        std::memcpy(&left, &block.OutputBlock[4 * j], 2);
        std::memcpy(&right, &block.OutputBlock[4 * j + 2], 2);
        ASSERT_EQ(left, std::int16_t(2 * j));
        ASSERT_EQ(right, std::int16_t(-2 * std::int32_t(j)));
    }
    EXPECT_EQ(block.Frames, 4410u); // the screens keep the full rate
    EXPECT_EQ(block.LeftSamples[4409], 4409);
}

TEST(Processing, Wav11025Mono8DropsTheLastTwoFrames) {
    const RecordingSettings s = WavOrMp3Settings(true, 11025, 8, 1);
    ASSERT_EQ(s.BlockBytes, 1102u);
    std::vector<Frame> f(4410, Frame{0, 0});
    f[4404] = {32767, 32767}; // the last frame kept
    f[4408] = {-32768, -32768};
    f[4409] = {-32768, -32768};
    f[4] = {-32768, -32768};
    ConvertedBlock block;
    ConvertBlock(Capture(f), s, block);
    ASSERT_EQ(block.OutputBytes, 1102u);
    EXPECT_EQ(block.OutputBlock[1], 0);
    EXPECT_EQ(block.OutputBlock[1101], 255);
    for (std::uint32_t j = 2; j < 1101; ++j)
        ASSERT_EQ(block.OutputBlock[j], 128) << j;
}

TEST(Processing, PeaksAndClipMarks) {
    struct Case {
        const char* name;
        std::int32_t channels;
        std::vector<Frame> frames;
        float peakLeft, peakRight;
        std::int32_t clipLeft, clipRight;
    };
    const Case cases[] = {
        {"silence", 2, {{0, 0}, {0, 0}}, 0, 0, 0, 0},
        {"down to -32768", 2, {{-32768, 0}, {0, -32768}}, 32767, 32767, 1, 1},
        {"-32767 clips", 2, {{-32767, 5}, {100, -7}}, 32767, 7, 1, 0},
        {"32766 does not", 2, {{32766, -32766}}, 32766, 32766, 0, 0},
        {"32767 on the right", 2, {{-2, 32767}}, 2, 32767, 0, 1},
        {"mono mix of full scale", 1, {{32767, 32767}}, 32767, 32767, 1, 1},
        {"mono mix halves a lone channel", 1, {{32767, 0}}, 16384, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ConvertedBlock block;
        block.PeakLeft = block.PeakRight = 999; // left over from an earlier block
        block.ClipLeft = block.ClipRight = 1;
        ConvertBlock(Capture(c.frames), WavOrMp3Settings(false, 44100, 16, c.channels), block);
        MeasurePeaks(block);
        EXPECT_EQ(block.PeakLeft, c.peakLeft) << c.name;
        EXPECT_EQ(block.PeakRight, c.peakRight) << c.name;
        EXPECT_EQ(block.ClipLeft, c.clipLeft) << c.name;
        EXPECT_EQ(block.ClipRight, c.clipRight) << c.name;
    }
}

} // namespace
