#pragma once

#include <cstddef>

namespace audio {

// What a pull of interleaved frames gave: how many, and whether the source has ended (its last
// frame given).
struct PulledFrames {
    std::size_t frames = 0;
    bool ended = false;
};

} // namespace audio
