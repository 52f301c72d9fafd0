#pragma once
// Settings for one output format, with the block sizes a capture open would derive.

#include "engine/global.h"

// WAV at `rate`, `bits`, `channels` when `wav`, else MP3 (which ignores rate and bits).
RecordingSettings OutputFormat(bool wav, std::uint32_t rate, std::uint16_t bits,
                               std::int32_t channels);
