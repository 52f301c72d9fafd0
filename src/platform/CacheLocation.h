#pragma once
// Where the program keeps what it can always make again.

#include <string>

namespace platform {

// ${XDG_CACHE_HOME:-$HOME/.cache}/Sonvera/durations: the durations of recordings seen before.
std::string DurationCacheFile();

} // namespace platform
