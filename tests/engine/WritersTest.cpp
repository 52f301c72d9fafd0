#include "engine/Writers.h"

#include "ChildProcesses.h"
#include "TestPaths.h"
#include "WavOrMp3Settings.h"
#include "engine/WavFile.h"

#include <QFile>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

RecordingSettings WavFormat(std::uint32_t rate, std::uint16_t bits, int channels) {
    return WavOrMp3Settings(true, rate, bits, channels);
}

// A block whose bytes tell which block and which byte they are.
std::vector<std::uint8_t> Block(const RecordingSettings& s, int index) {
    std::vector<std::uint8_t> block(s.BlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 31 + index * 7);
    return block;
}

std::string ReadAll(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

std::uint32_t Field32(const std::string& file, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(file[at + i]);
    return v;
}

std::string Joined(const RecordingSettings& s, int from, int to) {
    std::string data;
    for (int i = from; i < to; ++i) {
        const auto block = Block(s, i);
        data.append(block.begin(), block.end());
    }
    return data;
}

} // namespace

TEST(WavWriter, TenBlocksOfCdAudioStateTheirSizeAndHoldTheBlocks) {
    const auto s = WavFormat(44100, 16, 2);
    const std::string path = test_paths::FreshDir("wav_ten") + "/record001.wav";
    WriterState w;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(WriteBlock(w, Block(s, i)));
    StopWriters(w);
    FinishAllWriters(w);

    const std::string file = ReadAll(path);
    ASSERT_EQ(file.size(), 44u + 176400u);
    EXPECT_EQ(Field32(file, 4), 176436u);
    EXPECT_EQ(Field32(file, 40), 176400u);
    EXPECT_EQ(file.substr(44), Joined(s, 0, 10));
    EXPECT_FALSE(w.Running);
}

struct HeaderCase {
    std::uint32_t rate;
    std::uint16_t bits;
    int channels;
    std::uint32_t bytesPerSecond;
    std::uint8_t blockAlign;
};

class WavHeaderFormat : public testing::TestWithParam<HeaderCase> {};

TEST_P(WavHeaderFormat, StatesTheRateSettingAndItsSizes) {
    const HeaderCase c = GetParam();
    WavHeader h;
    h.fill(0xEE);
    FillWavHeader(h, WavFormat(c.rate, c.bits, c.channels), 1234);
    const std::uint8_t expected[44] = {'R',
                                       'I',
                                       'F',
                                       'F',
                                       0xF6,
                                       0x04,
                                       0,
                                       0,
                                       'W',
                                       'A',
                                       'V',
                                       'E',
                                       'f',
                                       'm',
                                       't',
                                       ' ',
                                       16,
                                       0,
                                       0,
                                       0,
                                       1,
                                       0,
                                       static_cast<std::uint8_t>(c.channels),
                                       0,
                                       static_cast<std::uint8_t>(c.rate),
                                       static_cast<std::uint8_t>(c.rate >> 8),
                                       static_cast<std::uint8_t>(c.rate >> 16),
                                       0,
                                       static_cast<std::uint8_t>(c.bytesPerSecond),
                                       static_cast<std::uint8_t>(c.bytesPerSecond >> 8),
                                       static_cast<std::uint8_t>(c.bytesPerSecond >> 16),
                                       0,
                                       c.blockAlign,
                                       0,
                                       static_cast<std::uint8_t>(c.bits),
                                       0,
                                       'd',
                                       'a',
                                       't',
                                       'a',
                                       0xD2,
                                       0x04,
                                       0,
                                       0};
    EXPECT_TRUE(std::equal(h.begin(), h.end(), expected));
}

INSTANTIATE_TEST_SUITE_P(Formats, WavHeaderFormat,
                         testing::Values(HeaderCase{22050, 8, 1, 22050, 1},
                                         HeaderCase{44100, 16, 2, 176400, 4},
                                         HeaderCase{11025, 16, 1, 22050, 2},
                                         HeaderCase{96000, 8, 2, 192000, 2}));

