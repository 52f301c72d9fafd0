// The capture ring against a scripted device: sequence numbers, the order blocks are taken in,
// partial buffers, the open test and the pause case.

#include "engine/WRecord.h"
#include "platform/ScriptedWaveIn.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

// Frame n carries n: its low half on the left, its high half on the right.
std::vector<std::uint8_t> Frames(std::uint32_t first, std::uint32_t count) {
    std::vector<std::uint8_t> bytes(std::size_t(count) * 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t n = first + i;
        bytes[4 * i] = n & 0xFF;
        bytes[4 * i + 1] = (n >> 8) & 0xFF;
        bytes[4 * i + 2] = (n >> 16) & 0xFF;
        bytes[4 * i + 3] = (n >> 24) & 0xFF;
    }
    return bytes;
}

std::uint32_t FrameNumber(const ConvertedBlock& block, std::uint32_t i) {
    return std::uint32_t(std::uint16_t(block.LeftSamples[i])) |
           std::uint32_t(std::uint16_t(block.RightSamples[i])) << 16;
}

struct Recorder : BlockConsumer {
    const CaptureRing* ring = nullptr;
    std::vector<std::uint32_t> drawn;   // first frame of each drawn block
    std::vector<std::uint32_t> written; // first frame of each written block
    std::vector<std::uint32_t> buffers; // ring buffer of each block
    bool contiguous = true;             // every block is one unbroken run of frames

    void Check(const ConvertedBlock& block) {
        for (std::uint32_t i = 1; i < block.Frames; ++i)
            contiguous = contiguous && FrameNumber(block, i) == FrameNumber(block, 0) + i;
    }
    void ShowBlock(const ConvertedBlock& block) override {
        Check(block);
        drawn.push_back(FrameNumber(block, 0));
        buffers.push_back(ring->CurrentBuffer());
    }
    void RecordBlock(const ConvertedBlock& block) override {
        Check(block);
        written.push_back(FrameNumber(block, 0));
    }
};

class CaptureRingTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.Devices = {ScriptedWaveIn::Caps("Line In", 0xFFFFF),
                          ScriptedWaveIn::Caps("Microphone", 0xFFFFF)};
        recorder.ring = &ring;
    }
    void Open() { ASSERT_EQ(ring.OpenCapture(settings).Outcome, OpenOutcome::Opened); }
    // Delivers `count` frames continuing the numbering.
    void Deliver(std::uint32_t count) {
        device.Deliver(Frames(next, count));
        next += count;
    }
    int Poll(PollFlags flags = {}) { return ring.PollCapture(settings, block, flags, recorder); }
    // Buffers the device holds plus full ones waiting for the poll.
    std::size_t InUse() const {
        std::size_t full = 0;
        for (std::uint32_t i = 0; i < CaptureBufferCount; ++i)
            full += ring.Header(i).BytesRecorded == settings.CaptureBufferBytes;
        return device.Queued() + full;
    }

    ScriptedWaveIn device;
    CaptureRing ring{device};
    RecordingSettings settings;
    ConvertedBlock block;
    Recorder recorder;
    std::uint32_t next = 0;
    static constexpr std::uint32_t Frames44 = 4410;
};

TEST_F(CaptureRingTest, SequenceNumbersAfterOpenAndFirstBlock) {
    Open();
    EXPECT_TRUE(ring.IsOpen());
    EXPECT_TRUE(device.IsRunning());
    EXPECT_EQ(device.OpenedDevice(), 0u);
    EXPECT_EQ(ring.CurrentDeviceName(), "Line In");
    EXPECT_EQ(ring.SequenceCounter(), 40u);
    for (std::uint32_t i = 0; i < CaptureBufferCount; ++i) {
        EXPECT_EQ(ring.Header(i).User, i + 1);
        EXPECT_EQ(ring.Header(i).BufferLength, 17640u);
    }
    EXPECT_EQ(device.Queued(), 40u);

    Deliver(Frames44);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(ring.SequenceCounter(), 41u);
    EXPECT_EQ(ring.Header(0).User, 41u);
    EXPECT_EQ(ring.Header(0).BytesRecorded, 0u);
    EXPECT_EQ(device.Queued(), 40u);
    EXPECT_EQ(recorder.drawn, (std::vector<std::uint32_t>{0}));
}

TEST_F(CaptureRingTest, PendingBuffersAreTakenInSequenceOrderWhateverTheirPlace) {
    Open();
    Deliver(38 * Frames44);
    EXPECT_EQ(Poll(), 38);
    recorder.drawn.clear();
    recorder.buffers.clear();
    // Three full buffers wait at ring places 38, 39 and 0; the lowest number is taken first.
    Deliver(3 * Frames44);
    EXPECT_EQ(Poll(), 3);
    EXPECT_EQ(recorder.buffers, (std::vector<std::uint32_t>{38, 39, 0}));
    EXPECT_EQ(recorder.drawn,
              (std::vector<std::uint32_t>{38 * Frames44, 39 * Frames44, 40 * Frames44}));
    EXPECT_TRUE(recorder.contiguous);
}

