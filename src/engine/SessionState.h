#pragma once
// The recording session's flags and times: written by the session, read by the file list, the
// menus and the status texts.

#include <cstdint>

struct SessionState {
    bool IsRecording = false;
    bool IsPaused = false;
    bool IsPlaying = false; // set by the player, cleared by StopAll
    std::uint32_t StartTick = 0;
    std::uint32_t ElapsedOffset = 0;
    std::uint32_t Elapsed = 0;
};
