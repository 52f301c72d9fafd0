#include "audio/HandleTable.h"

namespace audio {

DWORD HandleTable::Add(std::shared_ptr<Channel> channel) {
    std::lock_guard lock(mutex_);
    // Skip 0 and any handle still in use after the counter wrapped.
    while (next_ == 0 || channels_.contains(next_))
        ++next_;
    const DWORD handle = next_++;
    channels_.emplace(handle, std::move(channel));
    return handle;
}

std::shared_ptr<Channel> HandleTable::Find(DWORD handle) const {
    std::lock_guard lock(mutex_);
    const auto it = channels_.find(handle);
    return it == channels_.end() ? nullptr : it->second;
}

std::shared_ptr<Channel> HandleTable::Remove(DWORD handle) {
    std::lock_guard lock(mutex_);
    const auto it = channels_.find(handle);
    if (it == channels_.end())
        return nullptr;
    auto channel = std::move(it->second);
    channels_.erase(it);
    return channel;
}

std::vector<std::shared_ptr<Channel>> HandleTable::RemoveAll() {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<Channel>> all;
    for (auto& entry : channels_)
        all.push_back(std::move(entry.second));
    channels_.clear();
    return all;
}

HandleTable& Channels() {
    static HandleTable table;
    return table;
}

} // namespace audio
