// Files whose time stamps jump: a hole is played as silence, made as it is played (an hour's
// hole costs no memory), and a time stamp past the file's end, or past what the file can
// hold, ends the stream.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <malloc.h>

using namespace audio_files;

namespace {

constexpr std::uint32_t SourceFrames = 441000; // 10 s

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Jump {
    const char* name;
    // Makes the file in the folder given; returns its path.
    std::function<std::string(const std::string& dir)> make;
    // Frames of silence the hole holds; 0: the stream ends at the jump.
    std::int64_t hole;
};

// An Ogg file whose pages from the middle on (with `onePage`, only the middle one) are moved
// on by `shift` frames.
std::function<std::string(const std::string&)> ShiftedOgg(std::int64_t shift, bool onePage) {
    return [=](const std::string& dir) {
        const std::string source = Bytes(MakeEncoded(dir, "o.ogg", SourceFrames));
        int pages = 0;
        RewriteOggGranules(source, [&](int, std::int64_t g) { return ++pages, g; });
        const std::string path = dir + "/jump.ogg";
        std::ofstream(path, std::ios::binary)
            << RewriteOggGranules(source, [&](int page, std::int64_t g) {
                   const bool moved = onePage ? page == pages / 2 : page >= pages / 2;
                   return moved && g > 0 ? g + shift : g;
               });
        return path;
    };
}

// A WMA file whose second half starts an hour after its first.
std::string WmaWithAnHoursHole(const std::string& dir) {
    MakeEncoded(dir, "m.wma", SourceFrames);
    Run("cd '" + dir + "' && ffmpeg -nostdin -y -i m.wma -c copy -t 5 a.wma && " +
        "ffmpeg -nostdin -y -ss 5 -i m.wma -c copy b.wma && " +
        "printf \"file 'a.wma'\\nduration 3600\\nfile 'b.wma'\\n\" > parts.txt && " +
        "ffmpeg -nostdin -y -f concat -safe 0 -i parts.txt -c copy jump.wma");
    return dir + "/jump.wma";
}

void PrintTo(const Jump& j, std::ostream* os) {
    *os << j.name;
}

// Bytes the heap holds now, mapped blocks included.
std::size_t HeapInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

class TimeStampJump : public testing::TestWithParam<Jump> {};

TEST_P(TimeStampJump, GivesSilenceAsItPlaysOrEndsTheStream) {
    const Jump& jump = GetParam();
    const std::string dir = test_paths::FreshDir(std::string("audio-jump-") + jump.name);
    const std::string path = jump.make(dir);

    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const std::size_t heldBefore = HeapInUse();
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
    // The minute read and the decoder's buffers: some megabytes, not the hole's hour.
    EXPECT_LT(std::int64_t(HeapInUse()) - std::int64_t(heldBefore), std::int64_t(100) << 20);
    const std::size_t frames = got / 2;
    if (jump.hole == 0) {
        EXPECT_GT(frames, SourceFrames * 3 / 10);
        EXPECT_LT(frames, SourceFrames * 7 / 10);
        EXPECT_EQ(BASS_ChannelGetLength(h, BASS_POS_BYTE), QWORD(frames) * 4) << "it ended";
    } else {
        EXPECT_EQ(frames, read.size() / 2);
        EXPECT_TRUE(std::all_of(read.begin() + std::ptrdiff_t(SourceFrames) * 2, read.end(),
                                [](std::int16_t s) { return s == 0; }))
            << "past the audio before the hole, only silence";
        // The audio after the hole is where the file's time line puts it.
        const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
        EXPECT_GT(length, QWORD(jump.hole) * 4);
        ASSERT_TRUE(BASS_ChannelSetPosition(h, length - 44100 * 4, BASS_POS_BYTE));
        std::array<std::int16_t, 8820> tail{};
        EXPECT_EQ(BASS_ChannelGetData(h, tail.data(), sizeof tail), sizeof tail);
        EXPECT_TRUE(std::any_of(tail.begin(), tail.end(), [](std::int16_t s) { return s != 0; }));
    }
    BASS_StreamFree(h);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeStampJump,
    testing::Values(Jump{"ogg_hole_of_an_hour", ShiftedOgg(std::int64_t(1) << 27, false), 1 << 27},
                    Jump{"wma_hole_of_an_hour", WmaWithAnHoursHole, 3600 * 44100},
                    Jump{"ogg_hole_longer_than_the_file_can_hold",
                         ShiftedOgg(std::int64_t(1) << 40, false), 0},
                    Jump{"ogg_stamp_past_the_end", ShiftedOgg(std::int64_t(1) << 40, true), 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
