#include "audio/HandleTable.h"

namespace audio {

DWORD HandleTable::Add(std::shared_ptr<Handled> object) {
    std::lock_guard lock(mutex_);
    // Skip 0 and any handle still in use after the counter wrapped.
    while (next_ == 0 || objects_.contains(next_))
        ++next_;
    const DWORD handle = next_++;
    objects_.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<Handled> HandleTable::FindAny(DWORD handle) const {
    std::lock_guard lock(mutex_);
    const auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : it->second;
}

std::shared_ptr<Handled> HandleTable::RemoveIf(DWORD handle, Kind kind) {
    std::lock_guard lock(mutex_);
    const auto it = objects_.find(handle);
    if (it == objects_.end() || !kind(*it->second))
        return nullptr;
    auto object = std::move(it->second);
    objects_.erase(it);
    return object;
}

std::vector<std::shared_ptr<Handled>> HandleTable::RemoveAllIf(Kind kind) {
    std::vector<std::shared_ptr<Handled>> taken;
    std::lock_guard lock(mutex_);
    for (auto it = objects_.begin(); it != objects_.end();) {
        if (kind(*it->second)) {
            taken.push_back(std::move(it->second));
            it = objects_.erase(it);
        } else {
            ++it;
        }
    }
    return taken;
}

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

} // namespace audio
