#pragma once
// The objects behind the library's 32-bit handles: streams, encoders, WMA encoders and
// plug-ins share one handle space, so a handle names exactly one object of one kind and a call
// made with a handle of another kind fails. Handles are never reused while in use and 0 is
// never given; a call keeps its object alive while it runs, even if another thread frees it.

#include "audio/Bass.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace audio {

// What a handle can name.
class Handled {
public:
    virtual ~Handled() = default;
};

class HandleTable {
public:
    // A new handle for the object (never 0).
    DWORD Add(std::shared_ptr<Handled> object);

    // The object of a handle when it is a T; null for 0, a freed or unknown handle, or one
    // naming another kind.
    template <class T> std::shared_ptr<T> Find(DWORD handle) const {
        return std::dynamic_pointer_cast<T>(FindAny(handle));
    }
    // Takes the object out of the table when it is a T; null (and nothing taken) otherwise.
    template <class T> std::shared_ptr<T> Remove(DWORD handle) {
        return std::static_pointer_cast<T>(RemoveIf(
            handle, [](const Handled& o) { return dynamic_cast<const T*>(&o) != nullptr; }));
    }
    // Takes every T out of the table.
    template <class T> std::vector<std::shared_ptr<Handled>> RemoveAll() {
        return RemoveAllIf([](const Handled& o) { return dynamic_cast<const T*>(&o) != nullptr; });
    }

private:
    using Kind = bool (*)(const Handled&);
    std::shared_ptr<Handled> FindAny(DWORD handle) const;
    std::shared_ptr<Handled> RemoveIf(DWORD handle, Kind kind);
    std::vector<std::shared_ptr<Handled>> RemoveAllIf(Kind kind);

    mutable std::mutex mutex_;
    std::unordered_map<DWORD, std::shared_ptr<Handled>> objects_;
    DWORD next_ = 1;
};

// The library's own table, as its flat calls need one.
HandleTable& Handles();

} // namespace audio
