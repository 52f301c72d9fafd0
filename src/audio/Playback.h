#pragma once
// Plays 16-bit PCM pulled from a source on the sound server's default sink, and tells how far
// the listener has heard. The output volume (0..1) is the library's and applies to every
// playback.

#include "audio/PulledFrames.h"
#include "platform/PulseConnection.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace audio {

using platform::PulseConnection;

class Playback {
public:
    // Fills up to `frames` interleaved frames; returns how many and whether the source has
    // ended. Fewer frames and no end: none are ready yet (the disk is slow), and the playback
    // asks again shortly. Called on the sound server's thread under its lock: it must not wait.
    using Source = std::function<PulledFrames(std::int16_t* out, std::size_t frames)>;

    // Null when the server cannot be reached or refuses the stream. It starts corked when
    // `paused`.
    static std::unique_ptr<Playback> Start(PulseConnection& pulse, std::uint32_t rate,
                                           std::uint32_t channels, Source source, bool paused);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // Frames heard since the start (never more than were written).
    std::uint64_t PlayedFrames();
    // The source ended and everything written has been played, or the server dropped the
    // stream.
    bool Ended();

    struct Impl;

private:
    Playback(PulseConnection& pulse, bool paused);
    // Reads the heard frames from the server's clock; with the lock held.
    void UpdatePlayed();

    PulseConnection& pulse_;
    bool paused_;
    std::unique_ptr<Impl> impl_;
};

// The output volume of every playback, 0..1 (1 = the stream at full volume).
float OutputVolume();
bool SetOutputVolume(PulseConnection& pulse, float volume);

} // namespace audio
