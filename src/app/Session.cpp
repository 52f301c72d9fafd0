#include "app/Session.h"

void Session::StartRecording() {
    if (state.IsRecording || state.IsPlaying || host.CaptureDeviceCount() == 0)
        return;
    if (host.OutputFolderOnCdrom()) {
        host.ShowMessage("Can not save to CDROM drive");
        return;
    }
    state.StartTick = host.TickCount();
    host.ProcessPendingEvents();
    // A command that ran in the events above may have started a recording or a playback.
    if (state.IsRecording || state.IsPlaying)
        return;
    host.PickNextRecordFile();
    if (!host.StartOutput())
        return;
    state.IsRecording = true;
    host.ProcessPendingEvents();
    state.ElapsedOffset = 0;
}

void Session::StopRecording() {
    if (!state.IsRecording)
        return;
    // Cleared before the writers stop, so a tick running in between writes nothing.
    state.IsRecording = false;
    host.StopOutput();
    host.ProcessPendingEvents();
    host.RescanAndSort();
    host.ClearStatusText();
}

void Session::RestartRecording() {
    if (state.IsPaused || !state.IsRecording)
        return;
    state.IsRecording = false;
    host.StopOutput();
    host.ProcessPendingEvents();
    state.StartTick = host.TickCount();
    host.DeleteCurrentFile();
    host.ProcessPendingEvents();
    if (!host.StartOutput())
        return;
    state.IsRecording = true;
    host.ProcessPendingEvents();
    state.ElapsedOffset = 0;
}

void Session::PauseResume() {
    if (!state.IsPlaying && !state.IsRecording)
        return;
    if (!state.IsPaused) {
        if (state.IsRecording) {
            host.StopCapture();
            state.ElapsedOffset = state.Elapsed;
        }
        if (state.IsPlaying)
            host.PausePlayer();
        state.IsPaused = true;
    } else {
        if (state.IsRecording) {
            host.StartCapture();
            state.StartTick = host.TickCount();
        }
        if (state.IsPlaying)
            host.ResumePlayer();
        state.IsPaused = false;
    }
}

void Session::StopAll() {
    const bool wasPaused = state.IsPaused;
    state.IsPaused = false;
    if (state.IsRecording) {
        // Monitoring goes on after a paused recording.
        if (wasPaused)
            host.StartCapture();
        StopRecording();
    }
    if (state.IsPlaying) {
        host.StopPlayer();
        state.IsPlaying = false;
    }
}

bool Session::UpdateElapsed() {
    if (!state.IsRecording || state.IsPaused)
        return false;
    // Unsigned 32-bit arithmetic keeps the time right across the wrap of the tick count.
    state.Elapsed = host.TickCount() - state.StartTick + state.ElapsedOffset;
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
