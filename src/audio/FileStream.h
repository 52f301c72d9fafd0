#pragma once
// A stream of a decoded file: read as 16-bit PCM (decode streams) or played on the default
// output with the spectrum of what plays.

#include "audio/Channel.h"
#include "audio/FileDecoder.h"

#include <memory>
#include <mutex>
#include <string>

namespace audio {

class FileStream : public Channel {
public:
    // Null when the file cannot be decoded.
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

    const DWORD flags_;
    const DWORD freq_;
    const DWORD chans_;
    const bool eightBit_;
    std::mutex mutex_; // guards the decoder
    std::unique_ptr<FileDecoder> decoder_;
};

} // namespace audio
