// The capture path under faults, end to end on the test server's known signal: the real
// capture device, the ring polled as the 33 ms timer polls it and the real WAV writer. A disk
// that blocks for seconds and a window thread that stops polling for longer than the ring
// holds: no frame is lost, or the file has one gap exactly as long as the loss counted.

#include "KnownSignal.h"
#include "TestPaths.h"
#include "engine/AudioLoss.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"

#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Writing : BlockConsumer {
    WriterState& writers;
    std::function<void()> onBlock;
    int blocks = 0;
    std::string messages;
    explicit Writing(WriterState& w) : writers(w) {}
    void ShowBlock(const ConvertedBlock&) override {}
    void RecordBlock(const ConvertedBlock& block) override {
        ++blocks;
        if (onBlock)
            onBlock();
        if (const MaybeMessage message =
                ::WriteBlock(writers, std::span(block.OutputBlock.data(), block.OutputBytes)))
            messages += message->text;
    }
};

struct Gaps {
    std::size_t frames = 0;
    std::vector<std::uint32_t> jumps; // frames skipped at each gap, within one period
};

// Walks the file's frames along the known signal; where a frame does not continue it, takes
// up the signal again from that frame and notes how far it jumped.
Gaps FindGaps(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string file = bytes.str();
    Gaps gaps;
    if (file.size() < 48)
        return gaps;
    const auto* samples = reinterpret_cast<const std::int16_t*>(file.data() + 44);
    gaps.frames = (file.size() - 44) / 4;
    std::uint32_t phase = known_signal::PhaseOf(samples[1]);
    for (std::size_t f = 0; f < gaps.frames; ++f, ++phase) {
        if (samples[2 * f] == known_signal::Left(phase) &&
            samples[2 * f + 1] == known_signal::Right(phase))
            continue;
        const std::uint32_t now = known_signal::PhaseOf(samples[2 * f + 1]);
        gaps.jumps.push_back((now - phase) % known_signal::Period);
        phase = now;
    }
    return gaps;
}

RecordingSettings Wav44100() {
    RecordingSettings s;
    s.MP3 = false;
    s.Wav = true;
    return s;
}

// A disk whose one audio write, well into the recording, blocks for six seconds.
struct BlockingDisk {
    std::atomic<int> writes{0};
    std::atomic<bool> blocked{false};
    struct File : platform::OutputFile {
        BlockingDisk& disk;
        std::unique_ptr<platform::OutputFile> real;
        File(BlockingDisk& d, std::unique_ptr<platform::OutputFile> r)
            : disk(d), real(std::move(r)) {}
        int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            if (offset >= 44 && ++disk.writes == 10) {
                disk.blocked = true;
                std::this_thread::sleep_for(6s);
                disk.blocked = false;
            }
            return real->WriteAt(offset, bytes);
        }
        int Sync() override { return real->Sync(); }
        int Truncate(std::uint64_t length) override { return real->Truncate(length); }
        int Close() override { return real->Close(); }
    };
    platform::FileCreator Creator() {
        return [this](const std::string& path) {
            platform::CreatedFile real = platform::CreateOutputFile(path);
            if (real.File)
                real.File = std::make_unique<File>(*this, std::move(real.File));
            return real;
        };
    }
};

} // namespace

