#include "platform/TimedPathLookup.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace platform {

namespace {

// Far above a stat of a file that answers, even on a busy machine.
constexpr std::chrono::milliseconds AnswerWait{100};

} // namespace

struct TimedPathLookup::Shared {
    std::mutex mutex;
    std::condition_variable wake;     // a job came, or the owner left
    std::condition_variable finished; // the job came back
    std::function<void(const Answered&)> job;
    bool started = false;
    bool out = false; // a job is given and has not come back
    bool ended = false;
    // Counted without a wake-up: the waiter looks at it once a moment.
    std::atomic<std::uint64_t> answers = 0;

    void Work() {
        const Answered answered = [this] { answers.fetch_add(1, std::memory_order_relaxed); };
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return job || ended; });
            if (!job)
                return;
            const auto current = std::move(job);
            job = nullptr;
            lock.unlock();
            current(answered);
            lock.lock();
            out = false;
            finished.notify_all();
        }
    }
};

TimedPathLookup::TimedPathLookup(LookUp lookUp)
    : lookUp_(std::move(lookUp)), shared_(std::make_shared<Shared>()) {}

TimedPathLookup::~TimedPathLookup() {
    std::lock_guard lock(shared_->mutex);
    shared_->ended = true;
    shared_->wake.notify_all();
}

PathLookup TimedPathLookup::Look(const std::string& path) {
    return Within<PathLookup>([lookUp = lookUp_, path] { return lookUp(path); })
        .value_or(PathLookup{});
}

bool TimedPathLookup::Run(std::function<void(const Answered& answered)> job) {
    Shared& shared = *shared_;
    std::unique_lock lock(shared.mutex);
    if (shared.out)
        return false;
    if (!shared.started) {
        // Detached: the thread holds the shared state until its last job comes back.
        std::thread([keep = shared_] { keep->Work(); }).detach();
        shared.started = true;
    }
    shared.out = true;
    shared.job = std::move(job);
    shared.wake.notify_all();
    while (shared.out) {
        const std::uint64_t seen = shared.answers.load(std::memory_order_relaxed);
        if (shared.finished.wait_for(lock, AnswerWait, [&] { return !shared.out; }))
            break;
        if (shared.answers.load(std::memory_order_relaxed) == seen)
            return false;
    }
    return true;
}

} // namespace platform
