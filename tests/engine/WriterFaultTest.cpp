// The writers under faults, through the real WAV writer thread and the real encoder process:
// a disk that falls a whole queue behind, a disk that refuses writes, an encoder that stops
// reading, a disk that cannot make a file safe. Nothing is lost without being counted, and no call
// waits for the disk or encoder.

#include "ChildProcesses.h"
#include "TestPaths.h"
#include "WavOrMp3Settings.h"
#include "engine/Writers.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Block(const RecordingSettings& s, int index) {
    std::vector<std::uint8_t> block(s.BlockBytes);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i * 13 + index * 5);
    return block;
}

std::string ReadAll(const std::string& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// The disk as a test wants it: the real file behind, its audio writes held at a gate or
// refused.
struct Disk {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = true; // audio writes wait while the gate is closed
    bool holding = false;
    int refuse = 0;          // errno for every audio write, when set
    int syncsKept = 1 << 30; // syncs that succeed; later ones fail with EIO

    platform::FileCreator Creator() {
        return [this](const std::string& path) {
            platform::CreatedFile real = platform::CreateOutputFile(path);
            if (real.File)
                real.File = std::make_unique<File>(*this, std::move(real.File));
            return real;
        };
    }
    void WaitUntilHolding() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return holding; });
    }
    void Open() {
        std::lock_guard lock(mutex);
        closed = false;
        changed.notify_all();
    }

    struct File : platform::OutputFile {
        Disk& disk;
        std::unique_ptr<platform::OutputFile> real;
        File(Disk& d, std::unique_ptr<platform::OutputFile> r) : disk(d), real(std::move(r)) {}
        int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            if (offset >= 44) {
                std::unique_lock lock(disk.mutex);
                if (disk.refuse)
                    return disk.refuse;
                disk.holding = true;
                disk.changed.notify_all();
                disk.changed.wait(lock, [&] { return !disk.closed; });
            }
            return real->WriteAt(offset, bytes);
        }
        int Sync() override {
            {
                std::lock_guard lock(disk.mutex);
                if (disk.syncsKept-- <= 0)
                    return EIO;
            }
            return real->Sync();
        }
        int Truncate(std::uint64_t length) override { return real->Truncate(length); }
        int Close() override { return real->Close(); }
    };
};

} // namespace

TEST(WriterFaults, ADiskAWholeQueueBehindLosesOnlyTheBlocksItCouldNotTakeAndCountsThem) {
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("fault_queue") + "/record001.wav";
    Disk disk;
    WriterState w;
    w.CreateFile = disk.Creator();
    w.WavQueueBytes = 3 * s.BlockBytes;
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);

    ASSERT_FALSE(WriteBlock(w, Block(s, 0)));
    disk.WaitUntilHolding(); // the writer thread is stuck on block 0, which it still holds
    for (int i = 1; i < 10; ++i)
        EXPECT_FALSE(WriteBlock(w, Block(s, i))) << i; // returns at once, no message
    EXPECT_EQ(WriterLostMs(w), 700u);                  // blocks 3 to 9
    disk.Open();
    StopWriters(w);
    FinishAllWriters(w);

    const std::string file = ReadAll(path);
    std::string expected;
    for (int i = 0; i < 3; ++i) {
        const auto block = Block(s, i);
        expected.append(block.begin(), block.end());
    }
    ASSERT_EQ(file.size(), 44 + expected.size());
    EXPECT_EQ(file.substr(44), expected);
    EXPECT_EQ(static_cast<std::uint8_t>(file[40]) | static_cast<std::uint8_t>(file[41]) << 8 |
                  static_cast<std::uint8_t>(file[42]) << 16,
              int(expected.size()));
    const WriterNews news = PollWriters(w);
    EXPECT_EQ(news.FinishedFiles, std::vector<std::string>{path});
    EXPECT_FALSE(news.Message);
    EXPECT_FALSE(news.Busy);
}

TEST(WriterFaults, ADiskThatRefusesAWriteIsToldInTheErrorBoxOnceAndTheRestCounted) {
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("fault_full") + "/record001.wav";
    Disk disk;
    disk.refuse = ENOSPC;
    WriterState w;
    w.CreateFile = disk.Creator();
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);

    MaybeMessage message;
    int written = 0;
    for (; written < 500 && !message; ++written) {
        message = WriteBlock(w, Block(s, written));
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(message);
    EXPECT_EQ(message->kind, UserMessage::Kind::Error);
    EXPECT_EQ(message->text,
              "The recording could not be written to \"" + path + "\". No space left on device");
    EXPECT_FALSE(WriteBlock(w, Block(s, 0))); // told once
    // Nothing reached the file, and every block handed over is counted lost.
    EXPECT_EQ(WriterLostMs(w), std::uint64_t(written + 1) * 100);
    StopWriters(w);
    FinishAllWriters(w);
    EXPECT_EQ(ReadAll(path).size(), 44u);
    const WriterNews news = PollWriters(w);
    EXPECT_EQ(news.FinishedFiles, std::vector<std::string>{path});
    EXPECT_FALSE(news.Message); // not told a second time
}

