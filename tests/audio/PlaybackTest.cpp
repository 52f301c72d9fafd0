// Playback on the test server's null sink: the transport states, the position heard, the
// spectrum of what plays and the output volume.

#include "audio/Playback.h"

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace audio_files;
using namespace std::chrono_literals;

namespace {

constexpr double Rate = 44100;

// A stereo WAV with a sine on bin `leftBin` left and `rightBin` right of a 1024-point spectrum.
std::string WriteTwoSines(const std::string& dir, int leftBin, int rightBin, double seconds) {
    std::vector<std::int16_t> samples;
    const int frames = int(seconds * Rate);
    for (int f = 0; f < frames; ++f)
        for (int bin : {leftBin, rightBin})
            samples.push_back(std::int16_t(
                std::lround(16384 * std::sin(2 * std::numbers::pi * bin * f / 1024.0))));
    const std::string path = dir + "/sines.wav";
    WriteWav(path, 44100, 2, 16, samples);
    return path;
}

// Polls until `done` or about ten seconds passed; the server plays in real time, late when
// the machine is busy.
template <class F> bool WaitFor(F done) {
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

double Seconds(HSTREAM h) {
    return BASS_ChannelBytes2Seconds(h, BASS_ChannelGetPosition(h, BASS_POS_BYTE));
}

class Playing : public testing::Test {
protected:
    void SetUp() override {
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        path_ = WriteTwoSines(test_paths::FreshDir("audio-playback"), 100, 37, 3.0);
        h_ = BASS_StreamCreateFile(false, path_.c_str(), 0, 0, 0);
        ASSERT_NE(h_, 0u);
    }
    void TearDown() override { BASS_StreamFree(h_); }

    std::string path_;
    HSTREAM h_ = 0;
};

TEST_F(Playing, TransportStatesAndHeardPosition) {
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(BASS_ChannelPause(h_)); // nothing to pause yet
    ASSERT_TRUE(BASS_ChannelPlay(h_, true));
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(WaitFor([&] { return Seconds(h_) > 0.3; }));
    // The position is what is heard, not what is queued ahead (200 ms and more).
    EXPECT_LT(Seconds(h_), 1.5);

    ASSERT_TRUE(BASS_ChannelPause(h_));
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_PAUSED);
    const QWORD paused = BASS_ChannelGetPosition(h_, BASS_POS_BYTE);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), paused);

    // A jump while paused stays paused, at the new place.
    ASSERT_TRUE(BASS_ChannelSetPosition(h_, 44100 * 4, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_PAUSED);
    EXPECT_EQ(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), QWORD{44100 * 4});
    ASSERT_TRUE(BASS_ChannelPlay(h_, false)); // resume
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(WaitFor([&] { return BASS_ChannelGetPosition(h_, BASS_POS_BYTE) > 44100 * 4; }));

    ASSERT_TRUE(BASS_ChannelStop(h_));
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_STOPPED);
    const QWORD stopped = BASS_ChannelGetPosition(h_, BASS_POS_BYTE);
    EXPECT_GT(stopped, QWORD{44100 * 4});
    // Played on, it goes on from what was heard (not from what was read ahead) to the end.
    ASSERT_TRUE(BASS_ChannelPlay(h_, false));
    EXPECT_GE(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), stopped);
    EXPECT_LT(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), stopped + 44100 * 4 / 2);
    ASSERT_TRUE(WaitFor([&] { return BASS_ChannelIsActive(h_) == BASS_ACTIVE_STOPPED; }));
    EXPECT_EQ(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), BASS_ChannelGetLength(h_, BASS_POS_BYTE));

    // From the start again; then let it play to its end, which reads as stopped.
    ASSERT_TRUE(BASS_ChannelPlay(h_, true));
    EXPECT_LT(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), stopped);
    ASSERT_TRUE(BASS_ChannelSetPosition(
        h_, BASS_ChannelGetLength(h_, BASS_POS_BYTE) - 44100 * 4 / 2, BASS_POS_BYTE));
    EXPECT_EQ(BASS_ChannelIsActive(h_), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(WaitFor([&] { return BASS_ChannelIsActive(h_) == BASS_ACTIVE_STOPPED; }));
    EXPECT_EQ(BASS_ChannelGetPosition(h_, BASS_POS_BYTE), BASS_ChannelGetLength(h_, BASS_POS_BYTE));
}

