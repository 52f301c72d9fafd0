// End to end: what the player plays reaches the sound server. The null sink's monitor is
// recorded while the player plays a file of the known signal, and the file's frames must come
// back unchanged and in order.

#include "PlayerFixture.h"

#include <QProcess>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

using namespace player_test;

namespace {

using PlayerSinkTest = PlayerFixture;

// The first frame from which `count` frames continue the known signal's ramp on the right.
std::optional<std::size_t> FindRamp(const std::vector<std::int16_t>& samples, std::size_t count) {
    const std::size_t frames = samples.size() / 2;
    std::size_t run = 0;
    for (std::size_t f = 1; f < frames; ++f) {
        const int step = samples[2 * f + 1] - samples[2 * f - 1];
        run = step == 1 || step == -32767 ? run + 1 : 0;
        if (run == count)
            return f - count;
    }
    return std::nullopt;
}

TEST_F(PlayerSinkTest, TheFilesFramesReachTheSinkUnchanged) {
    file = WriteKnownWav(dir + "/record002.wav", 44100 * 2);
    QProcess parec;
    parec.start("parec", {"--device=sonvera_out.monitor", "--format=s16le", "--rate=44100",
                          "--channels=2", "--raw", "--latency-msec=20"});
    ASSERT_TRUE(parec.waitForStarted());
    // The recording runs before the playback starts, so the file's first frames are heard.
    std::vector<char> bytes;
    auto collect = [&] {
        const QByteArray got = parec.readAllStandardOutput();
        bytes.insert(bytes.end(), got.begin(), got.end());
    };
    int warmUp = 0;
    TickUntil([&] {
        collect();
        return ++warmUp > 10;
    });

    // Full volume, set with the knob, keeps the samples as they are.
    player->PlayCurrentFile();
    DragBy(player->ImageVol, 100);
    ASSERT_EQ(BASS_GetVolume(), 1.0f);
    ASSERT_TRUE(TickUntil([&] {
        collect();
        return !state().IsPlaying;
    }));
    // What the server still held when the stream ended.
    int ticks = 0;
    TickUntil([&] {
        collect();
        return ++ticks > 15;
    });
    parec.terminate();
    parec.waitForFinished();
    collect();

    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    const auto start = FindRamp(samples, 1000);
    ASSERT_TRUE(start.has_value()) << "the file's signal is not in the sink's output";
    // The server's monitor misses the first few milliseconds of a new stream (paplay's too,
    // about 20 ms); from there on every frame of the file comes, in order.
    const std::uint32_t phase = known_signal::PhaseOf(samples[2 * *start + 1]);
    EXPECT_LT(phase, 44100u / 20);
    const std::size_t frames = 44100 * 2 - phase - 441; // to 10 ms before the end
    ASSERT_GE(samples.size(), (*start + frames) * 2);
    const auto mismatch =
        known_signal::CheckStereo(std::span(samples).subspan(*start * 2, frames * 2), phase);
    EXPECT_FALSE(mismatch.has_value()) << *mismatch;
}

} // namespace
