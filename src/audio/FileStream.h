#pragma once
// A stream of a decoded file: read as 16-bit PCM (decode streams) or played on the default
// output, with the spectrum of what is heard.

#include "audio/Channel.h"
#include "audio/DecodeAhead.h"
#include "audio/FileDecoder.h"
#include "audio/Playback.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace audio {

class FileStream : public Channel {
public:
    // Null when the file cannot be decoded, or does not open in time (a stalled mount).
    static std::shared_ptr<FileStream> Open(const std::string& path, DWORD flags);

    FileStream(std::unique_ptr<FileDecoder> decoder, DWORD flags);

    BASS_CHANNELINFO Info() const override;
    QWORD Length() override;
    QWORD Position() override;
    bool SetPosition(QWORD pos) override;
    bool Play(bool restart) override;
    bool Pause() override;
    bool Stop() override;
    DWORD IsActive() override;
    DWORD GetData(void* buffer, DWORD length) override;

private:
    // The decoder, shared with the thread that reads ahead of a playback: that thread may
    // outlive its playback inside a read of a stalled file. The length, read without the lock,
    // follows the file's after every read and seek: a damaged file's is known at its end.
    struct Decoder {
        std::timed_mutex mutex;
        std::unique_ptr<FileDecoder> file;
        std::atomic<std::uint64_t> length{0};
        // With `mutex` held: the file's read and seek, the length following.
        std::size_t Read(std::int16_t* out, std::size_t frames) {
            const std::size_t got = file->Read(out, frames);
            length = file->Length();
            return got;
        }
        bool Seek(std::uint64_t frame) {
            const bool moved = file->Seek(frame);
            length = file->Length();
            return moved;
        }
    };

    DWORD FrameBytes() const { return 2 * chans_; }
    bool Decoding() const { return (flags_ & BASS_STREAM_DECODE) != 0; }
    // With control_ held:
    std::uint64_t HeardFrame();
    bool StartPlayback(bool paused);
    void EndPlayback();
    // With decoder_->mutex and mutex_ held:
    bool SeekDecoder(std::uint64_t frame);
    // With mutex_ held: the next playback starts at `frame` (each playback's reader seeks to its
    // start first).
    void RestAt(std::uint64_t frame);
    // On the sound server's thread: only copies what was read ahead.
    PulledFrames ReadForPlayback(std::int16_t* out, std::size_t frames);
    DWORD Spectrum(float* out);

    const DWORD flags_;
    const DWORD freq_;
    const DWORD chans_;
    const bool eightBit_;

    // Lock order: control_, then decoder_->mutex, then the sound server's lock, then mutex_
    // (the playback's source runs under the server's lock and takes mutex_). Only a seek waits on
    // decoder_->mutex, and only a moment.
    std::mutex control_; // playback_, ahead_ and playStart_
    const std::shared_ptr<Decoder> decoder_;
    std::mutex mutex_; // the history and the resting position
    // The last frames handed to the playback, by frame number, for the spectrum.
    std::vector<std::int16_t> history_;
    std::uint64_t historyBegin_ = 0;
    std::uint64_t historyEnd_ = 0;
    // Without a playback, the frame it would start at.
    std::uint64_t position_ = 0;
    std::uint64_t playStart_ = 0;
    std::unique_ptr<DecodeAhead> ahead_;
    std::unique_ptr<Playback> playback_; // destroyed first: its source takes from ahead_
};

} // namespace audio
