#pragma once
// The sound server's capture sources as record devices: their order (the default first, as
// the capture device list has them), their ports, volume and mute.

#include "audio/PulseConnection.h"

#include <optional>
#include <string>
#include <vector>

namespace audio {

struct SourcePort {
    std::string name;
    std::string description;
};

struct SourceState {
    std::string description;
    std::vector<SourcePort> ports;
    int activePort = -1; // index in ports
    float volume = 0;    // average of the channels, 0..1 of normal
    bool muted = false;
    std::uint8_t channels = 0;
};

// The sources' names, the default source first, then the others in the server's order.
std::vector<std::string> SourceNames(PulseConnection& pulse);
std::optional<SourceState> ReadSource(PulseConnection& pulse, const std::string& name);
bool SetSourcePort(PulseConnection& pulse, const std::string& name, const std::string& port);
bool SetSourceVolume(PulseConnection& pulse, const std::string& name, std::uint8_t channels,
                     float volume);
bool SetSourceMute(PulseConnection& pulse, const std::string& name, bool muted);

} // namespace audio
