#include "platform/TimedPathLookup.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

namespace {

// Far above a stat of a file that answers, even on a busy machine.
constexpr std::chrono::milliseconds AnswerWait{100};

} // namespace

struct TimedPathLookup::Shared {
    explicit Shared(LookUp look) : lookUp(std::move(look)) {}

    const LookUp lookUp;
    std::mutex mutex;
    std::condition_variable answered;
    bool looking = false;
    std::optional<PathLookup> answer;
};

TimedPathLookup::TimedPathLookup(LookUp lookUp)
    : shared_(std::make_shared<Shared>(std::move(lookUp))) {}

PathLookup TimedPathLookup::Look(const std::string& path) {
    std::unique_lock lock(shared_->mutex);
    if (shared_->looking)
        return {};
    shared_->looking = true;
    shared_->answer.reset();
    // Detached: the thread holds the shared state until it comes back.
    std::thread([shared = shared_, path] {
        const PathLookup found = shared->lookUp(path);
        std::lock_guard lock(shared->mutex);
        shared->answer = found;
        shared->looking = false;
        shared->answered.notify_all();
    }).detach();
    if (!shared_->answered.wait_for(lock, AnswerWait, [&] { return !shared_->looking; }))
        return {};
    return *shared_->answer;
}

} // namespace platform
