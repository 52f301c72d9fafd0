// Files whose time stamps jump: a hole is played as silence, made as it is played (a hostile
// jump of years costs no memory), and a time stamp past the file's end ends the stream.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>

using namespace audio_files;

namespace {

constexpr std::uint32_t SourceFrames = 441000;        // 10 s
constexpr std::int64_t Years = std::int64_t(1) << 40; // frames: 790 years at 44.1 kHz

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The checksum of an Ogg page (polynomial 0x04C11DB7, unreflected, starting at 0).
std::uint32_t OggCrc(const std::string& page) {
    std::uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= std::uint32_t(byte) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// Rewrites the granule position of every Ogg page by `change(page number, granule)` and puts
// the checksums right, so the demuxer takes the pages as they are.
template <class F> std::string RewriteGranules(std::string ogg, F change) {
    int number = 0;
    for (std::size_t at = 0; at + 27 <= ogg.size() && ogg.compare(at, 4, "OggS") == 0; ++number) {
        const std::size_t segments = std::uint8_t(ogg[at + 26]);
        std::size_t size = 27 + segments;
        for (std::size_t i = 0; i < segments; ++i)
            size += std::uint8_t(ogg[at + 27 + i]);
        std::int64_t granule = 0;
        for (int i = 7; i >= 0; --i)
            granule = granule << 8 | std::uint8_t(ogg[at + 6 + i]);
        granule = change(number, granule);
        for (int i = 0; i < 8; ++i)
            ogg[at + 6 + i] = char(std::uint64_t(granule) >> (8 * i));
        std::string page = ogg.substr(at, size);
        std::fill_n(page.begin() + 22, 4, '\0');
        const std::uint32_t crc = OggCrc(page);
        for (int i = 0; i < 4; ++i)
            ogg[at + 22 + i] = char(crc >> (8 * i));
        at += size;
    }
    return ogg;
}

struct Jump {
    const char* name;
    // Pages from the middle on move by `shift` frames; with `lastOnly`, only the middle one.
    std::int64_t shift;
    bool lastOnly;
    // What a decode from the start gives: all the audio (with the hole) or the part before
    // the jump, as parts of the source.
    double minKept;
    double maxKept;
};

void PrintTo(const Jump& j, std::ostream* os) {
    *os << j.name;
}

class TimeStampJump : public testing::TestWithParam<Jump> {};

TEST_P(TimeStampJump, GivesSilenceAsItPlaysOrEndsTheStream) {
    const Jump& jump = GetParam();
    const std::string dir = test_paths::FreshDir(std::string("audio-jump-") + jump.name);
    const std::string source = Bytes(MakeEncoded(dir, "o.ogg", SourceFrames));
    int pages = 0;
    RewriteGranules(source, [&](int, std::int64_t g) { return ++pages, g; });
    const std::string path = dir + "/jump.ogg";
    std::ofstream(path, std::ios::binary) << RewriteGranules(source, [&](int page, std::int64_t g) {
        const bool moved = jump.lastOnly ? page == pages / 2 : page >= pages / 2;
        return moved && g > 0 ? g + jump.shift : g;
    });

    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    // A minute's reading: the audio before the jump, then silence for a hole, or the end.
    std::vector<std::int16_t> read(60 * 44100 * 2);
    std::size_t got = 0;
    for (DWORD n; got < read.size() &&
                  (n = BASS_ChannelGetData(
                       h, read.data() + got,
                       DWORD(std::min<std::size_t>(read.size() - got, 20000) * 2))) != 0;) {
        ASSERT_NE(n, BASS_DWORD_ERROR);
        got += n / 2;
    }
    const std::size_t frames = got / 2;
    EXPECT_GE(double(frames), jump.minKept * SourceFrames);
    EXPECT_LE(double(frames), jump.maxKept * SourceFrames);
    if (jump.lastOnly) {
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), QWORD(frames) * 4) << "it ended";
    } else {
        // Past the audio before the hole, only silence.
        EXPECT_TRUE(std::all_of(read.begin() + std::ptrdiff_t(SourceFrames) * 2,
                                read.begin() + std::ptrdiff_t(got),
                                [](std::int16_t s) { return s == 0; }));
        // The audio after the hole is where the file's time line puts it.
        const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
        EXPECT_GT(length, QWORD(jump.shift) * 4);
        ASSERT_TRUE(BASS_ChannelSetPosition(h, length - 44100 * 4, BASS_POS_BYTE));
        std::array<std::int16_t, 8820> tail{};
        EXPECT_EQ(BASS_ChannelGetData(h, tail.data(), sizeof tail), sizeof tail);
        EXPECT_TRUE(std::any_of(tail.begin(), tail.end(), [](std::int16_t s) { return s != 0; }));
    }
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeStampJump,
                         testing::Values(Jump{"hole_of_years", Years, false, 60.0 / 10, 60.0 / 10},
                                         Jump{"stamp_past_the_end", Years, true, 0.3, 0.7}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
