#include "audio/FileStream.h"

#include "audio/Fft.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>
#include <utility>

namespace audio {

namespace {

// Frames kept for the spectrum: more than the server holds queued ahead of the listener
// (about 2 s), at any rate up to 192 kHz.
constexpr std::uint64_t HistoryFrames = 1 << 19;
// Audio read ahead of the playback: what a disk may stall for unheard, on top of what the
// server holds queued.
constexpr std::uint64_t AheadSeconds = 1;
constexpr DWORD SpectrumRequest = BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL;
// How long the caller waits for a file to open: past the decoder's own time to open, a file on
// a stalled mount is given up, and its opening left to end or hang on its own.
constexpr auto OpenWait = std::chrono::milliseconds(1500);
// How long a seek waits for the decoder, which a read of a stalled file may hold.
constexpr auto SeekWait = std::chrono::milliseconds(100);

std::unique_ptr<FileDecoder> OpenInTime(const std::string& path) {
    struct Opening {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::unique_ptr<FileDecoder> decoder;
    };
    const auto opening = std::make_shared<Opening>();
    std::thread([opening, path] {
        auto decoder = FileDecoder::Open(path);
        std::lock_guard lock(opening->mutex);
        opening->decoder = std::move(decoder);
        opening->finished = true;
        opening->done.notify_one();
    }).detach();
    std::unique_lock lock(opening->mutex);
    if (!opening->done.wait_for(lock, OpenWait, [&] { return opening->finished; }))
        return nullptr;
    return std::move(opening->decoder);
}

} // namespace

std::shared_ptr<FileStream> FileStream::Open(const std::string& path, DWORD flags) {
    auto decoder = OpenInTime(path);
    if (!decoder)
        return nullptr;
    return std::make_shared<FileStream>(std::move(decoder), flags);
}

FileStream::FileStream(std::unique_ptr<FileDecoder> decoder, DWORD flags)
    : flags_(flags & BASS_STREAM_DECODE), freq_(decoder->Rate()), chans_(decoder->Channels()),
      eightBit_(decoder->EightBit()), decoder_(std::make_shared<Decoder>()),
      position_(decoder->Position()) {
    decoder_->length = decoder->Length();
    decoder_->file = std::move(decoder);
    if (!Decoding())
        history_.resize(HistoryFrames * chans_);
}

BASS_CHANNELINFO FileStream::Info() const {
    BASS_CHANNELINFO info;
    info.freq = freq_;
    info.chans = chans_;
    info.flags = flags_ | (eightBit_ ? BASS_SAMPLE_8BITS : 0);
    info.origres = eightBit_ ? 8 : 16;
    return info;
}

QWORD FileStream::Length() {
    return decoder_->length * FrameBytes();
}

std::uint64_t FileStream::HeardFrame() {
    if (playback_)
        return playStart_ + playback_->PlayedFrames();
    std::lock_guard lock(mutex_);
    return position_;
}

QWORD FileStream::Position() {
    std::lock_guard control(control_);
    return HeardFrame() * FrameBytes();
}

bool FileStream::SeekDecoder(std::uint64_t frame) {
    const bool moved = decoder_->Seek(frame);
    position_ = historyBegin_ = historyEnd_ = decoder_->file->Position();
    return moved;
}

void FileStream::RestAt(std::uint64_t frame) {
    position_ = historyBegin_ = historyEnd_ = frame;
}

bool FileStream::SetPosition(QWORD pos) {
    std::lock_guard control(control_);
    const bool playing = playback_ != nullptr && !playback_->Ended();
    const bool paused = playing && playback_->Paused();
    const std::uint64_t heard = HeardFrame();
    EndPlayback();
    bool moved = false;
    // A read still inside a stalled file holds the decoder: the seek is refused rather than the
    // window held, and the playback goes on from what was heard once the file answers.
    if (std::unique_lock reading(decoder_->mutex, SeekWait); reading) {
        std::lock_guard lock(mutex_);
        moved = SeekDecoder(pos / FrameBytes());
        if (!moved)
            SeekDecoder(heard);
    } else {
        std::lock_guard lock(mutex_);
        RestAt(heard);
    }
    if (playing)
        StartPlayback(paused);
    return moved;
}

PulledFrames FileStream::ReadForPlayback(std::int16_t* out, std::size_t frames) {
    const PulledFrames taken = ahead_->Take(out, frames);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < taken.frames; ++i, ++historyEnd_) {
        const std::size_t slot = std::size_t(historyEnd_ % HistoryFrames) * chans_;
        std::memcpy(&history_[slot], out + i * chans_, FrameBytes());
    }
    historyBegin_ =
        std::max(historyBegin_, historyEnd_ > HistoryFrames ? historyEnd_ - HistoryFrames : 0);
    return taken;
}

