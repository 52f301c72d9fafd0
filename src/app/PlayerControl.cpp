#include "app/PlayerControl.h"

#include "audio/StreamControl.h"
#include "platform/FileSystem.h"

#include <algorithm>

PlayerControl::PlayRequest PlayerControl::PlayCurrentFile() {
    const SessionState& state = session_.State();
    if (state.IsRecording || !HasCurrentFile())
        return PlayRequest::Refused;
    if (state.IsPlaying && !state.IsPaused)
        return PlayRequest::Refused;
    if (state.IsPlaying) {
        session_.PauseResume();
        return PlayRequest::Resumed;
    }
    if (!look_.Within<bool>([file = currentFile_] { return platform::PathExists(file); }))
        return PlayRequest::NoAnswer;
    // A pause left from a stopped stream would otherwise make the new playback read as paused.
    session_.ClearPlaybackPause();
    return PlayRequest::Open;
}

std::uint64_t PlayerControl::OpenAndPlay() {
    StopAndFreeStream(stream_);
    stream_ = BASS_StreamCreateFile(0, currentFile_.c_str(), 0, 0, 0);
    const QWORD length = BASS_ChannelGetLength(stream_, BASS_POS_BYTE);
    PlayFromStart();
    return length == BASS_QWORD_ERROR ? 0 : length;
}

void PlayerControl::PlayFromStart() {
    BASS_ChannelPlay(stream_, 1);
    session_.PlaybackStarted();
}

void PlayerControl::Play() {
    if (session_.State().IsRecording)
        return;
    session_.ClearPlaybackPause();
    if (HasCurrentFile())
        PlayFromStart();
}

void PlayerControl::Pause() {
    // Without a playback a pause would be left behind for the next recording.
    const SessionState& state = session_.State();
    if (state.IsRecording || !state.IsPlaying || !HasCurrentFile())
        return;
    session_.PauseResume();
}

void PlayerControl::Stop() {
    if (session_.State().IsRecording || !HasCurrentFile())
        return;
    BASS_ChannelStop(stream_);
    session_.ClearPlaybackPause();
}

void PlayerControl::MenuStop() {
    if (!session_.State().IsRecording)
        session_.StopAll();
}

void PlayerControl::Close() {
    StopAndFreeStream(stream_);
    session_.PlaybackEnded();
}

void PlayerControl::StopAndFree() {
    // A paused playback ends its pause too, or the next recording would start paused.
    if (session_.State().IsPlaying)
        Close();
}

void PlayerControl::PauseStream() {
    BASS_ChannelPause(stream_);
}

void PlayerControl::ResumeStream() {
    BASS_ChannelPlay(stream_, 0);
}

void PlayerControl::FreeStream() {
    StopAndFreeStream(stream_);
}

PlayerControl::Activity PlayerControl::Poll() {
    const DWORD active = BASS_ChannelIsActive(stream_);
    if (active == BASS_ACTIVE_STOPPED && session_.State().IsPlaying) {
        // A pause pressed on a stream that had just ended must not outlive it: a recording
        // started next would begin paused.
        session_.PlaybackEnded();
        return Activity::Ended;
    }
    return active == BASS_ACTIVE_PLAYING ? Activity::Playing : Activity::Other;
}

std::optional<std::uint64_t> PlayerControl::Position() const {
    const QWORD position = BASS_ChannelGetPosition(stream_, BASS_POS_BYTE);
    if (position == BASS_QWORD_ERROR)
        return std::nullopt;
    return position;
}

void PlayerControl::SetPosition(std::uint64_t bytes) {
    BASS_ChannelSetPosition(stream_, bytes, BASS_POS_BYTE);
}

double PlayerControl::Seconds(std::uint64_t bytes) const {
    return BASS_ChannelBytes2Seconds(stream_, bytes);
}

double PlayerControl::PositionSeconds() const {
    return BASS_ChannelBytes2Seconds(stream_, BASS_ChannelGetPosition(stream_, BASS_POS_BYTE));
}

float PlayerControl::Volume() const {
    return BASS_GetVolume();
}

void PlayerControl::SetVolume(float volume) {
    BASS_SetVolume(volume);
}

void PlayerControl::ReadSpectrum(std::span<float, SpectrumEntries> spectrum) const {
    if (BASS_ChannelGetData(stream_, spectrum.data(),
                            BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL) == BASS_DWORD_ERROR)
        std::ranges::fill(spectrum, 0.0f);
}
