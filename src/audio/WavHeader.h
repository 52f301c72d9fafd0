#pragma once
// The 44-byte RIFF header of 16- or 8-bit PCM: the one the WAV writer puts in its files and the
// one the command-line encoders read ahead of their input.

#include <array>
#include <cstdint>

namespace audio {

using WavHeaderBytes = std::array<std::uint8_t, 44>;

// Channels, block align and bits go out as a low byte followed by a zero byte, whatever their
// value; the byte rate is rate × channels × bits / 8.
WavHeaderBytes MakeWavHeader(std::uint32_t rate, std::int32_t channels, std::uint16_t bits,
                             std::uint32_t dataBytes);

} // namespace audio