TEST(WavWriter, HeaderIsCurrentWhileRecording) {
    const auto s = WavFormat(48000, 16, 2);
    const std::string path = test_paths::FreshDir("wav_current") + "/record001.wav";
    WriterState w;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    EXPECT_EQ(Field32(ReadAll(path), 40), 0u);
    for (int i = 0; i < 3; ++i)
        WriteBlock(w, Block(s, i));

    // What a crash would leave: the file as it is on disk once the writer thread has caught
    // up (it writes the header whenever its queue runs empty).
    std::string file = ReadAll(path);
    for (int wait = 0; wait < 1000 && (file.size() < 44 || Field32(file, 40) != 3 * s.BlockBytes);
         ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        file = ReadAll(path);
    }
    ASSERT_EQ(file.size(), 44u + 3 * s.BlockBytes);
    EXPECT_EQ(Field32(file, 40), 3 * s.BlockBytes);
    EXPECT_EQ(Field32(file, 4), 3 * s.BlockBytes + 36);
    StopWriters(w);
    FinishAllWriters(w);
}

TEST(WavWriter, ARecordingPastTheSizeLimitGoesOnInTheNextFiles) {
    const auto s = WavFormat(22050, 8, 1);
    const std::string dir = test_paths::FreshDir("wav_split");
    WriterState w;
    w.MaxDataBytes = s.BlockBytes * 5 / 2;
    int next = 2;
    w.NextFileName = [&] { return dir + "/record00" + std::to_string(next++) + ".wav"; };
    ASSERT_TRUE(StartWriters(w, s, dir + "/record001.wav", true).Started);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(WriteBlock(w, Block(s, i)));
    EXPECT_EQ(w.CurrentFile, dir + "/record003.wav");
    StopWriters(w);
    FinishAllWriters(w);

    // No audio lost: the pieces hold the blocks in order, each with a true header.
    const int pieces[][2] = {{0, 2}, {2, 4}, {4, 5}};
    for (int i = 0; i < 3; ++i) {
        const std::string file = ReadAll(dir + "/record00" + std::to_string(i + 1) + ".wav");
        const std::string data = Joined(s, pieces[i][0], pieces[i][1]);
        ASSERT_EQ(file.size(), 44 + data.size()) << "piece " << i;
        EXPECT_EQ(Field32(file, 40), data.size());
        EXPECT_EQ(Field32(file, 4), data.size() + 36);
        EXPECT_EQ(file.substr(44), data);
    }
}

TEST(WavWriter, AFullFileWithoutANextNameStopsWritingAndSaysSo) {
    const auto s = WavFormat(11025, 16, 2);
    const std::string path = test_paths::FreshDir("wav_full") + "/record001.wav";
    WriterState w;
    w.MaxDataBytes = s.BlockBytes;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    EXPECT_FALSE(WriteBlock(w, Block(s, 0)));
    const MaybeMessage full = WriteBlock(w, Block(s, 1));
    ASSERT_TRUE(full);
    EXPECT_NE(full->text.find(path), std::string::npos);
    EXPECT_FALSE(WriteBlock(w, Block(s, 2)));
    StopWriters(w);
    FinishAllWriters(w);
    const std::string file = ReadAll(path);
    EXPECT_EQ(Field32(file, 40), s.BlockBytes);
    EXPECT_EQ(file.substr(44), Joined(s, 0, 1));
}

