// The length of MPEG audio from its first frame: LAME's Info and Xing headers give the exact
// length, a VBRI header its frame count, and a file without either an estimate from the bit rate
// that reads only the first frames, however large the file is.

#include "audio/MpegLength.h"

#include "SineWav.h"
#include "TestPaths.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Frames = 3 * 44100 + 1234; // not a whole number of MPEG frames

std::string SourceWav(std::uint32_t rate) {
    const std::string path =
        test_paths::FreshDir("mpeg_source_" + std::to_string(rate)) + "/tone.wav";
    sine_wav::Write(path, rate, 2, Frames, 440);
    return path;
}

struct LameCase {
    const char* name;
    const char* options;
    std::uint32_t rate;
    double tolerance; // seconds; 0: exact to the sample
};

class LameFile : public ::testing::TestWithParam<LameCase> {};

TEST_P(LameFile, LengthFromTheFirstFrame) {
    const LameCase& c = GetParam();
    const std::string mp3 = test_paths::FreshDir(std::string("mpeg_") + c.name) + "/take.mp3";
    ASSERT_EQ(
        std::system(("lame --quiet " + std::string(c.options) + " " + SourceWav(c.rate) + " " + mp3)
                        .c_str()),
        0);
    const auto seconds = audio::MpegFileSeconds(mp3);
    ASSERT_TRUE(seconds.has_value());
    const double expected = double(Frames) / c.rate;
    EXPECT_NEAR(*seconds, expected, c.tolerance > 0 ? c.tolerance : 0.5 / c.rate);
}

INSTANTIATE_TEST_SUITE_P(
    Mpeg, LameFile,
    ::testing::Values(
        // As this program records: an Info header (constant rate) with LAME's delay and padding.
        LameCase{"info_cbr", "-b 128", 44100, 0}, LameCase{"xing_vbr", "-V 2", 44100, 0},
        LameCase{"mpeg2_mono", "-b 64 -m m", 22050, 0},
        LameCase{"tags_front_and_back", "-b 128 --add-id3v2 --pad-id3v2 --tt Title", 44100, 0},
        // No header: the bit rate's estimate counts the encoder's delay and padding too.
        LameCase{"no_header", "-b 128 -t", 44100, 0.06},
        LameCase{"no_header_vbr", "-V 5 -t", 44100, 0.6},
        // Frames too small for LAME's header.
        LameCase{"mpeg2_no_room_for_header", "-b 32 -m m", 22050, 0.08}),
    [](const auto& info) { return std::string(info.param.name); });

// A recording cut short of the bytes its Info header counts holds that part of its length.
TEST(MpegLength, CutFileHoldsThePartItKept) {
    const std::string mp3 = test_paths::FreshDir("mpeg_cut") + "/take.mp3";
    ASSERT_EQ(std::system(("lame --quiet -b 128 " + SourceWav(44100) + " " + mp3).c_str()), 0);
    std::filesystem::resize_file(mp3, std::filesystem::file_size(mp3) / 2);
    const auto seconds = audio::MpegFileSeconds(mp3);
    ASSERT_TRUE(seconds.has_value());
    EXPECT_NEAR(*seconds, double(Frames) / 44100 / 2, 0.05);
}

// A first frame of MPEG-1 layer III, 128 kbit/s, 44100 Hz, stereo: 417 bytes.
std::vector<std::uint8_t> Frame() {
    std::vector<std::uint8_t> frame(417, 0);
    const std::uint8_t header[] = {0xFF, 0xFB, 0x90, 0x00};
    std::memcpy(frame.data(), header, 4);
    return frame;
}

// A file of `size` bytes that starts with `head` and holds zeros after it, counting what is read.
struct CountedFile {
    std::vector<std::uint8_t> head;
    std::uint64_t bytesRead = 0;

    audio::ByteSource Source(std::uint64_t size) {
        audio::ByteSource source;
        source.size = size;
        source.read = [this, size](std::uint64_t offset, std::uint8_t* out, std::size_t count) {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(count, size - offset));
            for (std::size_t i = 0; i < n; ++i)
                out[i] = offset + i < head.size() ? head[offset + i] : 0;
            bytesRead += n;
            return n;
        };
        return source;
    }
};

// One frame and then 8 TiB of holes: the probe reads its few bytes and estimates.
TEST(MpegLength, SparseHugeFileIsEstimatedFromItsFirstFrame) {
    constexpr std::uint64_t Size = 8ull << 40;
    CountedFile file{Frame()};
    const auto seconds = audio::MpegSeconds(file.Source(Size));
    ASSERT_TRUE(seconds.has_value());
    EXPECT_DOUBLE_EQ(*seconds, double(Size) * 8 / 128000);
    EXPECT_LE(file.bytesRead, audio::MpegProbeBytes);
}

TEST(MpegLength, VbriHeaderGivesItsFrameCount) {
    CountedFile file{Frame()};
    const char tag[] = "VBRI";
    std::memcpy(&file.head[36], tag, 4);
    file.head[36 + 17] = 200; // frames, big-endian, at 14 bytes into the header
    const auto seconds = audio::MpegSeconds(file.Source(1'000'000));
    ASSERT_TRUE(seconds.has_value());
    EXPECT_DOUBLE_EQ(*seconds, 200.0 * 1152 / 44100);
}

// Frame-like bytes in another container's data are no MPEG audio; nor is a file of zeros.
TEST(MpegLength, OtherFilesAreNotMpegAudio) {
    CountedFile wav{{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}};
    for (int i = 0; i < 4; ++i) {
        const auto frame = Frame();
        wav.head.insert(wav.head.end(), frame.begin(), frame.end());
    }
    EXPECT_FALSE(audio::MpegSeconds(wav.Source(100'000)).has_value());
    CountedFile zeros;
    EXPECT_FALSE(audio::MpegSeconds(zeros.Source(8ull << 40)).has_value());
    EXPECT_LE(zeros.bytesRead, audio::MpegProbeBytes);
}

} // namespace
