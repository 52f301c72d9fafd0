#pragma once
// Looks paths up on a thread of its own and waits for the answer only a moment, so a file on a
// stalled mount never holds the caller (the window thread) for longer.

#include "platform/FileIdentity.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class TimedPathLookup {
public:
    using LookUp = std::function<PathLookup(const std::string& path)>;
    // `lookUp` is LookUpPath but in tests.
    explicit TimedPathLookup(LookUp lookUp = LookUpPath);
    // A look still out is left behind: its thread ends once the look comes back.
    ~TimedPathLookup();
    TimedPathLookup(const TimedPathLookup&) = delete;
    TimedPathLookup& operator=(const TimedPathLookup&) = delete;

    // The path's lookup, or Unknown when it has not answered in a moment. Until that look has
    // come back, every further one is Unknown at once: one thread waits on a stalled mount, not
    // one per call.
    PathLookup Look(const std::string& path);

    // Runs `job` on the lookup's one thread and waits while it keeps answering: the job calls
    // `answered` after each look at the file system, and a moment without one gives up. False
    // then, and at once while an earlier job is still out; the job runs on by itself, so it must
    // own what it touches.
    using Answered = std::function<void()>;
    bool Run(std::function<void(const Answered& answered)> job);

    // What `look` (one look at the file system) gives, or nothing when it did not answer in a
    // moment, as Run.
    template <typename Answer> std::optional<Answer> Within(std::function<Answer()> look) {
        auto answer = std::make_shared<std::optional<Answer>>();
        if (!Run([answer, look = std::move(look)](const Answered&) { *answer = look(); }))
            return std::nullopt;
        return std::move(*answer);
    }

    struct Shared;

private:
    const LookUp lookUp_;
    std::shared_ptr<Shared> shared_;
};

} // namespace platform
