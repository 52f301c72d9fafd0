#pragma once
// The file of a running recording that the blocks now go to, what it holds so far, and when a
// [Split] limit makes the next block start the next file.

#include "engine/global.h"

#include <cstdint>
#include <string>

// The size limit counts as file managers show sizes.
constexpr std::uint64_t SplitMegabyte = 1000000;

struct RecordingPart {
    std::string File;
    std::uint64_t Frames = 0; // output frames handed to its writer
    std::uint64_t Bytes = 0;  // output bytes handed to its writer
    int Markers = 0;
    std::uint32_t LastBlockTick = 0; // when the last block was handed over
};

// True when the part has reached a limit: `Minutes` of audio at the output rate, or a file of
// `fileBytesAfterBlock` (its size once the next block is in) beyond `Megabytes`. A part without
// audio is never full.
bool PartFull(const RecordingSettings& settings, const RecordingPart& part,
              std::uint64_t fileBytesAfterBlock);

// Where in the part a marker set now lies: its audio so far plus the time since its last
// block, which is still on its way (at most one block's length; none while paused).
double MarkerSeconds(const RecordingSettings& settings, const RecordingPart& part,
                     std::uint32_t now, bool paused);
