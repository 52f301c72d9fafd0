#pragma once
// Recording settings for WAV or MP3, with the block sizes a capture open would derive.

#include "engine/global.h"

// WAV at `rate`, `bits`, `channels` when `wav`, else MP3 (which ignores rate and bits).
RecordingSettings WavOrMp3Settings(bool wav, std::uint32_t rate, std::uint16_t bits,
                                   std::int32_t channels);
