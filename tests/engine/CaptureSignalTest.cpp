// End to end: the ring on the test server's known-signal sources, polled as the 33 ms timer
// polls it. Every block must carry the signal where the previous block left it: in order,
// none lost, none repeated.

#include "KnownSignal.h"
#include "engine/WRecord.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct SignalChecker : BlockConsumer {
    int blocks = 0;
    std::uint32_t phase = 0;
    std::optional<std::string> fault;

    void ShowBlock(const ConvertedBlock& block) override {
        const auto* samples = reinterpret_cast<const std::int16_t*>(block.OutputBlock.data());
        if (blocks == 0)
            phase = known_signal::PhaseOf(samples[1]);
        if (!fault)
            if (auto error = known_signal::CheckStereo({samples, block.OutputBytes / 2u}, phase))
                fault = "block " + std::to_string(blocks) + ", " + *error;
        phase += block.Frames;
        ++blocks;
    }
    void RecordBlock(const ConvertedBlock&) override {}
};

class CaptureSignal : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(CaptureSignal, EveryBlockContinuesTheSignal) {
    const std::uint32_t rate = GetParam();
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_" + std::to_string(rate));
    CaptureRing ring(device);
    RecordingSettings settings;
    settings.Wav = true;
    settings.MP3 = false;
    settings.SamplesPerSecond = rate;
    ASSERT_EQ(ring.OpenCapture(settings).Outcome, OpenOutcome::Opened);
    ASSERT_EQ(settings.CaptureRate, rate);
    EXPECT_EQ(ring.CurrentDeviceName(), "Test_signal_" + std::to_string(rate));

    ConvertedBlock block;
    SignalChecker checker;
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (checker.blocks < 25 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(33ms);
        ring.PollCapture(settings, block, {}, checker);
    }
    EXPECT_EQ(checker.blocks, 25);
    EXPECT_EQ(checker.fault, std::nullopt);
    EXPECT_EQ(device.Overrun(), 0u);
    EXPECT_FALSE(device.DeviceLost());
    ring.CloseCapture();
}

INSTANTIATE_TEST_SUITE_P(Engine, CaptureSignal, ::testing::Values(44100u, 48000u, 96000u),
                         [](const auto& info) { return std::to_string(info.param); });

// Pauses on the real device: after each resume all 40 buffers are back in use, and every
// block taken is whole signal, the audio cut short by a pause never among it.
TEST(CaptureSignalPause, PausesKeepTheRingWhole) {
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100");
    CaptureRing ring(device);
    RecordingSettings settings;
    ASSERT_EQ(ring.OpenCapture(settings).Outcome, OpenOutcome::Opened);
    ConvertedBlock block;
    SignalChecker checker;
    const auto takeBlocks = [&](int count) {
        checker.blocks = 0; // a resume starts a new stretch of the signal
        for (int tick = 0; tick < 300 && checker.blocks < count; ++tick) {
            std::this_thread::sleep_for(33ms);
            ring.PollCapture(settings, block, {true, false, false}, checker);
        }
        EXPECT_GE(checker.blocks, count);
    };
    for (int pause = 0; pause < 4; ++pause) {
        takeBlocks(3);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + 30 * pause));
        ring.StopCapture();
        std::this_thread::sleep_for(100ms);
        ring.PollCapture(settings, block, {true, true, false}, checker);
        ring.StartCapture();
        int inUse = 0;
        for (std::uint32_t i = 0; i < CaptureBufferCount; ++i)
            inUse += !(ring.Header(i).Flags & WaveHeaderDone) ||
                     ring.Header(i).BytesRecorded == settings.CaptureBufferBytes;
        EXPECT_EQ(inUse, 40) << "pause " << pause;
    }
    takeBlocks(3);
    EXPECT_EQ(checker.fault, std::nullopt);
}

} // namespace
