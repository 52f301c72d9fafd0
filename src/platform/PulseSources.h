#pragma once
// The sound server's sources as the program lists its record devices: one list, the default
// source first, then the others in the server's order.

#include "platform/PulseConnection.h"

#include <string>
#include <vector>

namespace platform {

struct PulseSource {
    std::string name;        // the server's name of the source, which identifies it
    std::string description; // what the user sees
};

// The sources with `first` in front, or the server's default source when `first` names none;
// empty without a server. Call with the connection's lock held.
std::vector<PulseSource> ListSources(PulseConnection& pulse, const std::string& first = {});

} // namespace platform
