#pragma once
// How a sound server source appears as record inputs: its ports (on = the active port), or
// one input for a source without ports; input -1 is the source itself (on = unmuted).

#include "audio/Bass.h"
#include "audio/SourceControl.h"

#include <optional>
#include <string>

namespace audio {

// The number of inputs of a source.
int InputCount(const SourceState& state);
// The flags of an input (0 on, BASS_INPUT_OFF off); nothing past the last input.
std::optional<DWORD> InputFlags(const SourceState& state, int input);
// The name of an input; nothing past the last input.
std::optional<std::string> InputName(const SourceState& state, int input);
// The port that switching `input` on makes the source record from, if any. The user chooses
// the input in the sound server's own settings, so a source already recording from a port
// keeps it (nothing audible changes when the program switches its inputs on at start); only a
// source with no active port takes the asked one. The master's mute is never changed.
std::optional<int> PortToActivate(const SourceState& state, int input);

} // namespace audio