TEST(WriterFaults, AFailedSyncIsAWriteFailureAndTheAudioNotKnownSafeIsCountedAndCutOff) {
    // The first sync (after about 2 s) keeps its blocks, the second (about 2 s later) fails.
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("fault_sync") + "/record001.wav";
    Disk disk;
    disk.Open();
    disk.syncsKept = 1;
    WriterState w;
    w.CreateFile = disk.Creator();
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);

    MaybeMessage message;
    int written = 0;
    for (; written < 1000 && !message; ++written) {
        message = WriteBlock(w, Block(s, written));
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text,
              "The recording could not be written to \"" + path + "\". Input/output error");
    StopWriters(w);
    FinishAllWriters(w);

    // The file keeps the blocks of the first sync, its header states them, and every other
    // block handed over is counted lost.
    const std::string file = ReadAll(path);
    ASSERT_GT(file.size(), 44u);
    const std::size_t kept = (file.size() - 44) / s.BlockBytes;
    ASSERT_EQ(file.size(), 44 + kept * s.BlockBytes);
    EXPECT_GE(kept, 100u); // at least the first 2 s: the sync came after them
    EXPECT_LT(kept, std::size_t(written));
    for (std::size_t i = 0; i < kept; ++i) {
        const auto block = Block(s, int(i));
        ASSERT_EQ(file.substr(44 + i * s.BlockBytes, s.BlockBytes),
                  std::string(block.begin(), block.end()))
            << i;
    }
    EXPECT_EQ(static_cast<std::uint8_t>(file[40]) | static_cast<std::uint8_t>(file[41]) << 8 |
                  static_cast<std::uint8_t>(file[42]) << 16,
              int(file.size() - 44));
    EXPECT_EQ(WriterLostMs(w), (written - kept) * 100);
    EXPECT_FALSE(PollWriters(w).Message); // told once
}

TEST(WriterFaults, AFailedLastSyncAtTheStopIsToldWithTheAudioItCost) {
    const auto s = WavOrMp3Settings(true, 44100, 16, 2);
    const std::string path = test_paths::FreshDir("fault_last_sync") + "/record001.wav";
    Disk disk;
    disk.Open();
    disk.syncsKept = 0;
    WriterState w;
    w.CreateFile = disk.Creator();
    ASSERT_TRUE(StartWriters(w, s, path, true).Started);
    for (int i = 0; i < 5; ++i) // well before the first sync while recording
        ASSERT_FALSE(WriteBlock(w, Block(s, i)));
    StopWriters(w);
    FinishAllWriters(w);

    const WriterNews news = PollWriters(w);
    ASSERT_TRUE(news.Message);
    EXPECT_EQ(news.Message->text, "The recording could not be written to \"" + path +
                                      "\". Input/output error; the last 0.5 s of it are lost");
    EXPECT_EQ(ReadAll(path).size(), 44u);
}

TEST(WriterFaults, AnEncoderThatStopsReadingNeverHoldsUpTheStopAndIsToldByThePoll) {
    // A "lame" that never reads its input.
    const std::string dir = test_paths::FreshDir("fault_stuck_encoder");
    std::ofstream(dir + "/lame") << "#!/bin/sh\nexec sleep 1000\n";
    std::filesystem::permissions(dir + "/lame", std::filesystem::perms::owner_all);
    const std::string savedPath = std::getenv("PATH");
    setenv("PATH", (dir + ":" + savedPath).c_str(), 1);

    RecordingSettings s;
    ComputeBlockSizes(s); // MP3
    const std::string path = dir + "/record001.mp3";
    WriterState w;
    ASSERT_FALSE(StartWriters(w, s, path, true).Message);
    setenv("PATH", savedPath.c_str(), 1);
    for (int i = 0; i < 10; ++i) // more than the pipe holds
        ASSERT_FALSE(WriteBlock(w, Block(s, i)));

    StopWriters(w);
    // Back at once: the encoder is only given up after 10 s without progress. It is "lame" until
    // its script has made it "sleep", which a busy machine may not have done yet; one look at
    // each process, so that one changing its name in between is not counted twice.
    const auto encoders = [] { return ChildProcesses({"lame", "sleep"}).size(); };
    EXPECT_EQ(encoders(), 1u);
    const WriterNews first = PollWriters(w);
    EXPECT_TRUE(first.FinishedFiles.empty());
    EXPECT_TRUE(first.Busy);

    WriterNews news;
    for (int tick = 0; tick < 240 && news.FinishedFiles.empty(); ++tick) {
        std::this_thread::sleep_for(500ms); // the status tick
        news = PollWriters(w);
    }
    EXPECT_EQ(news.FinishedFiles, std::vector<std::string>{path});
    ASSERT_TRUE(news.Message);
    EXPECT_EQ(news.Message->kind, UserMessage::Kind::Plain);
    EXPECT_EQ(news.Message->text,
              "The MP3 encoder stopped; \"" + path + "\" holds the recording only up to here.");
    EXPECT_FALSE(news.Busy);
    EXPECT_EQ(encoders(), 0u);
}
