#pragma once
// What several end-to-end tests check in the recordings the program leaves, and the settings
// they start it with.

#include <string>

namespace e2e {

// A settings file recording 16-bit stereo WAV at 44100 Hz into `outputFolder`.
std::string WavSettings(const std::string& outputFolder);

// Checks that a recording holds the known signal, every frame in its place, for at least
// `atLeastSeconds`, and that its header states the file.
void ExpectKnownSignal(const std::string& path, double atLeastSeconds);

} // namespace e2e
