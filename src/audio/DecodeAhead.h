#pragma once
// Reads a file ahead of its playback on a thread of its own into a ring, so the sound server's
// thread only copies: a read that hangs on a stalled disk leaves the ring empty and the
// playback short of audio for a while, and never holds the server (nor the capture and the
// window waiting on it).

#include "audio/PulledFrames.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace audio {

class DecodeAhead {
public:
    // Reads up to `frames` interleaved frames; returns how many, 0 at the end. It may wait on
    // the disk for as long as the disk takes. Called on the reading thread only.
    using Reader = std::function<std::size_t(std::int16_t* out, std::size_t frames)>;

    DecodeAhead(Reader read, std::uint32_t channels, std::size_t aheadFrames);
    // Stops the reading. A read still inside a stalled file after a moment is left behind, not
    // waited for; it keeps what `read` holds alive until it comes back.
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Copies up to `frames` frames that are ready; never waits on the reader. Ended once the
    // reader's end was reached and every frame taken. Called on one thread (the sound server's).
    PulledFrames Take(std::int16_t* out, std::size_t frames);

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

} // namespace audio
