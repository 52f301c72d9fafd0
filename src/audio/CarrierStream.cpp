#include "audio/CarrierStream.h"

namespace audio {

BASS_CHANNELINFO CarrierStream::Info() const {
    BASS_CHANNELINFO info;
    info.freq = freq_;
    info.chans = chans_;
    info.origres = 16;
    return info;
}

bool CarrierStream::Play(bool) {
    state_ = BASS_ACTIVE_PLAYING;
    return true;
}

bool CarrierStream::Pause() {
    if (state_ != BASS_ACTIVE_PLAYING)
        return false;
    state_ = BASS_ACTIVE_PAUSED;
    return true;
}

bool CarrierStream::Stop() {
    state_ = BASS_ACTIVE_STOPPED;
    return true;
}

} // namespace audio