TEST(CaptureFaults, ADiskBlockedForSixSecondsLosesNoFrameAndNeverHoldsUpThePoll) {
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100");
    CaptureRing ring(device);
    RecordingSettings s = Wav44100();
    ASSERT_EQ(ring.OpenCapture(s).Outcome, OpenOutcome::Opened);
    const std::string path = test_paths::FreshDir("fault_slow_disk") + "/record001.wav";
    BlockingDisk disk;
    WriterState writers;
    writers.CreateFile = disk.Creator();
    ASSERT_TRUE(StartWriters(writers, s, path, true).Started);
    ResetAudioLost(ring);

    Writing consumer(writers);
    int whileBlocked = 0;
    consumer.onBlock = [&] { whileBlocked += disk.blocked ? 1 : 0; };
    constexpr int Blocks = 120;
    ConvertedBlock block;
    for (int tick = 0; tick < 1000 && consumer.blocks < Blocks; ++tick) {
        std::this_thread::sleep_for(33ms);
        ring.PollCapture(s, block, PollFlags{.Recording = consumer.blocks < Blocks}, consumer);
    }
    StopWriters(writers);
    FinishAllWriters(writers);
    EXPECT_EQ(consumer.blocks, Blocks);
    EXPECT_EQ(consumer.messages, "");
    // The window thread went on taking blocks while the disk was stuck.
    EXPECT_GT(whileBlocked, 30);
    EXPECT_EQ(AudioLostMs(ring, writers), 0u);

    const Gaps gaps = FindGaps(path);
    EXPECT_EQ(gaps.frames, std::size_t(Blocks) * s.BlockFrames);
    EXPECT_TRUE(gaps.jumps.empty()) << gaps.jumps.size() << " gaps";
    EXPECT_EQ(PollWriters(writers).FinishedFiles, std::vector<std::string>{path});
    ring.CloseCapture();
}

struct PollStall {
    const char* name;
    std::uint32_t backlogSeconds; // what the device keeps while the ring is full
    bool loses;                   // 4 s of ring + the backlog hold less than the stall
};

void PrintTo(const PollStall& c, std::ostream* os) {
    *os << c.name;
}

class CaptureStall : public testing::TestWithParam<PollStall> {};

// The window thread stops polling for 8 s, twice what the ring holds.
TEST_P(CaptureStall, TheRecordingCatchesUpAndTheLossCountedIsWhatIsMissing) {
    const PollStall& c = GetParam();
    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100", c.backlogSeconds);
    CaptureRing ring(device);
    RecordingSettings s = Wav44100();
    ASSERT_EQ(ring.OpenCapture(s).Outcome, OpenOutcome::Opened);
    const std::string path =
        test_paths::FreshDir(std::string("fault_stall_") + c.name) + "/record001.wav";
    WriterState writers;
    ASSERT_TRUE(StartWriters(writers, s, path, true).Started);
    ResetAudioLost(ring);

    Writing consumer(writers);
    ConvertedBlock block;
    const auto poll = [&](int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            std::this_thread::sleep_for(33ms);
            ring.PollCapture(s, block, PollFlags{.Recording = true}, consumer);
        }
    };
    poll(30);
    std::this_thread::sleep_for(8s);
    poll(90); // catching up takes a tick or two; then live again
    StopWriters(writers);
    FinishAllWriters(writers);
    EXPECT_EQ(consumer.messages, "");

    const Gaps gaps = FindGaps(path);
    const std::uint64_t lostFrames = device.Overrun() / 4;
    EXPECT_EQ(gaps.frames, std::size_t(consumer.blocks) * s.BlockFrames);
    EXPECT_EQ(AudioLostMs(ring, writers), lostFrames * 1000 / 44100);
    if (!c.loses) {
        EXPECT_TRUE(gaps.jumps.empty()) << gaps.jumps.size() << " gaps";
        EXPECT_EQ(lostFrames, 0u);
    } else {
        // One stretch, as long as the loss counted (the signal repeats every period).
        ASSERT_EQ(gaps.jumps.size(), 1u);
        EXPECT_EQ(gaps.jumps[0], lostFrames % known_signal::Period);
        EXPECT_GT(AudioLostMs(ring, writers), 1000u); // about 8 - 4 - 2 s
        EXPECT_LT(AudioLostMs(ring, writers), 3500u);
    }
    ring.CloseCapture();
}

INSTANTIATE_TEST_SUITE_P(Backlogs, CaptureStall,
                         testing::Values(PollStall{"TwentySeconds", 20, false},
                                         PollStall{"TwoSeconds", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });
