#pragma once
// The recording session's flags and times: written only by the session (app/Session), which the
// player tells of a playback's turns; read by the file list, the menus and the status texts.

#include <cstdint>

struct SessionState {
    bool IsRecording = false;
    bool IsPaused = false;  // one pause, of the recording or of the playback
    bool IsPlaying = false; // a file plays, or is paused, in the player
    std::uint32_t StartTick = 0;
    std::uint32_t ElapsedOffset = 0;
    std::uint32_t Elapsed = 0;
};
