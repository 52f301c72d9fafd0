// Carrier streams and the handle rules every caller relies on: 0 and freed handles fail
// harmlessly, handles are never handed out twice.

#include "audio/Bass.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <vector>

namespace {

struct CarrierCase {
    DWORD freq;
    DWORD chans;
};

class CarrierFormat : public testing::TestWithParam<CarrierCase> {};

TEST_P(CarrierFormat, InfoGivesTheCreatedFormatIn16Bit) {
    const auto [freq, chans] = GetParam();
    const HSTREAM carrier = BASS_StreamCreate(freq, chans, 0, STREAMPROC_DUMMY, nullptr);
    ASSERT_NE(carrier, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(carrier, &info));
    EXPECT_EQ(info.freq, freq);
    EXPECT_EQ(info.chans, chans);
    EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, 0u);
    EXPECT_EQ(info.origres, 16u);
    // One second of 16-bit PCM of this format.
    EXPECT_DOUBLE_EQ(BASS_ChannelBytes2Seconds(carrier, QWORD{freq} * chans * 2), 1.0);
    EXPECT_TRUE(BASS_StreamFree(carrier));
}

INSTANTIATE_TEST_SUITE_P(Rates, CarrierFormat,
                         testing::Values(CarrierCase{44100, 2}, CarrierCase{22050, 1},
                                         CarrierCase{11025, 1}, CarrierCase{96000, 2}));

TEST(CarrierStream, PlaysAndStopsAsItsRecordingDoes) {
    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    EXPECT_EQ(BASS_ChannelIsActive(carrier), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(BASS_ChannelPlay(carrier, false));
    EXPECT_EQ(BASS_ChannelIsActive(carrier), BASS_ACTIVE_PLAYING);
    EXPECT_TRUE(BASS_ChannelStop(carrier));
    EXPECT_EQ(BASS_ChannelIsActive(carrier), BASS_ACTIVE_STOPPED);
    BASS_StreamFree(carrier);
}

TEST(CarrierStream, RefusesFormatsNoEncoderTakes) {
    EXPECT_EQ(BASS_StreamCreate(44100, 0, 0, STREAMPROC_DUMMY, nullptr), 0u);
    EXPECT_EQ(BASS_StreamCreate(44100, 3, 0, STREAMPROC_DUMMY, nullptr), 0u);
    EXPECT_EQ(BASS_StreamCreate(0, 2, 0, STREAMPROC_DUMMY, nullptr), 0u);
}

// Every channel call on a handle that is 0, freed or never given.
void ExpectEveryCallFails(DWORD handle) {
    BASS_CHANNELINFO info{};
    char buffer[16];
    EXPECT_FALSE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), BASS_QWORD_ERROR);
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), BASS_QWORD_ERROR);
    EXPECT_FALSE(BASS_ChannelSetPosition(handle, 0, BASS_POS_BYTE));
    EXPECT_LT(BASS_ChannelBytes2Seconds(handle, 1000), 0.0);
    EXPECT_FALSE(BASS_ChannelPlay(handle, true));
    EXPECT_FALSE(BASS_ChannelPause(handle));
    EXPECT_FALSE(BASS_ChannelStop(handle));
    EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ChannelGetData(handle, buffer, sizeof buffer), BASS_DWORD_ERROR);
    EXPECT_FALSE(BASS_StreamFree(handle));
}

TEST(Handles, ZeroFreedAndUnknownHandlesFailHarmlessly) {
    ExpectEveryCallFails(0);
    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    ASSERT_TRUE(BASS_StreamFree(carrier));
    ExpectEveryCallFails(carrier);
    ExpectEveryCallFails(0xFFFFFFF0u);
}

TEST(Handles, AreUniqueAcrossThreadsAndNeverReused) {
    constexpr int threads = 4;
    constexpr int perThread = 500;
    std::vector<std::vector<HSTREAM>> made(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&made, t] {
            for (int i = 0; i < perThread; ++i) {
                const HSTREAM h = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
                made[t].push_back(h);
                // Free every other one at once, so freed handles are about while others are made.
                if (i % 2 == 0)
                    BASS_StreamFree(h);
            }
        });
    for (auto& w : workers)
        w.join();
    std::set<HSTREAM> all;
    for (const auto& list : made)
        for (const HSTREAM h : list) {
            EXPECT_NE(h, 0u);
            all.insert(h);
        }
    EXPECT_EQ(all.size(), size_t{threads * perThread});
    for (const HSTREAM h : all)
        BASS_StreamFree(h);
}

TEST(Plugins, HandleIsKeptAndFreedOnce) {
    const HPLUGIN plugin = BASS_PluginLoad("basswma.dll", 0);
    ASSERT_NE(plugin, 0u);
    EXPECT_TRUE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_PluginFree(0));
}

} // namespace
