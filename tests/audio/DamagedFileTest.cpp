// Damaged, cut and foreign files never crash or hang a probe or a decode: they give no stream,
// or a stream whose length is what really decodes.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

using namespace audio_files;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t SourceFrames = 441000; // 10 s: a cut keeps many codec pages

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Save(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct Damage {
    const char* name;
    const char* source; // "" for no source file
    // Makes the damaged bytes from the source's.
    std::string (*make)(const std::string& bytes);
    bool opens; // a stream is expected (else none is)
    // The part of the source's length that may remain: a hole loses what it hit, and an Ogg
    // decoder may lose its place up to the next page.
    double minKept;
    double maxKept;
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

std::string CutInHalf(const std::string& b) {
    return b.substr(0, b.size() / 2);
}
std::string Empty(const std::string&) {
    return {};
}
std::string Noise(const std::string&) {
    std::mt19937 random(7);
    std::string bytes(20000, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}
std::string HeaderOnly(const std::string& b) {
    std::string header = b.substr(0, 44);
    header[40] = header[41] = header[42] = header[43] = 0;
    return header;
}
// A recording cut off before its header was finished: both size fields still 0.
std::string SizesZero(const std::string& b) {
    std::string bytes = b;
    for (int i : {4, 5, 6, 7, 40, 41, 42, 43})
        bytes[i] = 0;
    return bytes;
}
// The header promises far more data than the file holds.
std::string SizeTooLarge(const std::string& b) {
    std::string bytes = b;
    bytes[42] = bytes[43] = 0x7F;
    return bytes;
}
std::string HoleInTheMiddle(const std::string& b) {
    std::string bytes = b;
    std::mt19937 random(11);
    for (std::size_t i = b.size() / 3; i < b.size() / 3 + 3000; ++i)
        bytes[i] = char(random());
    return bytes;
}
std::string WavHeaderNoiseBody(const std::string& b) {
    return b.substr(0, 12) + Noise(b);
}

class DamagedFile : public testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, GivesNoStreamOrATrueLength) {
    const auto& damage = GetParam();
    const std::string dir = test_paths::FreshDir(std::string("audio-damaged-") + damage.name);
    std::string source;
    if (*damage.source != '\0')
        source = Bytes(MakeEncoded(dir, damage.source, SourceFrames));
    const std::string path = dir + "/damaged" + fs::path(damage.source).extension().string();
    Save(path, damage.make(source));

    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    EXPECT_EQ(h != 0, damage.opens);
    if (h == 0)
        return;
    const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    BASS_StreamFree(h);
    EXPECT_GE(double(length) / 4, SourceFrames * damage.minKept);
    EXPECT_LE(double(length) / 4, SourceFrames * damage.maxKept);

    // The decode ends, close to the length probed; once there, the length is what decoded.
    const HSTREAM decode = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    std::vector<char> buffer(10000);
    QWORD decoded = 0;
    for (DWORD got; (got = BASS_ChannelGetData(decode, buffer.data(), 10000)) != 0;) {
        ASSERT_NE(got, BASS_DWORD_ERROR);
        decoded += got;
    }
    EXPECT_NEAR(double(decoded), double(length), 0.1 * double(length) + 8192);
    EXPECT_EQ(BASS_ChannelGetLength(decode, BASS_POS_BYTE), decoded);
    BASS_StreamFree(decode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedFile,
    testing::Values(Damage{"empty", "", Empty, false, 0, 0},
                    Damage{"noise", "", Noise, false, 0, 0},
                    Damage{"wav_noise_body", "w.wav", WavHeaderNoiseBody, false, 0, 0},
                    Damage{"wav_header_only", "w.wav", HeaderOnly, true, 0, 0},
                    Damage{"wav_sizes_zero", "w.wav", SizesZero, true, 1, 1},
                    Damage{"wav_size_too_large", "w.wav", SizeTooLarge, true, 1, 1},
                    Damage{"wav_cut", "w.wav", CutInHalf, true, 0.49, 0.51},
                    Damage{"mp3_cut", "c.mp3", CutInHalf, true, 0.45, 0.55},
                    Damage{"mp3_hole", "c.mp3", HoleInTheMiddle, true, 0.9, 1},
                    Damage{"ogg_cut", "o.ogg", CutInHalf, true, 0.3, 0.7},
                    Damage{"ogg_hole", "o.ogg", HoleInTheMiddle, true, 0.3, 1},
                    Damage{"wma_cut", "m.wma", CutInHalf, true, 0.4, 0.6}),
    [](const auto& info) { return std::string(info.param.name); });

// Past a hole, a seek lands where reading on from the start gets to: both keep to the file's
// own time line.
class HoleInFile : public testing::TestWithParam<const char*> {};

TEST_P(HoleInFile, SeekingAndReadingOnAgree) {
    const std::string dir = test_paths::FreshDir(std::string("audio-hole-") + GetParam());
    const std::string source = MakeEncoded(dir, GetParam(), SourceFrames);
    const std::string path = dir + "/damaged" + fs::path(source).extension().string();
    Save(path, HoleInTheMiddle(Bytes(source)));
    const auto all = DecodeAll(path);
    ASSERT_GT(all.size(), std::size_t{SourceFrames});

    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    const std::uint64_t target = all.size() / 2 - 3 * 44100; // past the hole at a third
    ASSERT_TRUE(BASS_ChannelSetPosition(h, target * 4, BASS_POS_BYTE));
    std::int16_t got[4000];
    ASSERT_EQ(BASS_ChannelGetData(h, got, sizeof got), sizeof got);
    EXPECT_TRUE(std::equal(got, got + 4000, all.begin() + std::ptrdiff_t(target * 2)));
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(Formats, HoleInFile, testing::Values("c.mp3", "o.ogg"),
                         [](const auto& info) { return std::string(info.param).substr(2); });

TEST(DamagedFile, MissingFileAndMemoryStreamsGiveNoStream) {
    EXPECT_EQ(BASS_StreamCreateFile(false, "/nonexistent/record001.wav", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(false, nullptr, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(true, "RIFF", 0, 4, 0), 0u);
}

} // namespace
