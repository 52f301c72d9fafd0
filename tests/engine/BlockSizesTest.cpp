// The block sizes derived at every capture open, in the five rate cases and with the values a
// hand-edited settings file may bring.

#include "engine/OutputFormats.h"
#include "engine/Processing.h"
#include "engine/WRecord.h"
#include "platform/ScriptedWaveIn.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct RateCase {
    const char* name;
    FormatId format;
    std::uint32_t samplesPerSecond;
    std::uint32_t captureRate, captureFrames, blockFrames, captureBufferBytes;
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

class RateCases : public ::testing::TestWithParam<RateCase> {};

// The ring opens the device at the capture rate with buffers of 100 ms, and every block it
// hands on holds BlockBytes bytes, in stereo and mono, 16 and 8 bits.
TEST_P(RateCases, OpenSizesBuffersAndBlocks) {
    const RateCase& c = GetParam();
    for (std::int32_t channels : {2, 1})
        for (std::uint16_t bits : {16, 8}) {
            RecordingSettings s;
            SelectFormat(s, c.format);
            s.SamplesPerSecond = c.samplesPerSecond;
            s.Channels = channels;
            s.BitsPerSample = bits;
            ScriptedWaveIn device;
            device.Devices = {ScriptedWaveIn::Caps("Line In", 0xFFFFF)};
            CaptureRing ring(device);
            ASSERT_EQ(ring.OpenCapture(s).Outcome, OpenOutcome::Opened);
            EXPECT_EQ(device.OpenedRate(), c.captureRate);
            EXPECT_EQ(s.CaptureRate, c.captureRate);
            EXPECT_EQ(s.CaptureFrames, c.captureFrames);
            EXPECT_EQ(s.BlockFrames, c.blockFrames);
            EXPECT_EQ(s.CaptureBufferBytes, c.captureBufferBytes);
            EXPECT_EQ(ring.Header(0).BufferLength, c.captureBufferBytes);
            const std::uint32_t bytesPerSample = c.format == FormatId::Wav && bits == 8 ? 1 : 2;
            EXPECT_EQ(s.BlockBytes, c.blockFrames * channels * bytesPerSample);

            struct : BlockConsumer {
                std::uint32_t bytes = 0;
                void ShowBlock(const ConvertedBlock& b) override { bytes = b.OutputBytes; }
                void RecordBlock(const ConvertedBlock&) override {}
            } consumer;
            ConvertedBlock block;
            device.Deliver(std::vector<std::uint8_t>(c.captureBufferBytes));
            ASSERT_EQ(ring.PollCapture(s, block, {}, consumer), 1);
            EXPECT_EQ(consumer.bytes, s.BlockBytes);
            EXPECT_EQ(block.Frames, c.captureFrames);
        }
}

