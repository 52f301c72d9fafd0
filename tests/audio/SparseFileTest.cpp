// A hostile file: one MPEG frame and then 8 TiB of holes. Opening it for playback or conversion
// reads only its first bytes: its length is the bit rate's estimate, and what really decodes is
// the frame, after which the stream ends, played or decoded.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using namespace audio_files;
namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t Size = 8ull << 40;
constexpr std::uint64_t FrameBytes = 417; // MPEG-1 layer III, 128 kbit/s, 44100 Hz
constexpr QWORD Estimate = QWORD(Size * 8 / 128000.0 * 44100 + 0.5) * 4;
// What opening and decoding it to its end may read: a few budgets of a read, nothing like the
// file.
constexpr std::uint64_t MostBytesRead = 64 << 20;

// Bytes this process has read from files and sockets.
std::uint64_t BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return 0;
}

class SparseMp3 : public testing::Test {
protected:
    const std::string dir = test_paths::FreshDir("audio-sparse");
    std::string path = dir + "/sparse.mp3";

    void SetUp() override {
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        // Without the Info frame, the file's first frame is one of audio.
        const std::string wav = dir + "/source.wav";
        WriteWav(wav, 44100, 2, 16, KnownFrames(4410, 2));
        audio_files::Run("lame --quiet -b 128 -t '" + wav + "' '" + dir + "/source.mp3'");
        std::ifstream in(dir + "/source.mp3", std::ios::binary);
        std::string frame(FrameBytes, '\0');
        in.read(frame.data(), std::streamsize(frame.size()));
        std::ofstream(path, std::ios::binary) << frame;
        fs::resize_file(path, Size);
    }

    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(SparseMp3, DecodesItsFrameAndEnds) {
    const std::uint64_t before = BytesRead();
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), Estimate);
    std::vector<char> buffer(1 << 16);
    QWORD decoded = 0;
    for (DWORD got; (got = BASS_ChannelGetData(h, buffer.data(), DWORD(buffer.size()))) != 0;) {
        ASSERT_NE(got, BASS_DWORD_ERROR);
        decoded += got;
    }
    EXPECT_GT(decoded, 0u);
    EXPECT_LE(decoded, 2 * 1152 * 4u);
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), decoded);
    EXPECT_EQ(BASS_ChannelIsActive(h), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_LE(BytesRead() - before, MostBytesRead);
    BASS_StreamFree(h);
}

TEST_F(SparseMp3, PlaysOutAndStops) {
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), Estimate);
    ASSERT_TRUE(BASS_ChannelPlay(h, true));
    for (int i = 0; i < 250 && BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(BASS_ChannelIsActive(h), DWORD(BASS_ACTIVE_STOPPED)) << "still playing after 5 s";
    BASS_StreamFree(h);
}

} // namespace
