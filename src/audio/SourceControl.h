#pragma once
// A sound server capture source as a record device: its ports, volume and mute.

#include "platform/PulseConnection.h"

#include <optional>
#include <string>
#include <vector>

namespace audio {

using platform::PulseConnection;

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

std::optional<SourceState> ReadSource(PulseConnection& pulse, const std::string& name);
bool SetSourcePort(PulseConnection& pulse, const std::string& name, const std::string& port);
bool SetSourceVolume(PulseConnection& pulse, const std::string& name, std::uint8_t channels,
                     float volume);
bool SetSourceMute(PulseConnection& pulse, const std::string& name, bool muted);

} // namespace audio