INSTANTIATE_TEST_SUITE_P(
    BlockSizes, RateCases,
    ::testing::Values(RateCase{"Mp3", FormatId::Mp3, 44100, 44100, 4410, 4410, 17640},
                      // A non-WAV recording ignores a WAV rate left over.
                      RateCase{"Mp3LeftOver22050", FormatId::Mp3, 22050, 44100, 4410, 4410, 17640},
                      RateCase{"Mp3LeftOver96000", FormatId::Mp3, 96000, 44100, 4410, 4410, 17640},
                      RateCase{"Wav44100", FormatId::Wav, 44100, 44100, 4410, 4410, 17640},
                      RateCase{"Wav22050", FormatId::Wav, 22050, 44100, 4410, 2205, 17640},
                      RateCase{"Wav11025", FormatId::Wav, 11025, 44100, 4410, 1102, 17640},
                      RateCase{"Wav48000", FormatId::Wav, 48000, 48000, 4800, 4800, 19200},
                      RateCase{"Wav96000", FormatId::Wav, 96000, 96000, 9600, 9600, 38400},
                      // FLAC takes the WAV rates it can capture; 22050 is brought to 44100.
                      RateCase{"Flac22050", FormatId::Flac, 22050, 44100, 4410, 4410, 17640},
                      RateCase{"Flac48000", FormatId::Flac, 48000, 48000, 4800, 4800, 19200},
                      RateCase{"Flac96000", FormatId::Flac, 96000, 96000, 9600, 9600, 38400},
                      // Opus is captured at its own rate, whatever the WAV choice.
                      RateCase{"Opus", FormatId::Opus, 44100, 48000, 4800, 4800, 19200}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockSizes, WavHeaderFields) {
    RecordingSettings s;
    s.Wav = true;
    s.MP3 = false;
    s.SamplesPerSecond = 22050;
    s.BitsPerSample = 8;
    s.Channels = 1;
    ComputeBlockSizes(s);
    EXPECT_EQ(s.BlockAlign, 1);
    EXPECT_EQ(s.AvgBytesPerSec, 22050u);
    s.SamplesPerSecond = 96000;
    s.BitsPerSample = 16;
    s.Channels = 2;
    ComputeBlockSizes(s);
    EXPECT_EQ(s.BlockAlign, 4);
    EXPECT_EQ(s.AvgBytesPerSec, 384000u);
}

struct Edited {
    const char* name;
    bool wav, mp3, wma, ogg;
    std::uint32_t samplesPerSecond;
    std::uint16_t bits;
    std::int32_t channels, mode;
    // Expected after the open.
    bool isWav, isMp3, isWma, isOgg;
    std::uint32_t repairedRate;
    std::uint16_t repairedBits;
    std::int32_t repairedChannels, repairedMode;
};

void PrintTo(const Edited& c, std::ostream* os) {
    *os << c.name;
}

class HandEdited : public ::testing::TestWithParam<Edited> {};

// Out-of-set values become supported ones, the blocks stay within the engine's buffers, and
// a full buffer converts to exactly BlockBytes.
TEST_P(HandEdited, SettleOnSupportedValuesAndFitTheBuffers) {
    const Edited& e = GetParam();
    RecordingSettings s;
    s.Wav = e.wav;
    s.MP3 = e.mp3;
    s.WMA = e.wma;
    s.OGG = e.ogg;
    s.SamplesPerSecond = e.samplesPerSecond;
    s.BitsPerSample = e.bits;
    s.Channels = e.channels;
    s.Mode = e.mode;
    ComputeBlockSizes(s);
    EXPECT_EQ(s.Wav, e.isWav);
    EXPECT_EQ(s.MP3, e.isMp3);
    EXPECT_EQ(s.WMA, e.isWma);
    EXPECT_EQ(s.OGG, e.isOgg);
    EXPECT_EQ(s.SamplesPerSecond, e.repairedRate);
    EXPECT_EQ(s.BitsPerSample, e.repairedBits);
    EXPECT_EQ(s.Channels, e.repairedChannels);
    EXPECT_EQ(s.Mode, e.repairedMode);
    EXPECT_LE(s.CaptureFrames, 9600u);
    EXPECT_LE(s.BlockBytes, 38400u);
    EXPECT_EQ(s.BlockAlign, s.Channels * s.BitsPerSample / 8);

    ConvertedBlock block;
    ConvertBlock(std::vector<std::uint8_t>(s.CaptureBufferBytes), s, block);
    EXPECT_EQ(block.OutputBytes, s.BlockBytes);
    EXPECT_EQ(block.Frames, s.CaptureFrames);
}

INSTANTIATE_TEST_SUITE_P(
    BlockSizes, HandEdited,
    ::testing::Values(Edited{"NoFormatFlag", false, false, false, false, 44100, 16, 2, 0, false,
                             true, false, false, 44100, 16, 2, 0},
                      Edited{"AllFormatFlags", true, true, true, true, 96000, 16, 2, 0, true, false,
                             false, false, 96000, 16, 2, 0},
                      Edited{"WmaAndOgg", false, false, true, true, 44100, 16, 2, 0, false, false,
                             true, false, 44100, 16, 2, 0},
                      Edited{"UnsupportedRate", true, false, false, false, 32000, 16, 2, 0, true,
                             false, false, false, 44100, 16, 2, 0},
                      Edited{"HugeRate", true, false, false, false, 192000, 16, 1, 0, true, false,
                             false, false, 44100, 16, 1, 0},
                      Edited{"FiveChannels", true, false, false, false, 96000, 16, 5, 0, true,
                             false, false, false, 96000, 16, 2, 0},
                      Edited{"NegativeChannels", false, true, false, false, 44100, 16, -1, 1, false,
                             true, false, false, 44100, 16, 2, 1},
                      Edited{"ZeroChannels", true, false, false, false, 11025, 8, 0, 0, true, false,
                             false, false, 11025, 8, 2, 0},
                      Edited{"TwentyFourBits", true, false, false, false, 48000, 24, 2, 0, true,
                             false, false, false, 48000, 16, 2, 0},
                      Edited{"ModeOutOfRange", false, true, false, false, 44100, 16, 2, 9, false,
                             true, false, false, 44100, 16, 2, 0},
                      Edited{"NegativeMode", false, true, false, false, 44100, 16, 2, -1, false,
                             true, false, false, 44100, 16, 2, 0},
                      // In-set values stay, even when the chosen format ignores them.
                      Edited{"Mp3KeepsLeftOverWavChoice", false, true, false, false, 22050, 8, 1, 3,
                             false, true, false, false, 22050, 8, 1, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// The FLAC level and the Opus bit rate a hand-edited file brings: the encoders get only values
// they are offered with.
TEST(BlockSizes, FlacLevelAndOpusRateSettleOnOfferedValues) {
    const struct {
        std::int32_t level, rate, repairedLevel, repairedRate;
    } cases[] = {{0, 16, 0, 16}, {8, 256, 8, 256}, {-1, 0, 5, 64}, {9, 65, 5, 64}, {5, 512, 5, 64}};
    for (const auto& c : cases) {
        RecordingSettings s;
        s.FlacLevel = c.level;
        s.OpusRate = c.rate;
        RepairFormatFields(s);
        EXPECT_EQ(s.FlacLevel, c.repairedLevel) << c.level;
        EXPECT_EQ(s.OpusRate, c.repairedRate) << c.rate;
    }
}

// Block sizes that disagree with the buffer handed in (settings changed without a reopen)
// never take the conversion past either one.
TEST(BlockSizes, ConversionStaysInsideAShortBuffer) {
    RecordingSettings s;
    s.Wav = true;
    s.MP3 = false;
    s.SamplesPerSecond = 96000;
    ComputeBlockSizes(s);
    ConvertedBlock block;
    ConvertBlock(std::vector<std::uint8_t>(17640 + 3), s, block);
    EXPECT_EQ(block.Frames, 4410u);
    EXPECT_EQ(block.OutputBytes, 17640u);
}

} // namespace
