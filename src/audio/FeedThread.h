#pragma once
// Hands PCM bytes from the window thread to a slow consumer (an encoder process, the WMA
// encoder) on a thread of its own, through a bounded queue, so the caller never waits on it.

#include "platform/ByteRing.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

namespace audio {

class FeedThread {
public:
    // Called on the feed thread with the bytes in order, at most PieceBytes at a time (a pipe's
    // worth); returns false when the consumer has failed, after which everything else is dropped.
    using Consumer = std::function<bool(std::span<const std::uint8_t>)>;
    static constexpr std::size_t PieceBytes = 64 * 1024;

    FeedThread(Consumer consumer, std::size_t capacityBytes);
    // Drops what is still queued and waits for the thread; Finish first to keep it.
    ~FeedThread();
    FeedThread(const FeedThread&) = delete;
    FeedThread& operator=(const FeedThread&) = delete;

    // Queues a copy of the bytes and returns at once. False when the consumer has failed or
    // the queue cannot take the bytes: a consumer that fell a whole queue behind is stuck,
    // so it is marked failed and its queue dropped rather than grown or waited on.
    bool Push(const void* data, std::size_t bytes);
    // Queues a copy of the bytes when the queue has room for them and returns at once. False
    // when it had none (the bytes are not taken, the consumer is not marked failed) or the
    // consumer has failed: for a consumer that may fall behind for a while and catch up.
    bool Offer(const void* data, std::size_t bytes);
    // Bytes queued and not yet taken by the consumer.
    std::size_t Queued() const;

    // Waits until everything queued has been consumed, for as long as the consumer keeps
    // taking bytes, however slowly; gives up when it took none for `stallLimit`. Returns true when
    // all was consumed without failure.
    bool Finish(std::chrono::milliseconds stallLimit);

    bool Failed() const;

private:
    void Run();

    Consumer consumer_;
    platform::ByteRing ring_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t consumed_ = 0;
    bool failed_ = false;
    bool stopping_ = false;
    bool busy_ = false; // the consumer is working on bytes taken from the ring
    std::thread thread_;
};

} // namespace audio
