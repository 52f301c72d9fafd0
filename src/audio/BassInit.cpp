// Start and exit of the library, and the plug-ins it keeps.

#include "audio/Bass.h"
#include "audio/Channel.h"
#include "audio/HandleTable.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <iterator>
#include <string>

namespace {

std::atomic<bool> initialised = false;

// The plug-ins whose formats the decoders read already: loading one only names it.
constexpr const char* KnownPlugins[] = {"basswma"};

// What a plug-in's handle names.
struct Plugin : audio::Handled {};

// "basswma.dll", "/opt/x/libbasswma.so" and "BASSWMA" all name basswma.
std::string PluginName(std::string file) {
    file.erase(0, file.find_last_of("/\\") + 1);
    file.erase(std::min(file.find('.'), file.size()));
    if (file.starts_with("lib"))
        file.erase(0, 3);
    std::transform(file.begin(), file.end(), file.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return file;
}

} // namespace

BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid) {
    // Only the sound server's default output (-1) exists, mixed at the server's own rate (44100
    // is what the program asks); flags, a window and a class id have nothing to act on here.
    if (device != -1 || freq != 44100 || flags != 0 || window != nullptr || clsid != nullptr)
        return false;
    return !initialised.exchange(true);
}

BOOL BASS_Free() {
    // The streams stop as they go; a call still running on one finishes first.
    audio::Handles().RemoveAll<audio::Channel>();
    return initialised.exchange(false);
}

HPLUGIN BASS_PluginLoad(const char* file, DWORD flags) {
    // Paths are UTF-8 here, so no flag has a meaning.
    if (file == nullptr || flags != 0)
        return 0;
    if (std::find(std::begin(KnownPlugins), std::end(KnownPlugins), PluginName(file)) ==
        std::end(KnownPlugins))
        return 0;
    return audio::Handles().Add(std::make_shared<Plugin>());
}

BOOL BASS_PluginFree(HPLUGIN handle) {
    return audio::Handles().Remove<Plugin>(handle) != nullptr;
}
