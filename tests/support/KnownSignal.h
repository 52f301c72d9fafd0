#pragma once
// The stereo signal that the test sound server's capture sources carry. It repeats every
// 32768 frames, so any frame tells its place in the period and a lost or repeated frame shows:
// left is a sine of 743 cycles per period (1000 Hz at 44100 Hz), right a ramp that climbs by
// one every frame from -16384 to 16383.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace known_signal {

constexpr std::uint32_t Period = 32768;
constexpr std::uint32_t SineCycles = 743;
constexpr int SineAmplitude = 16384;

std::int16_t Left(std::uint32_t frame);
std::int16_t Right(std::uint32_t frame);

// The frequency of the left sine at a sample rate, in Hz.
double SineFrequency(std::uint32_t rate);

// Position of the first frame of interleaved 16-bit stereo samples within the period, taken
// from its right sample.
std::uint32_t PhaseOf(std::int16_t right);

// Checks that interleaved 16-bit stereo frames continue the signal from `phase` on, frame by
// frame. Returns the description of the first frame that does not, or nothing when all match.
std::optional<std::string> CheckStereo(std::span<const std::int16_t> interleaved,
                                       std::uint32_t phase);

// The frames of interleaved 16-bit stereo where the signal does not go on from the frame
// before: a jump in time, or a frame that is not the signal at all.
std::vector<std::size_t> Breaks(std::span<const std::int16_t> interleaved);

} // namespace known_signal
