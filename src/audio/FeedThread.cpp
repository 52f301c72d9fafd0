#include "audio/FeedThread.h"

#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cstring>

namespace audio {

FeedThread::FeedThread(Consumer consumer, std::size_t capacityBytes)
    : consumer_(std::move(consumer)), ring_(new std::uint8_t[capacityBytes]),
      capacity_(capacityBytes), thread_([this] { Run(); }) {}

FeedThread::~FeedThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queued_ = 0;
    }
    changed_.notify_all();
    thread_.join();
}

bool FeedThread::Push(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        if (failed_)
            return false;
        if (bytes > capacity_ - queued_) {
            failed_ = true;
            queued_ = 0;
        } else {
            CopyIn(data, bytes);
        }
    }
    changed_.notify_all();
    return !Failed();
}

bool FeedThread::Offer(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        if (failed_ || bytes > capacity_ - queued_)
            return false;
        CopyIn(data, bytes);
    }
    changed_.notify_all();
    return true;
}

void FeedThread::CopyIn(const void* data, std::size_t bytes) {
    // In at most two pieces around the end of the ring.
    const std::size_t writePos = (readPos_ + queued_) % capacity_;
    const std::size_t first = std::min(bytes, capacity_ - writePos);
    std::memcpy(ring_.get() + writePos, data, first);
    std::memcpy(ring_.get(), static_cast<const std::uint8_t*>(data) + first, bytes - first);
    queued_ += bytes;
}

std::size_t FeedThread::Queued() const {
    std::lock_guard lock(mutex_);
    return queued_;
}

bool FeedThread::Finish(std::chrono::milliseconds stallLimit) {
    std::unique_lock lock(mutex_);
    while ((queued_ > 0 || busy_) && !failed_) {
        const std::uint64_t before = consumed_;
        changed_.wait_for(lock, stallLimit, [&] {
            return consumed_ != before || failed_ || (queued_ == 0 && !busy_);
        });
        if (consumed_ == before && !failed_ && (queued_ > 0 || busy_))
            return false;
    }
    return !failed_;
}

bool FeedThread::Failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

void FeedThread::Run() {
    platform::MakeThisThreadBackground();
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [&] { return stopping_ || (queued_ > 0 && !failed_); });
        if (stopping_)
            return;
        // The consumer works on the bytes in place: Push only writes behind them. A backlog goes
        // in pieces, so Finish sees a slow consumer move rather than one long silence.
        const std::size_t piece = std::min({queued_, capacity_ - readPos_, PieceBytes});
        const std::span<const std::uint8_t> bytes(ring_.get() + readPos_, piece);
        busy_ = true;
        lock.unlock();
        const bool ok = consumer_(bytes);
        lock.lock();
        busy_ = false;
        if (!ok) {
            failed_ = true;
            queued_ = 0;
        } else if (queued_ >= piece) {
            readPos_ = (readPos_ + piece) % capacity_;
            queued_ -= piece;
        }
        consumed_ += piece;
        changed_.notify_all();
    }
}

} // namespace audio
