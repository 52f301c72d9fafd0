#pragma once
// Looks a path up on a thread of its own and waits for the answer only a moment, so a file on a
// stalled mount never holds the caller (the window thread) for longer.

#include "platform/FileIdentity.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

class TimedPathLookup {
public:
    using LookUp = std::function<PathLookup(const std::string& path)>;
    // `lookUp` is LookUpPath but in tests.
    explicit TimedPathLookup(LookUp lookUp = LookUpPath);

    // The path's lookup, or Unknown when it has not answered in a moment. Until that look has
    // come back, every further one is Unknown at once: one thread waits on a stalled mount, not
    // one per call.
    PathLookup Look(const std::string& path);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

} // namespace platform
