#pragma once
// The streams behind the 32-bit handles. Handles are never reused, so a freed handle stays
// invalid; a call keeps its stream alive while it runs, even if another thread frees it.

#include "audio/Channel.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace audio {

class HandleTable {
public:
    // A new handle for the channel (never 0).
    DWORD Add(std::shared_ptr<Channel> channel);
    // The channel of a handle, or null for 0, a freed or an unknown handle.
    std::shared_ptr<Channel> Find(DWORD handle) const;
    // Takes the channel out of the table; null if the handle was not there.
    std::shared_ptr<Channel> Remove(DWORD handle);
    // Empties the table.
    std::vector<std::shared_ptr<Channel>> RemoveAll();

private:
    mutable std::mutex mutex_;
    std::unordered_map<DWORD, std::shared_ptr<Channel>> channels_;
    DWORD next_ = 1;
};

// The library's own table, as its flat calls need one.
HandleTable& Channels();

} // namespace audio