TEST_F(Playing, SpectrumPeaksOnEachChannelsSine) {
    ASSERT_TRUE(BASS_ChannelPlay(h_, true));
    ASSERT_TRUE(WaitFor([&] { return Seconds(h_) > 0.2; }));
    float bins[1024];
    ASSERT_EQ(BASS_ChannelGetData(h_, bins, BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL),
              sizeof bins);
    // Interleaved: bin k of the left channel at 2k, of the right at 2k + 1.
    for (const auto& [channel, bin] : {std::pair{0, 100}, std::pair{1, 37}}) {
        int peak = 0;
        for (int k = 0; k < 512; ++k)
            if (bins[2 * k + channel] > bins[2 * peak + channel])
                peak = k;
        EXPECT_EQ(peak, bin) << "channel " << channel;
        // A half-scale sine on a bin gives 0.5.
        EXPECT_NEAR(bins[2 * bin + channel], 0.5, 0.01);
        EXPECT_LT(bins[2 * (bin + 10) + channel], 0.01);
    }
}

TEST_F(Playing, SpectrumOfDecodeStreamsAndPcmOfPlayableOnesAreRefused) {
    float bins[1024];
    const HSTREAM decode = BASS_StreamCreateFile(false, path_.c_str(), 0, 0, BASS_STREAM_DECODE);
    EXPECT_EQ(BASS_ChannelGetData(decode, bins, BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL),
              BASS_DWORD_ERROR);
    EXPECT_FALSE(BASS_ChannelPlay(decode, true));
    BASS_StreamFree(decode);
    EXPECT_EQ(BASS_ChannelGetData(h_, bins, 1000), BASS_DWORD_ERROR);
}

// The volume the test server holds for our playback stream, 0..1.
double ServerVolume() {
    QProcess pactl;
    pactl.start("pactl", {"list", "sink-inputs"});
    pactl.waitForFinished();
    // The server may play other streams too: other tests' and, on PipeWire, those that feed
    // its sources.
    const QString ours = QString("application.process.id = \"%1\"").arg(getpid());
    for (const QString& input :
         QString::fromUtf8(pactl.readAllStandardOutput()).split("Sink Input #")) {
        if (!input.contains("media.name = \"Sonvera playback\"") || !input.contains(ours))
            continue;
        const auto match = QRegularExpression("Volume: front-left: (\\d+)").match(input);
        return match.hasMatch() ? match.captured(1).toDouble() / 65536.0 : -1;
    }
    return -1;
}

TEST_F(Playing, OutputVolumeReachesThePlayingStream) {
    ASSERT_TRUE(BASS_SetVolume(0.5f));
    EXPECT_FLOAT_EQ(BASS_GetVolume(), 0.5f);
    ASSERT_TRUE(BASS_ChannelPlay(h_, true));
    EXPECT_NEAR(ServerVolume(), 0.5, 0.001);
    ASSERT_TRUE(BASS_SetVolume(0.25f));
    EXPECT_NEAR(ServerVolume(), 0.25, 0.001);
    EXPECT_FALSE(BASS_SetVolume(1.5f));
    EXPECT_FALSE(BASS_SetVolume(-0.1f));
    EXPECT_FLOAT_EQ(BASS_GetVolume(), 0.25f);
    BASS_SetVolume(1.0f);
}

TEST(Library, FreeStopsAndFreesEveryStream) {
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const std::string path = WriteTwoSines(test_paths::FreshDir("audio-free"), 10, 20, 2.0);
    const HSTREAM playing = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    ASSERT_TRUE(BASS_ChannelPlay(playing, true));
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_ChannelIsActive(playing), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(BASS_StreamFree(playing));
    EXPECT_FALSE(BASS_StreamFree(carrier));
    // The scan's repeated start is harmless either way.
    EXPECT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
}

} // namespace

namespace {

// A source with nothing ready for longer than the server holds queued (a stalled disk) is asked
// again until it has: the playback goes on, every frame is played and the end is seen.
TEST(PlaybackOfASlowSource, GoesOnAfterAGapLongerThanTheServersQueue) {
    constexpr std::size_t Total = 44100;
    constexpr std::size_t GapAt = 11025;
    std::atomic<std::size_t> next = 0;
    std::optional<std::chrono::steady_clock::time_point> gapBegan;
    auto source = [&](std::int16_t* out, std::size_t frames) -> audio::PulledFrames {
        if (next == GapAt) {
            const auto now = std::chrono::steady_clock::now();
            if (!gapBegan)
                gapBegan = now;
            if (now - *gapBegan < 3s)
                return {0, false};
        }
        const std::size_t end = next < GapAt ? GapAt : Total;
        const std::size_t got = std::min<std::size_t>(frames, end - next);
        std::fill(out, out + got * 2, std::int16_t(1000));
        next += got;
        return {got, next == Total};
    };
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const auto playback = audio::Playback::Start(platform::Pulse(), 44100, 2, source, false);
    ASSERT_NE(playback, nullptr);
    EXPECT_TRUE(WaitFor([&] { return playback->Ended(); })) << "stuck after " << next;
    EXPECT_EQ(playback->PlayedFrames(), Total);
}

} // namespace
