#pragma once
// The recording session: record, pause, restart and stop, and the elapsed recording time. A
// plain state machine and the only writer of the session's flags: the player reports a
// playback's turns to it (PlayerControl), everyone else reads the flags. Everything it does to the
// world goes through SessionHost, which the core (Recorder) implements with the capture ring, the
// writers, the file list and the player.

#include "engine/SessionState.h"

#include <cstdint>
#include <string>

// What the session asks of the rest of the program.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    virtual int CaptureDeviceCount() = 0;
    virtual bool OutputFolderOnCdrom() = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // Lets pending window events run; they may call back into the session.
    virtual void ProcessPendingEvents() = 0;
    virtual std::uint32_t TickCount() = 0;
    // Makes the next free record name of the output folder the current file.
    virtual void PickNextRecordFile() = 0;
    // False when the output could not be started (the writers have told the user).
    virtual bool StartOutput() = 0;
    virtual void StopOutput() = 0;
    // After a finished recording: says how much of its audio was lost, if any.
    virtual void ReportLostAudio() = 0;
    virtual void DeleteCurrentFile() = 0;
    // Rescans the output folder under the busy cursor and sorts the list.
    virtual void RescanAndSort() = 0;
    virtual void ClearStatusText() = 0;
    virtual void StopCapture() = 0;
    virtual void StartCapture() = 0;
    virtual void PausePlayer() = 0;
    virtual void ResumePlayer() = 0;
    // Stops the player's stream and frees it; the session clears IsPlaying.
    virtual void StopPlayer() = 0;
};

class Session {
public:
    explicit Session(SessionHost& host) : host_(host) {}

    const SessionState& State() const { return state_; }

    void StartRecording();
    void StopRecording();
    void RestartRecording();
    void PauseResume();
    void StopAll();
    // The time part of the 33 ms tick: true when `Elapsed` was brought up to date and the time
    // labels should show it (recording and not paused).
    bool UpdateElapsed();

    // A playback's turns as the player reports them. Ended also takes back the playback's pause;
    // a pause that belongs to a recording is never the player's to clear.
    void PlaybackStarted();
    void PlaybackStopped();
    void PlaybackEnded();
    void ClearPlaybackPause();

private:
    SessionHost& host_;
    SessionState state_;
};

// Hours, minutes and seconds of a millisecond count as "hh:mm:ss", each cut to two digits (100
// hours reads 10:00:00).
std::string FormatElapsed(std::uint32_t milliseconds);
