#include "audio/FeedThread.h"

#include "platform/ThreadPriority.h"

#include <algorithm>

namespace audio {

FeedThread::FeedThread(Consumer consumer, std::size_t capacityBytes)
    : consumer_(std::move(consumer)), ring_(capacityBytes), thread_([this] { Run(); }) {}

FeedThread::~FeedThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        ring_.Clear();
    }
    changed_.notify_all();
    thread_.join();
}

bool FeedThread::Push(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        if (failed_)
            return false;
        if (bytes > ring_.Room()) {
            failed_ = true;
            ring_.Clear();
        } else {
            ring_.Write(data, bytes);
        }
    }
    changed_.notify_all();
    return !Failed();
}

bool FeedThread::Offer(const void* data, std::size_t bytes) {
    {
        std::lock_guard lock(mutex_);
        if (failed_ || bytes > ring_.Room())
            return false;
        ring_.Write(data, bytes);
    }
    changed_.notify_all();
    return true;
}

std::size_t FeedThread::Queued() const {
    std::lock_guard lock(mutex_);
    return ring_.Size();
}

bool FeedThread::Finish(std::chrono::milliseconds stallLimit) {
    std::unique_lock lock(mutex_);
    while ((ring_.Size() > 0 || busy_) && !failed_) {
        const std::uint64_t before = consumed_;
        changed_.wait_for(lock, stallLimit, [&] {
            return consumed_ != before || failed_ || (ring_.Size() == 0 && !busy_);
        });
        if (consumed_ == before && !failed_ && (ring_.Size() > 0 || busy_))
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
        changed_.wait(lock, [&] { return stopping_ || (ring_.Size() > 0 && !failed_); });
        if (stopping_)
            return;
        // The consumer works on the bytes in place: Push only writes behind them. A backlog goes
        // in pieces, so Finish sees a slow consumer move rather than one long silence.
        const std::span<const std::uint8_t> bytes =
            ring_.Front().first(std::min(ring_.Front().size(), PieceBytes));
        busy_ = true;
        lock.unlock();
        const bool ok = consumer_(bytes);
        lock.lock();
        busy_ = false;
        if (!ok) {
            failed_ = true;
            ring_.Clear();
        } else if (ring_.Size() >= bytes.size()) {
            ring_.Drop(bytes.size());
        }
        consumed_ += bytes.size();
        changed_.notify_all();
    }
}

} // namespace audio