TEST_F(CaptureRingTest, AWholeRingIsTakenInOneTick) {
    Open();
    Deliver(40 * Frames44 + 100); // the last 100 frames find no buffer
    EXPECT_EQ(device.Overrun(), 400u);
    EXPECT_EQ(Poll(), 40);
    for (std::uint32_t i = 0; i < 40; ++i)
        EXPECT_EQ(recorder.drawn[i], i * Frames44);
    EXPECT_EQ(Poll(), 0);
}

TEST_F(CaptureRingTest, PartlyFilledBufferIsSkippedAtEveryTick) {
    Open();
    Deliver(Frames44 + Frames44 / 2);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(Poll(), 0);
    EXPECT_EQ(Poll(), 0);
    EXPECT_EQ(ring.Header(1).BytesRecorded, 8820u);
    Deliver(Frames44 / 2);
    EXPECT_EQ(Poll(), 1);
    EXPECT_EQ(recorder.drawn, (std::vector<std::uint32_t>{0, Frames44}));
}

TEST_F(CaptureRingTest, FlagsDecideWhereBlocksGo) {
    struct Case {
        PollFlags flags;
        bool drawn;
        bool written;
    };
    const Case cases[] = {
        {{false, false, false}, true, false}, // monitoring
        {{true, false, false}, true, true},   // recording
        {{true, true, false}, false, true},   // recording paused: blocks done before still go
        {{false, false, true}, false, false}, // playing
        {{false, true, true}, false, false},  // playing paused
    };
    Open();
    for (const Case& c : cases) {
        recorder.drawn.clear();
        recorder.written.clear();
        Deliver(Frames44);
        EXPECT_EQ(Poll(c.flags), 1);
        EXPECT_EQ(recorder.drawn.size(), c.drawn ? 1u : 0u);
        EXPECT_EQ(recorder.written.size(), c.written ? 1u : 0u);
    }
}

TEST_F(CaptureRingTest, OpenTestComparesTheWholeFlagWord) {
    struct Case {
        std::uint32_t formats;
        OpenOutcome outcome;
    };
    // 0x1000 alone lacks the 44.1 kHz stereo bit but is above 0x800, so it opens.
    const Case cases[] = {{0, OpenOutcome::Unsupported},
                          {0x7FF, OpenOutcome::Unsupported},
                          {0x800, OpenOutcome::Opened},
                          {0x1000, OpenOutcome::Opened}};
    for (const Case& c : cases) {
        ScriptedWaveIn dev;
        dev.Devices = {ScriptedWaveIn::Caps("Odd card", c.formats)};
        CaptureRing r(dev);
        EXPECT_EQ(r.OpenCapture(settings).Outcome, c.outcome) << c.formats;
        EXPECT_EQ(r.IsOpen(), c.outcome == OpenOutcome::Opened);
        EXPECT_EQ(dev.Opens(), c.outcome == OpenOutcome::Opened ? 1 : 0);
        EXPECT_EQ(r.CurrentDeviceName(), "Odd card");
    }
}

TEST_F(CaptureRingTest, FailedOpenReturnsTheDeviceTextAndStaysClosed) {
    device.OpenResult = 4;
    device.ErrorText = "The specified device is already in use.";
    const OpenResult result = ring.OpenCapture(settings);
    EXPECT_EQ(result.Outcome, OpenOutcome::Failed);
    EXPECT_EQ(result.ErrorText, "The specified device is already in use.");
    EXPECT_FALSE(ring.IsOpen());
    EXPECT_EQ(Poll(), 0);

    device.OpenResult = WaveOk; // the next attempt opens
    Open();
    EXPECT_EQ(device.Opens(), 2);
}

TEST_F(CaptureRingTest, NoDeviceLeavesTheRingClosed) {
    device.Devices.clear();
    EXPECT_EQ(ring.OpenCapture(settings).Outcome, OpenOutcome::NoDevice);
    EXPECT_FALSE(ring.IsOpen());
    EXPECT_EQ(device.Opens(), 0);
}

TEST_F(CaptureRingTest, OpenWhileOpenAndCloseWhileClosedChangeNothing) {
    ring.CloseCapture();
    EXPECT_FALSE(device.IsOpen());
    Open();
    Deliver(Frames44);
    Poll();
    EXPECT_EQ(ring.OpenCapture(settings).Outcome, OpenOutcome::AlreadyOpen);
    EXPECT_EQ(device.Opens(), 1);
    EXPECT_EQ(ring.SequenceCounter(), 41u);

    ring.CloseCapture();
    EXPECT_FALSE(ring.IsOpen());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(ring.CurrentDeviceName(), "");
    ring.CloseCapture();
    ring.StopCapture();
    ring.StartCapture();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(Poll(), 0);
}

