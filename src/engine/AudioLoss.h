#pragma once
// How much of a recording's audio reached no file: what the capture device had no buffer for
// and what the writers could not take, counted from the recording's start.

#include "engine/WRecord.h"
#include "engine/Writers.h"

#include <cstdint>
#include <string>

// "1.2 s": a lost stretch of audio, to a tenth of a second.
inline std::string LostAudioText(std::uint64_t milliseconds) {
    const std::uint64_t tenths = (milliseconds + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

// Starts the count for a new recording (StartWriters resets the writers' share itself).
inline void ResetAudioLost(CaptureRing& ring) {
    ring.ResetLost();
}

// Milliseconds lost since the recording's start; for "Recording - 1.2 s lost".
inline std::uint64_t AudioLostMs(const CaptureRing& ring, const WriterState& writers) {
    return ring.LostMs() + WriterLostMs(writers);
}
