#include "library/BackgroundDurations.h"

#include "library/DurationCache.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace {

// Two threads keep the window's own core free on small machines; a probe mostly waits on
// the disk anyway.
constexpr unsigned ProbeThreads = 2;
// How long the end waits for a probe under way.
constexpr std::chrono::seconds EndWait{2};
// Durations kept on disk at most; the current folder's come first.
constexpr std::size_t MaxStored = 100'000;

} // namespace

struct BackgroundDurations::Shared {
    std::mutex mutex;
    std::condition_variable wake;     // work or the end
    std::condition_variable finished; // a thread ended
    std::deque<ProbeRequest> queue;
    std::function<void()> save;
    std::vector<ProbedDuration> results;
    unsigned busy = 0; // requests taken and not yet in `results`
    unsigned running = 0;
    bool stop = false;

    void Work() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return stop || !queue.empty() || save; });
            if (!queue.empty() && !stop) {
                const ProbeRequest file = std::move(queue.front());
                queue.pop_front();
                ++busy;
                lock.unlock();
                ProbedDuration probed = ProbeRequested(file);
                lock.lock();
                results.push_back(std::move(probed));
                --busy;
            } else if (save) {
                const std::function<void()> job = std::exchange(save, nullptr);
                lock.unlock();
                job();
                lock.lock();
            } else {
                --running;
                finished.notify_all();
                return;
            }
        }
    }
};

BackgroundDurations::BackgroundDurations(std::string cacheFile)
    : shared_(std::make_shared<Shared>()), cacheFile_(std::move(cacheFile)) {
    shared_->running = ProbeThreads;
    for (unsigned i = 0; i < ProbeThreads; ++i)
        threads_.emplace_back([shared = shared_] { shared->Work(); });
}

BackgroundDurations::~BackgroundDurations() {
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->queue.clear();
    shared_->wake.notify_all();
    const bool ended =
        shared_->finished.wait_for(lock, EndWait, [&] { return shared_->running == 0; });
    lock.unlock();
    for (std::thread& thread : threads_) {
        if (ended)
            thread.join();
        else
            thread.detach(); // it holds the shared state until it comes back
    }
}

void BackgroundDurations::LoadStored(LibraryState& state) const {
    if (!cacheFile_.empty())
        state.Stored = LoadDurationCache(cacheFile_);
}

void BackgroundDurations::Probe(LibraryState& state) {
    std::lock_guard lock(shared_->mutex);
    shared_->queue.assign(std::make_move_iterator(state.Unprobed.begin()),
                          std::make_move_iterator(state.Unprobed.end()));
    state.Unprobed.clear();
    shared_->wake.notify_all();
}

bool BackgroundDurations::Poll(LibraryState& state) {
    std::vector<ProbedDuration> arrived;
    bool idle = false;
    {
        std::lock_guard lock(shared_->mutex);
        arrived.swap(shared_->results);
        idle = shared_->queue.empty() && shared_->busy == 0;
    }
    unsaved_ = unsaved_ || !arrived.empty();
    const bool changed = ApplyDurations(state, arrived);
    if (idle && unsaved_ && !cacheFile_.empty()) {
        unsaved_ = false;
        StoredDurations kept;
        for (const auto& [path, known] : state.Known)
            if (!known.durationText.empty())
                kept.emplace(
                    path, KnownRecording{known.size, known.modifiedNanos, known.durationText, {}});
        for (auto it = state.Stored.begin(); it != state.Stored.end() && kept.size() < MaxStored;
             ++it)
            kept.insert(*it);
        std::lock_guard lock(shared_->mutex);
        shared_->save = [file = cacheFile_, kept = std::move(kept)] {
            SaveDurationCache(file, kept);
        };
        shared_->wake.notify_one();
    }
    return changed;
}