TEST(WavWriter, AFileThatCannotBeCreatedStopsTheStartNamingPathAndReason) {
    const std::string path = test_paths::FreshDir("wav_nofolder") + "/missing/record001.wav";
    WriterState w;
    const StartResult r = StartWriters(w, WavFormat(44100, 16, 2), path, true);
    EXPECT_FALSE(r.Started);
    ASSERT_TRUE(r.Message);
    EXPECT_EQ(r.Message->kind, UserMessage::Kind::Error); // shown in the error box
    EXPECT_EQ(r.Message->text, "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_FALSE(w.Running);
}

TEST(Writers, NothingStartsWhileTheCaptureDeviceIsClosed) {
    const std::string path = test_paths::FreshDir("wav_closed") + "/record001.wav";
    WriterState w;
    const StartResult r = StartWriters(w, WavFormat(44100, 16, 2), path, false);
    EXPECT_FALSE(r.Started);
    EXPECT_FALSE(r.Message);
    EXPECT_FALSE(std::filesystem::exists(path));
}

namespace {

RecordingSettings EncoderFormat(const std::string& format) {
    RecordingSettings s;
    s.MP3 = format == "MP3";
    s.OGG = format == "OGG";
    ComputeBlockSizes(s);
    return s;
}

// Runs the test body with PATH holding only an empty folder, so no encoder is found.
struct EmptyPath {
    std::string saved = std::getenv("PATH");
    explicit EmptyPath(const std::string& dir) { setenv("PATH", dir.c_str(), 1); }
    ~EmptyPath() { setenv("PATH", saved.c_str(), 1); }
};

// Writes blocks until the writer reports a failure; gives up after about a minute of audio.
std::string WriteUntilMessage(WriterState& w, const RecordingSettings& s) {
    for (int i = 0; i < 600; ++i) {
        if (MaybeMessage message = WriteBlock(w, Block(s, i)))
            return message->text;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

} // namespace

class EncoderWriter : public testing::TestWithParam<std::string> {};

TEST_P(EncoderWriter, AMissingEncoderGivesTheMessageAndTheRecordingRunsOn) {
    const auto s = EncoderFormat(GetParam());
    const std::string dir = test_paths::FreshDir("missing_" + GetParam());
    const std::string path = dir + "/record001." + (s.MP3 ? "mp3" : "ogg");
    WriterState w;
    EmptyPath empty(dir);
    const StartResult r = StartWriters(w, s, path, true);
    EXPECT_TRUE(r.Started);
    ASSERT_TRUE(r.Message);
    EXPECT_EQ(r.Message->text, "Could not start " + GetParam() + " recording");
    EXPECT_FALSE(WriteBlock(w, Block(s, 0)));
    StopWriters(w);
    FinishAllWriters(w);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_P(EncoderWriter, AnEncoderKilledMidRecordingIsReportedAndStopDoesNotHang) {
    const auto s = EncoderFormat(GetParam());
    const std::string path = test_paths::FreshDir("killed_" + GetParam()) + "/record001.x";
    WriterState w;
    ASSERT_FALSE(StartWriters(w, s, path, true).Message);
    for (int i = 0; i < 5; ++i)
        ASSERT_FALSE(WriteBlock(w, Block(s, i)));
    const auto encoders = ChildProcesses({s.MP3 ? "lame" : "oggenc"});
    ASSERT_EQ(encoders.size(), 1u);
    kill(encoders[0], SIGKILL);

    const std::string message = WriteUntilMessage(w, s);
    EXPECT_NE(message.find("The " + GetParam() + " encoder stopped"), std::string::npos);
    EXPECT_NE(message.find(path), std::string::npos);
    EXPECT_FALSE(WriteBlock(w, Block(s, 0))); // told once
    StopWriters(w);
    FinishAllWriters(w);
    EXPECT_TRUE(ChildProcesses({s.MP3 ? "lame" : "oggenc"}).empty());
}

TEST_P(EncoderWriter, AnEncoderThatCannotWriteItsFileIsReported) {
    const auto s = EncoderFormat(GetParam());
    // A folder in place of a file: neither encoder can make it (oggenc makes missing folders).
    const std::string dir = test_paths::FreshDir("unwritable_" + GetParam());
    std::ofstream(dir + "/plain file") << "x";
    const std::string path = dir + "/plain file/record001.x";
    WriterState w;
    StartWriters(w, s, path, true);
    EXPECT_NE(WriteUntilMessage(w, s).find("encoder stopped"), std::string::npos);
    StopWriters(w);
    FinishAllWriters(w);
}

INSTANTIATE_TEST_SUITE_P(Formats, EncoderWriter, testing::Values("MP3", "OGG"));
