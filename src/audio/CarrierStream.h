#pragma once
// A 16-bit stream of a given rate and channel count with no data of its own: it carries the
// format that its encoders read, owns the encoders started on it, and plays or stops as its
// recording does. Freeing it ends its encoders (their files are finished).

#include "audio/Channel.h"
#include "audio/EncoderProcess.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace audio {

class CarrierStream : public Channel {
public:
    // An encoder on the carrier, with the handle that names it.
    using Attached = std::pair<DWORD, std::shared_ptr<EncoderProcess>>;

    CarrierStream(DWORD freq, DWORD chans) : freq_(freq), chans_(chans) {}

    BASS_CHANNELINFO Info() const override;
    bool Play(bool) override;
    bool Pause() override;
    bool Stop() override;
    DWORD IsActive() override { return state_; }

    // Starts the command line's encoder on the carrier's format; null when it cannot start.
    std::shared_ptr<EncoderProcess> StartEncoder(const std::string& commandLine) const;
    void Attach(DWORD handle, std::shared_ptr<EncoderProcess> encoder);
    // Queues the bytes for every encoder. False when there is none, or one has ended; the
    // others still get the bytes.
    bool Write(const void* data, std::size_t bytes);
    // The most bytes waiting for any encoder; nothing when there is none.
    std::optional<std::size_t> MostQueued() const;
    // Takes the encoder named `handle` off the carrier, or every encoder for 0.
    std::vector<Attached> Detach(DWORD handle);

private:
    DWORD freq_;
    DWORD chans_;
    std::atomic<DWORD> state_ = BASS_ACTIVE_STOPPED;
    mutable std::mutex mutex_; // encoders_
    std::vector<Attached> encoders_;
};

} // namespace audio
