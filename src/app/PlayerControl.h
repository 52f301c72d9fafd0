#pragma once
// The playback of the current file: the player's stream and what is done to it (open, play,
// pause, stop, free, position, volume, spectrum). The player window and the core call it; the
// playback's turns go to the session, the one writer of IsPlaying and IsPaused.

#include "app/Session.h"
#include "audio/Bass.h"
#include "display/PlayerDisplay.h"
#include "platform/TimedPathLookup.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

class PlayerControl {
public:
    // `currentFile` is the library's current file, the one the player plays.
    PlayerControl(Session& session, const std::string& currentFile)
        : session_(session), currentFile_(currentFile) {}
    PlayerControl(const PlayerControl&) = delete;
    PlayerControl& operator=(const PlayerControl&) = delete;

    const std::string& CurrentFile() const { return currentFile_; }
    // The stream's handle (0: none), for the audio library's own questions about it.
    HSTREAM Stream() const { return stream_; }

    // What PlayCurrentFile comes to: nothing (recording, no file, or already playing), a paused
    // playback resumed, the file to open (the window shows itself and runs OpenAndPlay), or
    // nothing because the file did not answer in a moment (a stalled mount; the window says so).
    enum class PlayRequest { Refused, Resumed, Open, NoAnswer };
    PlayRequest PlayCurrentFile();
    // Frees the old stream, opens the current file and plays it from the start. The decoded
    // length in bytes comes back, 0 for a file that does not open.
    std::uint64_t OpenAndPlay();

    // The player's own buttons; none of them acts while recording.
    void Play();  // from the start, also when paused
    void Pause(); // pauses or resumes a playback
    void Stop();  // the stream stays open; the next Poll ends the playback
    // The popup's Stop: while not recording, the session's StopAll (a playback only).
    void MenuStop();
    // The window closes: the stream is freed and the playback with its pause ends.
    void Close();
    // Before the file list or the program's end acts on the files: a playback ends as at Close.
    void StopAndFree();

    // The session's pause, resume and stop act on the stream through these.
    void PauseStream();
    void ResumeStream();
    void FreeStream();

    // The tick's look at the stream. A playback whose stream stopped (the file ended, or Stop
    // was pressed) ends here.
    enum class Activity { Ended, Playing, Other }; // Other: paused, stalled or nothing to play
    Activity Poll();

    // The position in bytes of decoded 16-bit PCM; nothing without a stream.
    std::optional<std::uint64_t> Position() const;
    void SetPosition(std::uint64_t bytes);
    double Seconds(std::uint64_t bytes) const;
    // The position in seconds as the audio library gives it (the status shows it while playing).
    double PositionSeconds() const;
    // The output volume 0..1 of the whole output (negative when it cannot be read).
    float Volume() const;
    void SetVolume(float volume);
    // The spectrum of what plays now, per channel; all 0 when it cannot be read.
    void ReadSpectrum(std::span<float, SpectrumEntries> spectrum) const;

private:
    bool HasCurrentFile() const { return !currentFile_.empty(); }
    void PlayFromStart();

    Session& session_;
    const std::string& currentFile_;
    HSTREAM stream_ = 0;
    // Opening reads the file on the window thread: it is looked at first, off that thread.
    platform::TimedPathLookup look_;
};
