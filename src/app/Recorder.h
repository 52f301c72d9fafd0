#pragma once
// The program's core: it owns every program-wide record (the settings, the capture device and
// its ring, the converted block, the writers, the screens, the library, the session, the record
// inputs, the device watch and the playback) and carries out what the windows ask. It
// needs no window: what only a window can do goes through RecorderWindow.

#include "app/DeviceWatch.h"
#include "app/PlayerControl.h"
#include "app/RecorderWindow.h"
#include "app/RecordingOutput.h"
#include "app/Session.h"
#include "app/Source.h"
#include "app/Unattended.h"
#include "app/WindowFlags.h"
#include "audio/Bass.h"
#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "engine/global.h"
#include "library/BackgroundDurations.h"
#include "library/Files.h"
#include "library/FolderListing.h"
#include "library/RecordNames.h"
#include "platform/WaveIn.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Recorder : private SessionHost, private DeviceWatchHost, private BlockConsumer {
public:
    using TickSource = std::function<std::uint32_t()>;

    // `settingsFile` is read by Create and written by Finish. The tick defaults to the system's
    // millisecond clock; tests hand in their own.
    Recorder(std::string settingsFile, RecorderWindow& window, std::unique_ptr<WaveIn> device,
             TickSource tick = {});
    ~Recorder() override;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    RecordingSettings Settings;
    LibraryState Library;
    Session session{*this};
    DeviceWatchState Watch;
    RecordInputs Inputs;
    ConvertedBlock Block;
    WriterState Writers;
    ScreenState Screens;
    WindowFlags Flags;
    PlayerControl Player{session, Library.CurrentFile};
    // Set when the program is to start again once this instance has ended.
    bool RestartRequested = false;

    WaveIn& CaptureDevice() { return *device_; }
    CaptureRing& Ring() { return ring_; }
    const SessionState& State() const { return session.State(); }

    // Reads the settings file, settles the output folder and sets up the screens. The folder
    // error, if any, comes back; the program then runs without capture, audio library or hot
    // keys (Created stays false).
    MaybeMessage Create();
    bool Created() const { return created_; }
    // The audio library and the recording source; without any capture device, asks for one.
    void StartAudio();

    // Has the output folder listed in the background, under the busy cursor; PollTick shows the
    // sorted list once the listing is in (the selection follows the current file), and the
    // durations the listing did not know are probed in the background and shown by WatchTick as
    // they come.
    void RescanAndSort() override;

    // The 33 ms tick: takes the captured blocks and a folder listing that came in. True when the
    // elapsed time changed and should be shown. Messages raised while polling are shown after the
    // poll has returned, so a box's own event loop never runs a poll inside a poll.
    bool PollTick();
    // The device watch of the 500 ms status tick; also shows the durations probed since.
    void WatchTick();

    // Closing: ends the recording and the playback, closes the capture and writes the settings
    // file. A write failure comes back as an error to show. `unattended` (a signal closes the
    // program) shows no box nobody may answer: what there was to tell waits in
    // TakeUntoldMessages.
    MaybeMessage Finish(bool unattended = false);
    std::vector<UserMessage> TakeUntoldMessages();

    // After the format dialog: reopens the capture in the new format, clearing the screens when
    // the channel count changed.
    void ReopenCaptureAfterFormatChange(std::int32_t channelsBefore);

    // The selected input's level from the level knob; while a file plays the level stays.
    void SetInputLevel(float level);
    // Where the system's mixer or device page is started from.
    enum class MixerTrigger { SourceLabel, ControlButton, ControlMenu, DeviceMenu };
    // Starts the sound server's volume control for the trigger; the label and the menus do
    // nothing while recording.
    void StartMixer(MixerTrigger trigger);

    // Audio of the running recording that reached no file, in milliseconds.
    std::uint64_t LostAudioMs() const;

    // Notes a marker at the recorded position of the current file in its label file; nothing
    // unless recording.
    void AddMarker();
    // What the status shows of a recording without a hand on the keys: the start on sound
    // waiting ("Armed") or hearing silence ("Pausing in 3 s"), the scheduled recording waiting
    // ("Waiting - starts 14:00:00"); empty for none of them.
    std::string UnattendedStatus() const;
    // F9 and the stop button: the session's StopAll, and the start on sound is disarmed.
    void Stop();
    // Arms the start on sound when [Voice Activation] asks for it (at creation, after the
    // settings changed).
    void ArmVoice();

private:
    void Notify(MaybeMessage message);
    void ShowPendingMessages();
    void OpenCapture();
    // A capture reopened while a recording is paused must stay stopped.
    void KeepPauseAfterReopen();
    void ShowListing();

    // SessionHost
    int CaptureDeviceCount() override;
    bool OutputFolderOnCdrom() override;
    void ShowMessage(const std::string& text) override;
    void ProcessPendingEvents() override;
    std::uint32_t TickCount() override;
    void PickNextRecordFile() override;
    bool StartOutput() override;
    void StopOutput() override;
    void ReportLostAudio() override;
    void DeleteCurrentFile() override;
    void ClearStatusText() override;
    void StopCapture() override;
    void StartCapture() override;
    void PausePlayer() override;
    void ResumePlayer() override;
    void StopPlayer() override;

    // DeviceWatchHost
    bool IsRecording() override { return State().IsRecording; }
    std::vector<std::string> ListCaptureDevices() override;
    std::string CurrentDeviceName() override;
    void CloseCapture() override;
    void ClearDisplay() override;
    void InitSource() override;
    void ReadInputLevel0() override;
    void RestartProgram() override;
    void RescanInputs() override;
    std::string ReadDeviceName0() override;
    void ReopenCapture(const std::string& name) override;
    std::string InputName() override;

    // BlockConsumer
    void ShowBlock(const ConvertedBlock& block) override;
    void RecordBlock(const ConvertedBlock& block) override;

    const std::string settingsFile_;
    RecorderWindow& window_;
    std::unique_ptr<WaveIn> device_;
    CaptureRing ring_;
    TickSource tick_;
    bool created_ = false; // creation ran to its end (the output folder was usable)
    bool audioStarted_ = false;
    HPLUGIN wmaPlugin_ = 0;
    bool polling_ = false;
    bool watching_ = false;
    bool showingMessages_ = false;
    bool closingBySignal_ = false; // closing by a signal: no boxes any more
    std::deque<UserMessage> pendingMessages_;
    // The looks at the output folder: settling it, the CD-ROM check and the record name pick.
    platform::TimedPathLookup folderLook_;
    NamePick namePick_ = NamePick::Picked;
    // Messages of the recording's output and of the unattended recording.
    RecordingOutput::Tell tell_ = [this](MaybeMessage message) { Notify(std::move(message)); };
    RecordingOutput output_{Settings, Library, Writers, ring_, [this] { return tick_(); }, tell_};
    Unattended unattended_{Settings, session, output_, tell_};
    BackgroundDurations durations_;
    FolderListing listing_;
};
