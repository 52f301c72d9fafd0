#pragma once
// Ending a playback stream: stopped, freed and its handle cleared, so that every later call on
// the handle fails harmlessly.

#include "audio/Bass.h"

inline void StopAndFreeStream(HSTREAM& stream) {
    BASS_ChannelStop(stream);
    BASS_StreamFree(stream);
    stream = 0;
}
