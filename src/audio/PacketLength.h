#pragma once
// The exact length of a stream without decoding it: the sum of its packets' durations less
// the samples the decoder is told to skip at the start and end (MP3 encoder delay and padding).

#include <cstdint>
#include <optional>

struct AVFormatContext;

namespace audio {

// Reads every packet of `stream` from the current place to the end. Returns the frames at
// `rate`, or nothing when a packet has no duration. The caller seeks back afterwards.
std::optional<std::uint64_t> SumPacketFrames(AVFormatContext* format, int stream,
                                             std::uint32_t rate);

} // namespace audio
