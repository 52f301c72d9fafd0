#pragma once
// Conversion of each captured block (16-bit stereo at the capture rate) into the screens'
// samples and the output bytes, and the block's peak levels and clip marks.

#include "engine/global.h"

#include <array>
#include <cstdint>
#include <span>

// Room for the largest block, 9600 frames at 96 kHz, with the program's traditional margin.
constexpr std::size_t MaxBlockSamples = 10002;
constexpr std::size_t MaxOutputBytes = 38404;

// The converted block: one instance, overwritten by every block.
struct ConvertedBlock {
    std::array<std::int16_t, MaxBlockSamples> LeftSamples{}; // in mono, the mix of both inputs
    std::array<std::int16_t, MaxBlockSamples> RightSamples{};
    std::array<std::uint8_t, MaxOutputBytes> OutputBlock{};
    float PeakLeft = 0;
    float PeakRight = 0;
    std::int32_t ClipLeft = 0;
    std::int32_t ClipRight = 0;
    // Valid entries of the sample arrays (CaptureFrames) and of OutputBlock (BlockBytes).
    std::uint32_t Frames = 0;
    std::uint32_t OutputBytes = 0;
};

// Converts one capture buffer (interleaved 16-bit little-endian stereo). Reads at most
// CaptureFrames frames and never more than the buffer holds or the block has room for.
void ConvertBlock(std::span<const std::uint8_t> capture, const RecordingSettings& settings,
                  ConvertedBlock& block);

// Peaks and clip flags of the block's valid samples; full scale is 32767 in either direction.
void MeasurePeaks(ConvertedBlock& block);
