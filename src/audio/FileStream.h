#pragma once
// A stream of a decoded file: read as 16-bit PCM (decode streams) or played on the default
// output, with the spectrum of what is heard.

#include "audio/Channel.h"
#include "audio/FileDecoder.h"
#include "audio/Playback.h"

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
    DWORD FrameBytes() const { return 2 * chans_; }
    bool Decoding() const { return (flags_ & BASS_STREAM_DECODE) != 0; }
    // With control_ held:
    std::uint64_t HeardFrame();
    bool StartPlayback(bool paused);
    // With mutex_ held:
    bool SeekDecoder(std::uint64_t frame);
    std::size_t ReadForPlayback(std::int16_t* out, std::size_t frames);
    DWORD Spectrum(float* out);

    const DWORD flags_;
    const DWORD freq_;
    const DWORD chans_;
    const bool eightBit_;

    // Lock order: control_, then the sound server's lock, then mutex_ (the playback's source
    // runs under the server's lock and takes mutex_).
    std::mutex control_; // playback_ and playStart_
    std::mutex mutex_;   // the decoder and the history
    std::unique_ptr<FileDecoder> decoder_;
    // The last frames handed to the playback, by frame number, for the spectrum.
    std::vector<std::int16_t> history_;
    std::uint64_t historyBegin_ = 0;
    std::uint64_t historyEnd_ = 0;
    std::uint64_t playStart_ = 0;
    std::unique_ptr<Playback> playback_; // destroyed first: its source reads the decoder
};

} // namespace audio
