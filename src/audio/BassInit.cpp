// Start and exit of the library, and the plug-in handles it keeps.

#include "audio/Bass.h"
#include "audio/HandleTable.h"

#include <atomic>
#include <mutex>
#include <set>

namespace {

std::atomic<bool> initialised = false;

struct Plugins {
    std::mutex mutex;
    std::set<HPLUGIN> loaded;
    HPLUGIN next = 1;
};

Plugins& LoadedPlugins() {
    static Plugins plugins;
    return plugins;
}

} // namespace

BOOL BASS_Init(int, DWORD, DWORD, void*, const void*) {
    return !initialised.exchange(true);
}

BOOL BASS_Free() {
    // The streams stop as they go; a call still running on one finishes first.
    audio::Channels().RemoveAll();
    return initialised.exchange(false);
}

HPLUGIN BASS_PluginLoad(const char* file, DWORD) {
    if (file == nullptr || *file == '\0')
        return 0;
    auto& plugins = LoadedPlugins();
    std::lock_guard lock(plugins.mutex);
    const HPLUGIN handle = plugins.next++;
    plugins.loaded.insert(handle);
    return handle;
}

BOOL BASS_PluginFree(HPLUGIN handle) {
    auto& plugins = LoadedPlugins();
    std::lock_guard lock(plugins.mutex);
    return plugins.loaded.erase(handle) == 1;
}
