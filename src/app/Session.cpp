#include "app/Session.h"

void Session::StartRecording() {
    if (state_.IsRecording || state_.IsPlaying)
        return;
    // A key or button that cannot start a recording says why, rather than seeming lost.
    if (host_.CaptureDeviceCount() == 0) {
        host_.ShowMessage("No recording can start: there is no audio source.");
        return;
    }
    if (host_.OutputFolderOnCdrom()) {
        host_.ShowMessage("Can not save to CDROM drive");
        return;
    }
    state_.StartTick = host_.TickCount();
    host_.ProcessPendingEvents();
    // A command that ran in the events above may have started a recording or a playback.
    if (state_.IsRecording || state_.IsPlaying)
        return;
    host_.PickNextRecordFile();
    if (!host_.StartOutput())
        return;
    state_.IsRecording = true;
    host_.ProcessPendingEvents();
    state_.ElapsedOffset = 0;
}

void Session::StopRecording() {
    if (!state_.IsRecording)
        return;
    // Cleared before the writers stop, so a tick running in between writes nothing.
    state_.IsRecording = false;
    host_.StopOutput();
    host_.ReportLostAudio();
    host_.ProcessPendingEvents();
    host_.RescanAndSort();
    host_.ClearStatusText();
}

void Session::RestartRecording() {
    if (state_.IsPaused || !state_.IsRecording)
        return;
    state_.IsRecording = false;
    host_.StopOutput();
    host_.ProcessPendingEvents();
    state_.StartTick = host_.TickCount();
    host_.DeleteCurrentFile();
    host_.ProcessPendingEvents();
    if (!host_.StartOutput())
        return;
    state_.IsRecording = true;
    host_.ProcessPendingEvents();
    state_.ElapsedOffset = 0;
}

void Session::PauseResume() {
    if (!state_.IsPlaying && !state_.IsRecording)
        return;
    if (!state_.IsPaused) {
        if (state_.IsRecording) {
            host_.StopCapture();
            state_.ElapsedOffset = state_.Elapsed;
        }
        if (state_.IsPlaying)
            host_.PausePlayer();
        state_.IsPaused = true;
    } else {
        if (state_.IsRecording) {
            host_.StartCapture();
            state_.StartTick = host_.TickCount();
        }
        if (state_.IsPlaying)
            host_.ResumePlayer();
        state_.IsPaused = false;
    }
}

void Session::StopAll() {
    const bool wasPaused = state_.IsPaused;
    state_.IsPaused = false;
    if (state_.IsRecording) {
        // Monitoring goes on after a paused recording.
        if (wasPaused)
            host_.StartCapture();
        StopRecording();
    }
    if (state_.IsPlaying) {
        host_.StopPlayer();
        PlaybackStopped();
    }
}

bool Session::UpdateElapsed() {
    if (!state_.IsRecording || state_.IsPaused)
        return false;
    // Unsigned 32-bit arithmetic keeps the time right across the wrap of the tick count.
    state_.Elapsed = host_.TickCount() - state_.StartTick + state_.ElapsedOffset;
    return true;
}

void Session::PlaybackStarted() {
    state_.IsPlaying = true;
}

void Session::PlaybackStopped() {
    state_.IsPlaying = false;
}

void Session::PlaybackEnded() {
    PlaybackStopped();
    ClearPlaybackPause();
}

void Session::ClearPlaybackPause() {
    if (!state_.IsRecording)
        state_.IsPaused = false;
}

std::string FormatElapsed(std::uint32_t milliseconds) {
    const std::uint32_t hours = milliseconds / 3600000;
    const std::uint32_t minutes = milliseconds % 3600000 / 60000;
    const std::uint32_t seconds = milliseconds % 60000 / 1000;
    const auto two = [](std::uint32_t value) {
        std::string text = std::to_string(value);
        if (value < 10)
            text = "0" + text;
        return text.substr(0, 2);
    };
    return two(hours) + ":" + two(minutes) + ":" + two(seconds);
}
