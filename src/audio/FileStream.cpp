#include "audio/FileStream.h"

namespace audio {

std::shared_ptr<FileStream> FileStream::Open(const std::string& path, DWORD flags) {
    auto decoder = FileDecoder::Open(path);
    if (!decoder)
        return nullptr;
    return std::make_shared<FileStream>(std::move(decoder), flags);
}

FileStream::FileStream(std::unique_ptr<FileDecoder> decoder, DWORD flags)
    : flags_(flags & BASS_STREAM_DECODE), freq_(decoder->Rate()), chans_(decoder->Channels()),
      eightBit_(decoder->EightBit()), decoder_(std::move(decoder)) {}

BASS_CHANNELINFO FileStream::Info() const {
    BASS_CHANNELINFO info;
    info.freq = freq_;
    info.chans = chans_;
    info.flags = flags_ | (eightBit_ ? BASS_SAMPLE_8BITS : 0);
    info.origres = eightBit_ ? 8 : 16;
    return info;
}

QWORD FileStream::Length() {
    std::lock_guard lock(mutex_);
    return decoder_->Length() * FrameBytes();
}

QWORD FileStream::Position() {
    std::lock_guard lock(mutex_);
    return decoder_->Position() * FrameBytes();
}

bool FileStream::SetPosition(QWORD pos) {
    std::lock_guard lock(mutex_);
    return decoder_->Seek(pos / FrameBytes());
}

bool FileStream::Play(bool) {
    return false;
}
bool FileStream::Pause() {
    return false;
}
bool FileStream::Stop() {
    return false;
}
DWORD FileStream::IsActive() {
    return BASS_ACTIVE_STOPPED;
}

DWORD FileStream::GetData(void* buffer, DWORD length) {
    if (!Decoding() || (length & 0x80000000u) != 0)
        return BASS_DWORD_ERROR;
    std::lock_guard lock(mutex_);
    const std::size_t frames =
        decoder_->Read(static_cast<std::int16_t*>(buffer), length / FrameBytes());
    return DWORD(frames * FrameBytes());
}

} // namespace audio
