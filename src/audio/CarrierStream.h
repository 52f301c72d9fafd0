#pragma once
// A 16-bit stream of a given rate and channel count with no data of its own: it only carries
// the format that the encoders read, and plays or stops as its recording does.

#include "audio/Channel.h"

#include <atomic>

namespace audio {

class CarrierStream : public Channel {
public:
    CarrierStream(DWORD freq, DWORD chans) : freq_(freq), chans_(chans) {}

    BASS_CHANNELINFO Info() const override;
    bool Play(bool) override;
    bool Pause() override;
    bool Stop() override;
    DWORD IsActive() override { return state_; }

private:
    DWORD freq_;
    DWORD chans_;
    std::atomic<DWORD> state_ = BASS_ACTIVE_STOPPED;
};

} // namespace audio