TEST_F(CaptureRingTest, ReopenStartsTheNumberingAgain) {
    Open();
    Deliver(5 * Frames44);
    Poll();
    ring.CloseCapture();
    settings.Wav = true;
    settings.MP3 = false;
    settings.SamplesPerSecond = 48000;
    Open();
    EXPECT_EQ(device.OpenedRate(), 48000u);
    EXPECT_EQ(ring.SequenceCounter(), 40u);
    EXPECT_EQ(ring.Header(39).User, 40u);
    EXPECT_EQ(ring.Header(0).BufferLength, 19200u);
    device.Deliver(Frames(0, 4800));
    recorder.drawn.clear();
    EXPECT_EQ(Poll(), 1);
}

// Pauses cut buffers short at every fill level: at the start, in the middle, with full
// buffers still waiting. All 40 buffers stay in use and the recording holds only whole
// buffers, each one unbroken, none of them with audio from a buffer that a pause cut short.
TEST_F(CaptureRingTest, PausesKeepAllBuffersAndDropPartialAudio) {
    Open();
    const PollFlags recording{true, false, false};
    const PollFlags paused{true, true, false};
    std::set<std::uint32_t> cutShort; // first frames of buffers a pause handed back
    const std::uint32_t fills[] = {Frames44 / 2,     1,           Frames44 - 1, 0,
                                   3 * Frames44 + 7, 2 * Frames44};
    for (int round = 0; round < 25; ++round) {
        const std::uint32_t fill = fills[round % 6];
        Poll(recording);
        Deliver(fill);
        if (fill % Frames44 != 0)
            cutShort.insert(next - fill % Frames44);
        ring.StopCapture();
        Deliver(1000); // arrives while stopped: dropped
        Poll(paused);  // buffers filled before the pause are still written
        ring.StartCapture();
        EXPECT_EQ(InUse(), 40u) << "round " << round;
        Deliver(2 * Frames44);
        Poll(recording);
    }
    EXPECT_TRUE(recorder.contiguous);
    EXPECT_EQ(device.Overrun(), 0u);
    for (std::uint32_t first : recorder.written)
        for (std::uint32_t cut : cutShort)
            EXPECT_FALSE(first <= cut && cut < first + Frames44) << first;
    // Blocks are written in the order captured.
    for (std::size_t i = 1; i < recorder.written.size(); ++i)
        EXPECT_GT(recorder.written[i], recorder.written[i - 1]);
    // Two blocks a round, and the whole buffers of each fill: 0+0+0+0+3+2 per six rounds.
    EXPECT_EQ(recorder.written.size(), 25u * 2 + 4 * 5);
}

TEST_F(CaptureRingTest, TheTimeTheCaptureIsClosedCountsAsLostUnlessPaused) {
    std::uint32_t now = 5000;
    CaptureRing timed(device, [&] { return now; });
    const auto poll = [&] {
        return timed.PollCapture(settings, block, {true, false, false}, recorder);
    };
    ASSERT_EQ(timed.OpenCapture(settings).Outcome, OpenOutcome::Opened);
    timed.ResetLost();
    Deliver(Frames44);
    ASSERT_EQ(poll(), 1);

    now = 5300; // the source went away after the last block
    timed.CloseCapture();
    now = 6000;
    EXPECT_EQ(timed.LostMs(), 1000u) << "counted from the last block, growing while closed";
    timed.StopCapture(); // paused while closed: the pause loses nothing
    now = 9000;
    timed.StartCapture();
    now = 9500;
    ASSERT_EQ(timed.OpenCapture(settings).Outcome, OpenOutcome::Opened);
    now = 20000;
    EXPECT_EQ(timed.LostMs(), 1500u) << "open again: the count stands";

    timed.StopCapture(); // closed and reopened during a pause
    timed.CloseCapture();
    now = 25000;
    timed.OpenCapture(settings);
    timed.StopCapture();
    now = 26000;
    timed.StartCapture();
    EXPECT_EQ(timed.LostMs(), 1500u);
    timed.ResetLost();
    EXPECT_EQ(timed.LostMs(), 0u);
}

TEST_F(CaptureRingTest, DeviceListAndFindingADeviceByName) {
    device.Devices.push_back(ScriptedWaveIn::Caps("Line In", 0xFFFFF));
    ring.ListCaptureDevices();
    EXPECT_EQ(ring.DeviceNames(), (std::vector<std::string>{"Line In", "Microphone", "Line In"}));
    EXPECT_EQ(ring.FindCaptureDevice("Line In"), 2);
    EXPECT_EQ(ring.FindCaptureDevice("Microphone"), 1);
    EXPECT_EQ(ring.FindCaptureDevice("Line"), -1);
    device.Devices.clear();
    ring.ListCaptureDevices();
    EXPECT_TRUE(ring.DeviceNames().empty());
    EXPECT_EQ(ring.FindCaptureDevice("Line In"), -1);
}

} // namespace
