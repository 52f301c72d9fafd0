// The output volume: the level of the program's playback, as the sound server's per-stream
// volume (the system's own output level stays the user's).

#include "audio/Bass.h"
#include "audio/Playback.h"

float BASS_GetVolume() {
    return audio::OutputVolume();
}

BOOL BASS_SetVolume(float volume) {
    return audio::SetOutputVolume(platform::Pulse(), volume);
}
