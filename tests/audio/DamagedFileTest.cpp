// Damaged, cut, foreign and hostile files never crash or hang a probe, a decode, the player,
// the scan or the converter: they give no stream, or a stream whose length is what really
// decodes, and nothing but the converter's own MP3 is written.

#include "AudioFiles.h"
#include "TestPaths.h"
#include "audio/Bass.h"
#include "library/Durations.h"
#include "library/FolderScan.h"
#include "library/Mp3Conversion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <thread>

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
std::string Le(std::uint64_t v, int bytes) {
    std::string le;
    for (int i = 0; i < bytes; ++i)
        le += char(v >> (8 * i));
    return le;
}
// An RF64 header stating 2^40 bytes of audio, far more than the file holds.
std::string DataOf2To40Bytes(const std::string& b) {
    const std::uint64_t data = std::uint64_t(1) << 40;
    return "RF64" + Le(0xFFFFFFFF, 4) + "WAVE" + "ds64" + Le(28, 4) + Le(data + 72, 8) +
           Le(data, 8) + Le(data / 4, 8) + Le(0, 4) + b.substr(12, 24) + "data" +
           Le(0xFFFFFFFF, 4) + b.substr(44);
}
std::string RateZero(const std::string& b) {
    std::string bytes = b;
    std::fill_n(bytes.begin() + 24, 4, '\0');
    return bytes;
}
// The last page's time stamp, which gives the length, is negative.
std::string OggNegativeDuration(const std::string& b) {
    int pages = 0;
    RewriteOggGranules(b, [&](int, std::int64_t g) { return ++pages, g; });
    return RewriteOggGranules(b, [&](int page, std::int64_t g) {
        return page == pages - 1 ? -(std::int64_t(1) << 40) : g;
    });
}
// The file properties state a negative play and send duration.
std::string WmaNegativeDuration(const std::string& b) {
    const std::string fileProperties(
        "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    std::string bytes = b;
    const std::size_t at = bytes.find(fileProperties);
    if (at != std::string::npos)
        bytes.replace(at + 64, 16, Le(std::uint64_t(1) << 63, 8) + Le(std::uint64_t(1) << 63, 8));
    return bytes;
}

class DamagedFile : public testing::TestWithParam<Damage> {
protected:
    const Damage& damage = GetParam();
    const std::string dir = test_paths::FreshDir(std::string("audio-damaged-") + damage.name);
    // The damaged file, made in SetUp.
    std::string path;

    void SetUp() override {
        BASS_Init(-1, 44100, 0, nullptr, nullptr);
        std::string source;
        if (*damage.source != '\0')
            source = Bytes(MakeEncoded(dir, damage.source, SourceFrames));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir + "/damaged" + fs::path(damage.source).extension().string();
        Save(path, damage.make(source));
    }
};

TEST_P(DamagedFile, GivesNoStreamOrATrueLength) {
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
                    Damage{"wma_cut", "m.wma", CutInHalf, true, 0.4, 0.6},
                    Damage{"wav_data_of_2_to_40_bytes", "w.wav", DataOf2To40Bytes, true, 1, 1},
                    Damage{"wav_rate_zero", "w.wav", RateZero, false, 0, 0},
                    Damage{"ogg_negative_duration", "o.ogg", OggNegativeDuration, true, 0.9, 1.01},
                    Damage{"wma_negative_duration", "m.wma", WmaNegativeDuration, true, 0.9, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// The player, asked to play the last fifth of a second, plays it and stops.
TEST_P(DamagedFile, PlaysOutToItsEnd) {
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
    if (h == 0)
        return;
    const QWORD length = BASS_ChannelGetLength(h, BASS_POS_BYTE);
    const QWORD last = 44100 / 5 * 4;
    EXPECT_TRUE(BASS_ChannelSetPosition(h, length > last ? length - last : 0, BASS_POS_BYTE));
    ASSERT_TRUE(BASS_ChannelPlay(h, false));
    for (int i = 0; i < 750 && BASS_ChannelIsActive(h) != BASS_ACTIVE_STOPPED; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED) << "still playing after 15 s";
    BASS_StreamFree(h);
}

// The scan lists it, when its name is a recording's, beside a sound recording, whose bytes it
// leaves as they were; only a file too small to hold any sound is deleted.
TEST_P(DamagedFile, TheScanListsItAndLeavesTheOthersAlone) {
    const std::string good = dir + "/good.wav";
    WriteWav(good, 44100, 2, 16, KnownFrames(44100, 2));
    const std::string goodBytes = Bytes(good);
    const std::string damagedBytes = Bytes(path);
    // Old enough to be a leftover: a small file changed in the last minute may still be written.
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
    LibraryState library;
    ScanOutputFolder(dir, library);
    ProbeDurationsNow(library);
    std::vector<std::string> listed;
    for (const ListEntry& entry : library.Entries)
        listed.push_back(entry.name + " " + (entry.name == "good.wav" ? entry.durationText : ""));
    std::sort(listed.begin(), listed.end());
    const std::string damagedName = fs::path(path).filename().string() + " ";
    if (damagedBytes.size() < 50 || !fs::path(path).has_extension()) {
        EXPECT_EQ(listed, std::vector<std::string>{"good.wav 00:00:01"});
    } else {
        EXPECT_EQ(listed, (std::vector<std::string>{damagedName, "good.wav 00:00:01"}));
        EXPECT_EQ(Bytes(path), damagedBytes);
    }
    EXPECT_EQ(Bytes(good), goodBytes);
}

// A conversion of it reads to an end, leaves it as it was and writes at most its MP3: the
// partial file goes, whether the conversion completed or was refused.
TEST_P(DamagedFile, TheConverterEndsAndWritesOnlyItsTarget) {
    const std::string bytes = Bytes(path);
    const std::string target = dir + "/converted.mp3";
    bool completed = false;
    {
        Mp3Conversion conversion(RecordingSettings{}, path, target, 44100, 2);
        int steps = 0;
        for (; conversion.Active() && steps < 1000; ++steps) {
            conversion.Step();
            while (conversion.EncoderBehind())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_LT(steps, 1000) << "10 s of audio take 177 steps";
        completed = conversion.Finish(true);
    }
    EXPECT_EQ(Bytes(path), bytes);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected{fs::path(path).filename().string()};
    if (completed)
        expected.insert(expected.begin(), "converted.mp3");
    EXPECT_EQ(files, expected);
}

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