bool FileStream::StartPlayback(bool paused) {
    {
        std::lock_guard lock(mutex_);
        playStart_ = position_;
    }
    // The seek costs nothing when the decoder is there already; it is not after a stop, or
    // after a read of an earlier playback that came back late.
    ahead_ = std::make_unique<DecodeAhead>(
        [decoder = decoder_, start = playStart_, seek = true](std::int16_t* out,
                                                              std::size_t frames) mutable {
            std::lock_guard lock(decoder->mutex);
            if (std::exchange(seek, false))
                decoder->Seek(start);
            return decoder->Read(out, frames);
        },
        chans_, AheadSeconds * freq_);
    playback_ = Playback::Start(
        platform::Pulse(), freq_, chans_,
        [this](std::int16_t* out, std::size_t frames) { return ReadForPlayback(out, frames); },
        paused);
    if (!playback_)
        ahead_.reset();
    return playback_ != nullptr;
}

void FileStream::EndPlayback() {
    playback_.reset();
    ahead_.reset();
}

bool FileStream::Play(bool restart) {
    if (Decoding())
        return false;
    std::lock_guard control(control_);
    if (restart) {
        EndPlayback();
        std::lock_guard lock(mutex_);
        RestAt(0);
    } else if (playback_) {
        playback_->SetPaused(false);
        return true;
    }
    return StartPlayback(false);
}

bool FileStream::Pause() {
    std::lock_guard control(control_);
    if (!playback_ || playback_->Ended() || playback_->Paused())
        return false;
    playback_->SetPaused(true);
    return true;
}

bool FileStream::Stop() {
    std::lock_guard control(control_);
    if (!playback_)
        return !Decoding();
    // A later resume goes on from what was heard, not from what was read ahead or queued.
    const std::uint64_t heard = HeardFrame();
    EndPlayback();
    std::lock_guard lock(mutex_);
    RestAt(heard);
    return true;
}

DWORD FileStream::IsActive() {
    std::lock_guard control(control_);
    if (Decoding()) {
        std::lock_guard lock(mutex_);
        return position_ < decoder_->length ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    }
    if (!playback_ || playback_->Ended())
        return BASS_ACTIVE_STOPPED;
    return playback_->Paused() ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_PLAYING;
}

DWORD FileStream::Spectrum(float* out) {
    std::int16_t frames[SpectrumPoints * 2] = {};
    // The window starts at what is heard now, or ends at the last frame handed out.
    std::uint64_t start = HeardFrame();
    std::lock_guard lock(mutex_);
    if (start + SpectrumPoints > historyEnd_)
        start = historyEnd_ >= SpectrumPoints ? historyEnd_ - SpectrumPoints : 0;
    for (int i = 0; i < SpectrumPoints; ++i) {
        const std::uint64_t frame = start + std::uint64_t(i);
        if (frame >= historyBegin_ && frame < historyEnd_)
            std::memcpy(&frames[i * chans_], &history_[(frame % HistoryFrames) * chans_],
                        FrameBytes());
    }
    ComputeSpectrum(frames, int(chans_), out);
    return DWORD(SpectrumBins * chans_ * sizeof(float));
}

DWORD FileStream::GetData(void* buffer, DWORD length) {
    if (length == SpectrumRequest && !Decoding()) {
        std::lock_guard control(control_);
        return Spectrum(static_cast<float*>(buffer));
    }
    if (!Decoding() || (length & 0x80000000u) != 0)
        return BASS_DWORD_ERROR;
    std::lock_guard reading(decoder_->mutex);
    const std::size_t frames =
        decoder_->Read(static_cast<std::int16_t*>(buffer), length / FrameBytes());
    std::lock_guard lock(mutex_);
    position_ = decoder_->file->Position();
    return DWORD(frames * FrameBytes());
}

} // namespace audio
