#include "audio/CarrierStream.h"

#include <algorithm>

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

std::shared_ptr<EncoderProcess> CarrierStream::StartEncoder(const std::string& commandLine) const {
    return EncoderProcess::Start(commandLine, freq_, chans_);
}

void CarrierStream::Attach(DWORD handle, std::shared_ptr<EncoderProcess> encoder) {
    std::lock_guard lock(mutex_);
    encoders_.emplace_back(handle, std::move(encoder));
}

bool CarrierStream::Write(const void* data, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    bool all = true;
    for (const auto& [handle, encoder] : encoders_)
        all = encoder->Write(data, bytes) && all;
    return !encoders_.empty() && all;
}

std::optional<std::size_t> CarrierStream::MostQueued() const {
    std::lock_guard lock(mutex_);
    std::optional<std::size_t> most;
    for (const auto& [handle, encoder] : encoders_)
        most = std::max(most.value_or(0), encoder->Queued());
    return most;
}

std::vector<CarrierStream::Attached> CarrierStream::Detach(DWORD handle) {
    std::lock_guard lock(mutex_);
    std::vector<Attached> taken;
    std::erase_if(encoders_, [&](Attached& attached) {
        if (handle != 0 && attached.first != handle)
            return false;
        taken.push_back(std::move(attached));
        return true;
    });
    return taken;
}

} // namespace audio
