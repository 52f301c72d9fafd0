// Files whose time stamps jump: a hole is played as silence, made as it is played (an hour's
// hole costs no memory), and a time stamp past the file's end, or past what the file can
// hold, ends the stream.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace audio_files;

namespace {

constexpr std::uint32_t SourceFrames = 441000; // 10 s

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Jump {
    const char* name;
    // Pages from the middle on move by `shift` frames; with `onePage`, only the middle one.
    std::int64_t shift;
    bool onePage;
    // The stream ends at the jump (else the jump is a hole, played as silence).
    bool ends;
};

void PrintTo(const Jump& j, std::ostream* os) {
    *os << j.name;
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class TimeStampJump : public testing::TestWithParam<Jump> {};

TEST_P(TimeStampJump, GivesSilenceAsItPlaysOrEndsTheStream) {
    const Jump& jump = GetParam();
    const std::string dir = test_paths::FreshDir(std::string("audio-jump-") + jump.name);
    const std::string source = Bytes(MakeEncoded(dir, "o.ogg", SourceFrames));
    int pages = 0;
    RewriteOggGranules(source, [&](int, std::int64_t g) { return ++pages, g; });
    const std::string path = dir + "/jump.ogg";
    std::ofstream(path, std::ios::binary)
        << RewriteOggGranules(source, [&](int page, std::int64_t g) {
               const bool moved = jump.onePage ? page == pages / 2 : page >= pages / 2;
               return moved && g > 0 ? g + jump.shift : g;
           });

    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    const long peakBefore = PeakKilobytes();
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
    if (jump.ends) {
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
        EXPECT_GT(length, QWORD(jump.shift) * 4);
        ASSERT_TRUE(BASS_ChannelSetPosition(h, length - 44100 * 4, BASS_POS_BYTE));
        std::array<std::int16_t, 8820> tail{};
        EXPECT_EQ(BASS_ChannelGetData(h, tail.data(), sizeof tail), sizeof tail);
        EXPECT_TRUE(std::any_of(tail.begin(), tail.end(), [](std::int16_t s) { return s != 0; }));
    }
    BASS_StreamFree(h);
    // The minute read above and the decoder's buffers: some megabytes, not the hole's gigabyte.
    EXPECT_LT(PeakKilobytes() - peakBefore, 100 * 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeStampJump,
    testing::Values(Jump{"hole_of_an_hour", std::int64_t(1) << 27, false, false},
                    Jump{"hole_longer_than_the_file_can_hold", std::int64_t(1) << 40, false, true},
                    Jump{"stamp_past_the_end", std::int64_t(1) << 40, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
