#include "audio/RecordInputs.h"

#include <algorithm>

namespace audio {

namespace {

bool Exists(const SourceState& state, int input) {
    return input >= -1 && input < InputCount(state);
}

} // namespace

int InputCount(const SourceState& state) {
    return std::max<int>(1, int(state.ports.size()));
}

std::optional<DWORD> InputFlags(const SourceState& state, int input) {
    if (!Exists(state, input))
        return std::nullopt;
    if (input == -1)
        return state.muted ? BASS_INPUT_OFF : 0;
    const bool on = state.ports.empty() || input == state.activePort;
    return on ? 0 : BASS_INPUT_OFF;
}

std::optional<std::string> InputName(const SourceState& state, int input) {
    if (!Exists(state, input))
        return std::nullopt;
    if (input == -1 || state.ports.empty())
        return state.description;
    return state.ports[std::size_t(input)].description;
}

std::optional<int> PortToActivate(const SourceState& state, int input) {
    if (input < 0 || input >= int(state.ports.size()) || state.activePort >= 0)
        return std::nullopt;
    return input;
}

} // namespace audio
