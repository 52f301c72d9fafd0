#include "audio/FeedThread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <numeric>
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
