#pragma once
// Start on sound: while waiting, the last PreRoll of converted blocks is kept, so a recording
// that starts at the block whose peak reaches the threshold begins PreRoll before it; while
// recording, HangTime of blocks below the threshold in a row ends the sound.

#include "engine/global.h"

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

class VoiceGate {
public:
    // Takes Threshold, PreRoll and HangTime and forgets what was kept.
    void Arm(const RecordingSettings& settings);

    // While waiting for sound: keeps the block. True from the block whose peak reaches the
    // threshold on; the blocks after it are kept as well until TakeKept.
    bool Wait(std::span<const std::uint8_t> output, float peak, double blockMs);
    // The kept blocks, oldest first; the waiting starts anew, and so does the silence.
    std::vector<std::vector<std::uint8_t>> TakeKept();

    // While recording: true once HangTime of blocks in a row stayed below the threshold.
    bool Silent(float peak, double blockMs);
    // The silence so far, in milliseconds.
    double SilentMs() const { return silentMs_; }
    double HangTimeMs() const { return hangMs_; }

private:
    struct Kept {
        std::vector<std::uint8_t> bytes;
        double ms;
    };
    float thresholdPeak_ = 0;
    double preRollMs_ = 0;
    double hangMs_ = 0;
    std::deque<Kept> kept_;
    double keptMs_ = 0;
    bool heard_ = false;
    double silentMs_ = 0;
};
