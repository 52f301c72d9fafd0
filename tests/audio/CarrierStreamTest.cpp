// Carrier streams and the handle rules every caller relies on: 0, freed handles and handles of
// another kind fail harmlessly, handles are never handed out twice.

#include "TestPaths.h"
#include "audio/BASSenc.h"
#include "audio/Bass.h"
#include "audio/BassWMA.h"

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

TEST(Handles, OneOfAnotherKindFailsAndLeavesItsObjectAlone) {
    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    const HENCODE encoder =
        BASS_Encode_Start(carrier, "tee.exe /dev/null", BASS_ENCODE_PAUSE, nullptr, nullptr);
    const HPLUGIN plugin = BASS_PluginLoad("basswma.dll", 0);
    const std::string wmaPath = test_paths::FreshDir("handle_kinds") + "/a.wma";
    const HWMENCODE wma = BASS_WMA_EncodeOpenFile(44100, 2, 0, 128000, wmaPath.c_str());
    ASSERT_NE(carrier, 0u);
    ASSERT_NE(encoder, 0u);
    ASSERT_NE(plugin, 0u);
    ASSERT_NE(wma, 0u);

    for (const DWORD other : {encoder, plugin, wma})
        ExpectEveryCallFails(other);
    const char bytes[4] = {};
    for (const DWORD other : {plugin, wma}) {
        EXPECT_FALSE(BASS_Encode_Write(other, bytes, 4));
        EXPECT_FALSE(BASS_Encode_Stop(other));
    }
    for (const DWORD other : {carrier, encoder, plugin})
        EXPECT_FALSE(BASS_WMA_EncodeWrite(other, bytes, 4));
    for (const DWORD other : {carrier, encoder, plugin})
        EXPECT_FALSE(BASS_WMA_EncodeClose(other));
    for (const DWORD other : {carrier, encoder, wma})
        EXPECT_FALSE(BASS_PluginFree(other));

    // Each object is still there for the calls of its kind.
    EXPECT_EQ(BASS_ChannelIsActive(carrier), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(BASS_Encode_Write(carrier, bytes, 4));
    EXPECT_TRUE(BASS_Encode_Stop(encoder));
    EXPECT_TRUE(BASS_WMA_EncodeClose(wma));
    EXPECT_TRUE(BASS_PluginFree(plugin));
    EXPECT_TRUE(BASS_StreamFree(carrier));
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

// Each call refuses what it cannot honour here, rather than act as if it had.
TEST(Arguments, ThoseThisBuildCannotHonourAreRefused) {
    int window = 0;
    EXPECT_FALSE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 48000, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 44100, 4, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, &window, nullptr));
    EXPECT_EQ(BASS_StreamCreate(44100, 2, BASS_SAMPLE_8BITS, STREAMPROC_DUMMY, nullptr), 0u);
    EXPECT_EQ(BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, &window), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(false, "/dev/null", 0, 0, 0x100), 0u);
    EXPECT_EQ(BASS_PluginLoad("bassflac.dll", 0), 0u);
    EXPECT_EQ(BASS_PluginLoad("basswma.dll", 0x80000000), 0u);
    EXPECT_EQ(BASS_WMA_EncodeGetRates(44100, 2, 1), nullptr);
    const std::string dir = test_paths::FreshDir("refused_arguments");
    EXPECT_EQ(BASS_WMA_EncodeOpenFile(44100, 2, 1, 128000, (dir + "/a.wma").c_str()), 0u);

    const HSTREAM carrier = BASS_StreamCreate(44100, 2, 0, STREAMPROC_DUMMY, nullptr);
    EXPECT_EQ(BASS_Encode_Start(carrier, "tee.exe /dev/null", 1, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_Encode_Start(carrier, "tee.exe /dev/null", 0, nullptr, &window), 0u);
    // Nothing was started: the carrier has no encoder to stop.
    EXPECT_FALSE(BASS_Encode_Stop(carrier));
    BASS_StreamFree(carrier);
}

TEST(Plugins, HandleIsKeptAndFreedOnce) {
    const HPLUGIN plugin = BASS_PluginLoad("basswma.dll", 0);
    ASSERT_NE(plugin, 0u);
    EXPECT_TRUE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_PluginFree(plugin));
    EXPECT_FALSE(BASS_PluginFree(0));
}

} // namespace
