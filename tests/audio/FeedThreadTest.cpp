#include "audio/FeedThread.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(FeedThread, ConsumerGetsEveryByteInOrderAcrossTheRingsEnd) {
    std::vector<std::uint8_t> got;
    audio::FeedThread feed(
        [&](std::span<const std::uint8_t> bytes) {
            got.insert(got.end(), bytes.begin(), bytes.end());
            return true;
        },
        1000);
    std::vector<std::uint8_t> sent;
    for (int block = 0; block < 200; ++block) {
        std::vector<std::uint8_t> bytes(97 + block % 13);
        std::iota(bytes.begin(), bytes.end(), static_cast<std::uint8_t>(block));
        // A full ring is a failure by design; give the consumer time instead of racing it.
        while (!feed.Finish(5s)) {
        }
        ASSERT_TRUE(feed.Push(bytes.data(), bytes.size()));
        sent.insert(sent.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(feed.Finish(5s));
    EXPECT_EQ(got, sent);
}

// A consumer held at a gate, like an encoder that stopped reading its input.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    void Wait() {
        std::unique_lock lock(mutex);
        opened.wait(lock, [&] { return open; });
    }
    void Open() {
        std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
};

TEST(FeedThread, AStuckConsumerNeverBlocksPushAndOverflowMarksItFailed) {
    Gate gate;
    std::atomic<std::size_t> consumed = 0;
    audio::FeedThread feed(
        [&](std::span<const std::uint8_t> bytes) {
            gate.Wait();
            consumed += bytes.size();
            return true;
        },
        4096);
    const std::vector<std::uint8_t> block(1000, 1);
    int accepted = 0;
    while (feed.Push(block.data(), block.size()))
        ++accepted;
    EXPECT_EQ(accepted, 4);
    EXPECT_TRUE(feed.Failed());
    EXPECT_FALSE(feed.Push(block.data(), block.size()));
    EXPECT_FALSE(feed.Finish(10ms));
    gate.Open();
}

TEST(FeedThread, FinishGivesUpOnAConsumerThatTakesNothing) {
    Gate gate;
    audio::FeedThread feed(
        [&](std::span<const std::uint8_t>) {
            gate.Wait();
            return true;
        },
        4096);
    const std::uint8_t byte = 0;
    ASSERT_TRUE(feed.Push(&byte, 1));
    EXPECT_FALSE(feed.Finish(50ms));
    EXPECT_FALSE(feed.Failed());
    gate.Open();
    EXPECT_TRUE(feed.Finish(5s));
}

TEST(FeedThread, AFailedConsumerGetsNothingMore) {
    int calls = 0;
    audio::FeedThread feed(
        [&](std::span<const std::uint8_t>) {
            ++calls;
            return false;
        },
        4096);
    const std::uint8_t byte = 0;
    feed.Push(&byte, 1);
    EXPECT_FALSE(feed.Finish(5s));
    EXPECT_TRUE(feed.Failed());
    EXPECT_FALSE(feed.Push(&byte, 1));
    EXPECT_EQ(calls, 1);
}

// After a hiccup the consumer finds a backlog queued. It gets it in pieces, so one that works
// through them slowly is still moving and Finish waits for it; only one that takes nothing at
// all is given up.
struct BacklogCase {
    const char* name;
    std::chrono::microseconds perKiB; // how long the consumer takes
    bool stops;                       // takes nothing after its first piece
    bool finished;
};
void PrintTo(const BacklogCase& c, std::ostream* out) {
    *out << c.name;
}

class FeedThreadBacklog : public ::testing::TestWithParam<BacklogCase> {};

TEST_P(FeedThreadBacklog, FinishWaitsForAConsumerAsLongAsItMoves) {
    const BacklogCase c = GetParam();
    Gate hiccup, stopped;
    std::atomic<int> calls = 0;
    std::atomic<std::size_t> largest = 0;
    audio::FeedThread feed(
        [&](std::span<const std::uint8_t> bytes) {
            hiccup.Wait();
            if (c.stops && calls++ > 0)
                stopped.Wait();
            largest = std::max<std::size_t>(largest, bytes.size());
            std::this_thread::sleep_for(c.perKiB * bytes.size() / 1024);
            return true;
        },
        2 * 1024 * 1024);
    const std::vector<std::uint8_t> block(4096, 1);
    for (int i = 0; i < 256; ++i) // 1 MiB: at 600 us a KiB, 0.6 s in one go
        ASSERT_TRUE(feed.Push(block.data(), block.size()));
    hiccup.Open();

    EXPECT_EQ(feed.Finish(300ms), c.finished);
    stopped.Open();
    EXPECT_LE(largest, audio::FeedThread::PieceBytes);
}

INSTANTIATE_TEST_SUITE_P(Consumers, FeedThreadBacklog,
                         ::testing::Values(BacklogCase{"Quick", 0us, false, true},
                                           BacklogCase{"SlowButMoving", 600us, false, true},
                                           BacklogCase{"Stopped", 0us, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });
