#include "app/Session.h"

void Session::StartRecording() {
    if (state.IsRecording || state.IsPlaying)
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
    state.StartTick = host_.TickCount();
    host_.ProcessPendingEvents();
    // A command that ran in the events above may have started a recording or a playback.
    if (state.IsRecording || state.IsPlaying)
        return;
    host_.PickNextRecordFile();
    if (!host_.StartOutput())
        return;
    state.IsRecording = true;
    host_.ProcessPendingEvents();
    state.ElapsedOffset = 0;
}

void Session::StopRecording() {
    if (!state.IsRecording)
        return;
    // Cleared before the writers stop, so a tick running in between writes nothing.
    state.IsRecording = false;
    host_.StopOutput();
    host_.ReportLostAudio();
    host_.ProcessPendingEvents();
    host_.RescanAndSort();
    host_.ClearStatusText();
}

void Session::RestartRecording() {
    if (state.IsPaused || !state.IsRecording)
        return;
    state.IsRecording = false;
    host_.StopOutput();
    host_.ProcessPendingEvents();
    state.StartTick = host_.TickCount();
    host_.DeleteCurrentFile();
    host_.ProcessPendingEvents();
    if (!host_.StartOutput())
        return;
    state.IsRecording = true;
    host_.ProcessPendingEvents();
    state.ElapsedOffset = 0;
}

void Session::PauseResume() {
    if (!state.IsPlaying && !state.IsRecording)
        return;
    if (!state.IsPaused) {
        if (state.IsRecording) {
            host_.StopCapture();
            state.ElapsedOffset = state.Elapsed;
        }
        if (state.IsPlaying)
            host_.PausePlayer();
        state.IsPaused = true;
    } else {
        if (state.IsRecording) {
            host_.StartCapture();
            state.StartTick = host_.TickCount();
        }
        if (state.IsPlaying)
            host_.ResumePlayer();
        state.IsPaused = false;
    }
}

void Session::StopAll() {
    const bool wasPaused = state.IsPaused;
    state.IsPaused = false;
    if (state.IsRecording) {
        // Monitoring goes on after a paused recording.
        if (wasPaused)
            host_.StartCapture();
        StopRecording();
    }
    if (state.IsPlaying) {
        host_.StopPlayer();
        state.IsPlaying = false;
    }
}

bool Session::UpdateElapsed() {
    if (!state.IsRecording || state.IsPaused)
        return false;
    // Unsigned 32-bit arithmetic keeps the time right across the wrap of the tick count.
    state.Elapsed = host_.TickCount() - state.StartTick + state.ElapsedOffset;
    return true;
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
