#include "audio/FeedThread.h"

#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cstring>

namespace audio {

FeedThread::FeedThread(Consumer consumer, std::size_t capacityBytes)
    : consumer(std::move(consumer)), ring(new std::uint8_t[capacityBytes]), capacity(capacityBytes),
      thread([this] { Run(); }) {}

FeedThread::~FeedThread() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
        queued = 0;
    }
    changed.notify_all();
    thread.join();
}

bool FeedThread::Push(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex);
        if (failed)
            return false;
        if (bytes > capacity - queued) {
            failed = true;
            queued = 0;
        } else {
            CopyIn(data, bytes);
        }
    }
    changed.notify_all();
    return !Failed();
}

bool FeedThread::Offer(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex);
        if (failed || bytes > capacity - queued)
            return false;
        CopyIn(data, bytes);
    }
    changed.notify_all();
    return true;
}

void FeedThread::CopyIn(const void* data, std::size_t bytes) {
    // In at most two pieces around the end of the ring.
    const std::size_t writePos = (readPos + queued) % capacity;
    const std::size_t first = std::min(bytes, capacity - writePos);
    std::memcpy(ring.get() + writePos, data, first);
    std::memcpy(ring.get(), static_cast<const std::uint8_t*>(data) + first, bytes - first);
    queued += bytes;
}

std::size_t FeedThread::Queued() const {
    std::lock_guard lock(mutex);
    return queued;
}

bool FeedThread::Finish(std::chrono::milliseconds stallLimit) {
    std::unique_lock lock(mutex);
    while ((queued > 0 || busy) && !failed) {
        const std::uint64_t before = consumed;
        changed.wait_for(lock, stallLimit,
                         [&] { return consumed != before || failed || (queued == 0 && !busy); });
        if (consumed == before && !failed && (queued > 0 || busy))
            return false;
    }
    return !failed;
}

bool FeedThread::Failed() const {
    std::lock_guard lock(mutex);
    return failed;
}

void FeedThread::Run() {
    platform::MakeThisThreadBackground();
    std::unique_lock lock(mutex);
    while (true) {
        changed.wait(lock, [&] { return stopping || (queued > 0 && !failed); });
        if (stopping)
            return;
        // The consumer works on the bytes in place: Push only writes behind them. A backlog goes
        // in pieces, so Finish sees a slow consumer move rather than one long silence.
        const std::size_t piece = std::min({queued, capacity - readPos, PieceBytes});
        const std::span<const std::uint8_t> bytes(ring.get() + readPos, piece);
        busy = true;
        lock.unlock();
        const bool ok = consumer(bytes);
        lock.lock();
        busy = false;
        if (!ok) {
            failed = true;
            queued = 0;
        } else if (queued >= piece) {
            readPos = (readPos + piece) % capacity;
            queued -= piece;
        }
        consumed += piece;
        changed.notify_all();
    }
}

} // namespace audio
