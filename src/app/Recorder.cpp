#include "app/Recorder.h"

#include "audio/RecordDevices.h"
#include "engine/AudioLoss.h"
#include "engine/FileWatch.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "library/RecentFolders.h"
#include "library/SettingsFile.h"
#include "platform/CacheLocation.h"
#include "platform/DriveType.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/SystemCommand.h"
#include "platform/Tick.h"

#include <iterator>
#include <span>
#include <utility>

Recorder::Recorder(std::string settingsFile, RecorderWindow& window, std::unique_ptr<WaveIn> device,
                   TickSource tick)
    : settingsFile_(std::move(settingsFile)), window_(window), device_(std::move(device)),
      ring_(*device_, [this] { return tick_(); }),
      tick_(tick ? std::move(tick) : TickSource(platform::GetTickCount)),
      durations_(platform::DurationCacheFile()) {}

Recorder::~Recorder() {
    ring_.CloseCapture();
    if (audioStarted_) {
        BASS_RecordFree();
        audio::PairRecordDevices(nullptr);
        BASS_Free();
        BASS_PluginFree(wmaPlugin_);
    }
}

MaybeMessage Recorder::Create() {
    ReadSettingsFile(settingsFile_, Settings, platform::DecimalSeparator());
    std::string error;
    if (!SettleOutputFolder(Settings, Library, error, folderLook_))
        return ErrorMessage(error);
    SetupScreens(Screens);
    durations_.LoadStored(Library);
    created_ = true;
    ArmVoice();
    return std::nullopt;
}

void Recorder::StartAudio() {
    if (!created_)
        return;
    // The program goes on whatever these return.
    BASS_Init(-1, 44100, 0, nullptr, nullptr);
    wmaPlugin_ = BASS_PluginLoad("basswma.dll", 0);
    audio::PairRecordDevices(device_.get());
    audioStarted_ = true;
    if (device_->GetNumDevs() > 0) {
        InitSource();
    } else if (Flags.VistaMode) {
        ShowMessage("Please, select and enable an audio source!");
        platform::StartSystemCommand("control mmsys.cpl,,1");
    }
}

void Recorder::RescanAndSort() {
    window_.ShowBusy(true);
    listing_.Request(Settings.OutputFolder, HeldFiles(Writers));
}

void Recorder::ShowListing() {
    std::optional<FolderFiles> listed = listing_.Take();
    if (!listed)
        return;
    window_.ShowBusy(false);
    ApplyListing(listed->folder, std::move(listed->files), Library);
    durations_.Probe(Library);
    SortFileList(Settings.Sort, Library.CurrentFile, Library);
    window_.FileListChanged();
}

bool Recorder::PollTick() {
    if (!polling_) {
        polling_ = true;
        const SessionState& s = State();
        ring_.PollCapture(Settings, Block, {s.IsRecording, s.IsPaused, s.IsPlaying}, *this);
        polling_ = false;
        if (output_.TakeStopDue())
            session.StopAll();
        unattended_.StartOnSoundDue();
        if (created_)
            unattended_.RunSchedule();
        ShowListing();
    }
    const bool elapsedChanged = session.UpdateElapsed();
    // A box opened inside the capture tick would hold its timer, and the capture, until it is
    // closed: what the tick has to tell is shown from an event of its own.
    if (!pendingMessages_.empty() && !showingMessages_)
        window_.RunLater([this] { ShowPendingMessages(); });
    return elapsedChanged;
}

void Recorder::WatchTick() {
    // A box the watch shows lets the timers run; their ticks must not watch inside the watch.
    if (!created_ || watching_)
        return;
    watching_ = true;
    // A device that ended on its own (its source vanished) is closed, so the watch sees the
    // capture closed and reopens it when the device is back.
    if (device_->DeviceLost())
        ring_.CloseCapture();
    WatchDevices(*this, Watch, Flags.VistaMode);
    if (State().IsRecording) {
        MaybeMessage moved = FollowCurrentFile(Writers);
        Library.CurrentFile = Writers.CurrentFile;
        Notify(std::move(moved));
    }
    // Files the writers finished in the background are listed once they are complete.
    WriterNews news = PollWriters(Writers);
    // The parts a split finished are listed while the recording goes on.
    if (!news.FinishedFiles.empty() && (!State().IsRecording || output_.Split()))
        RescanAndSort();
    Notify(std::move(news.Message));
    // A "Duration" order sorts again as durations come in; the others keep their rows.
    if (durations_.Poll(Library)) {
        SortFileList(Settings.Sort, Library.CurrentFile, Library);
        window_.FileListCellsChanged();
    }
    watching_ = false;
}

MaybeMessage Recorder::Finish(bool unattended) {
    closingBySignal_ = unattended;
    session.StopRecording();
    // The program must not end before every file is complete.
    FinishAllWriters(Writers);
    Player.StopAndFree();
    ring_.CloseCapture();
    if (auto failure = WriteSettingsFile(settingsFile_, Settings, platform::DecimalSeparator()))
        return ErrorMessage(*failure);
    return std::nullopt;
}

void Recorder::ReopenCaptureAfterFormatChange(std::int32_t channelsBefore) {
    ring_.CloseCapture();
    OpenCapture();
    if (Settings.Channels != channelsBefore)
        ClearDisplay();
}

void Recorder::SetInputLevel(float level) {
    if (State().IsPlaying)
        return;
    Inputs.InputLevel = level;
    window_.ProcessPendingEvents();
    BASS_RecordSetInput(Inputs.InputIndex, BASS_INPUT_ON, Inputs.InputLevel);
}

void Recorder::StartMixer(MixerTrigger trigger) {
    if (trigger != MixerTrigger::ControlButton && State().IsRecording)
        return;
    if (trigger == MixerTrigger::DeviceMenu)
        platform::StartSystemCommand("control mmsys.cpl,,2");
    else
        platform::StartSystemCommand(Flags.VistaMode ? "control mmsys.cpl,,1" : "Sndvol32.exe -R");
}

void Recorder::AddMarker() {
    if (State().IsRecording)
        output_.AddMarker(State().IsPaused);
}

std::string Recorder::UnattendedStatus() const {
    return unattended_.Status();
}

void Recorder::Stop() {
    unattended_.DisarmVoice();
    session.StopAll();
}

void Recorder::ArmVoice() {
    unattended_.ArmVoice();
}

void Recorder::Notify(MaybeMessage message) {
    if (!message)
        return;
    pendingMessages_.push_back(std::move(*message));
    if (!polling_)
        ShowPendingMessages();
}

std::vector<UserMessage> Recorder::TakeUntoldMessages() {
    std::vector<UserMessage> untold(std::make_move_iterator(pendingMessages_.begin()),
                                    std::make_move_iterator(pendingMessages_.end()));
    pendingMessages_.clear();
    return untold;
}

void Recorder::ShowPendingMessages() {
    // One box at a time: a tick that runs while a box is open leaves its messages queued.
    if (showingMessages_ || closingBySignal_)
        return;
    showingMessages_ = true;
    while (!pendingMessages_.empty()) {
        const UserMessage message = std::move(pendingMessages_.front());
        pendingMessages_.pop_front();
        window_.ShowMessage(message);
    }
    showingMessages_ = false;
}

void Recorder::OpenCapture() {
    const OpenResult result = ring_.OpenCapture(Settings);
    if (result.Outcome == OpenOutcome::Failed)
        ShowMessage(result.ErrorText);
    if (result.Outcome == OpenOutcome::Opened) {
        SetScreenScales(Screens, Settings);
        KeepPauseAfterReopen();
    }
}

void Recorder::KeepPauseAfterReopen() {
    if (State().IsRecording && State().IsPaused)
        ring_.StopCapture();
}

int Recorder::CaptureDeviceCount() {
    return static_cast<int>(device_->GetNumDevs());
}

bool Recorder::OutputFolderOnCdrom() {
    // A folder that does not answer is told of by the name pick.
    return folderLook_
        .Within<bool>([folder = Settings.OutputFolder] { return platform::IsOnCdrom(folder); })
        .value_or(false);
}

void Recorder::ShowMessage(const std::string& text) {
    Notify(PlainMessage(text));
}

void Recorder::ProcessPendingEvents() {
    window_.ProcessPendingEvents();
}

std::uint32_t Recorder::TickCount() {
    return tick_();
}

void Recorder::PickNextRecordFile() {
    namePick_ = MakeNextRecordFileName(Settings, Library, folderLook_);
}

bool Recorder::StartOutput() {
    // Every number taken or no format: never overwrite a recording.
    if (namePick_ == NamePick::NoAnswer) {
        ShowMessage("No recording can start: " + NoAnswerText(Settings.OutputFolder) + ".");
        return false;
    }
    if (Library.CurrentFile.empty()) {
        ShowMessage("No recording can start: every record name of the output folder is taken.");
        return false;
    }
    if (!ring_.IsOpen()) {
        ShowMessage("No recording can start: the audio source is not open.");
        return false;
    }
    Writers.NextFileName = [this] {
        MakeNextRecordFileName(Settings, Library, folderLook_, Writers.CurrentFile);
        return Library.CurrentFile;
    };
    ResetAudioLost(ring_);
    StartResult result = StartWriters(Writers, Settings, Library.CurrentFile, true);
    Notify(std::move(result.Message));
    output_.Start(Library.CurrentFile);
    unattended_.OutputStarted(result.Started);
    return result.Started;
}

void Recorder::StopOutput() {
    StopWriters(Writers);
}

void Recorder::ReportLostAudio() {
    const std::uint64_t lost = LostAudioMs();
    if (lost > 0)
        Notify(PlainMessage("The recording misses " + LostAudioText(lost) +
                            " of audio that could not be taken in time."));
}

std::uint64_t Recorder::LostAudioMs() const {
    return AudioLostMs(ring_, Writers) + output_.LostInPartsMs();
}

void Recorder::DeleteCurrentFile() {
    platform::DeleteFile(Library.CurrentFile);
}

void Recorder::ClearStatusText() {
    window_.ClearStatusText();
}

void Recorder::StopCapture() {
    ring_.StopCapture();
}

void Recorder::StartCapture() {
    ring_.StartCapture();
}

void Recorder::PausePlayer() {
    Player.PauseStream();
}

void Recorder::ResumePlayer() {
    Player.ResumeStream();
}

void Recorder::StopPlayer() {
    Player.FreeStream();
}

std::vector<std::string> Recorder::ListCaptureDevices() {
    ring_.ListCaptureDevices();
    return ring_.DeviceNames();
}

std::string Recorder::CurrentDeviceName() {
    return ring_.CurrentDeviceName();
}

void Recorder::CloseCapture() {
    ring_.CloseCapture();
}

void Recorder::ClearDisplay() {
    ClearScreens(Screens, Settings, Block);
}

void Recorder::InitSource() {
    ring_.ReadCurrentDeviceName();
    Watch.KnownDeviceName = ring_.CurrentDeviceName();
    BASS_RecordFree();
    OpenCapture();
    BASS_RecordInit(0);
    ScanInputs(Inputs, false);
    SwitchInputsOn(Inputs);
    ring_.ListCaptureDevices();
}

void Recorder::ReadInputLevel0() {
    BASS_RecordGetInput(0, &Inputs.InputLevel);
}

void Recorder::RestartProgram() {
    RestartRequested = true;
    // A running recording is finished and the settings written, as closing the window does.
    window_.RestartProgram();
}

void Recorder::RescanInputs() {
    ScanInputs(Inputs, true);
}

std::string Recorder::ReadDeviceName0() {
    ring_.ReadCurrentDeviceName();
    return ring_.CurrentDeviceName();
}

void Recorder::ReopenCapture(const std::string& name) {
    ring_.CloseCapture();
    BASS_RecordFree();
    ClearDisplay();
    OpenCapture();
    const int device = ring_.FindCaptureDevice(name);
    BASS_RecordSetDevice(static_cast<DWORD>(device));
    BASS_RecordInit(device);
}

std::string Recorder::InputName() {
    return SelectedInputName(Inputs);
}

void Recorder::ShowBlock(const ConvertedBlock& block) {
    DrawScreens(Screens, Settings, block);
    unattended_.ListenForVoice(block);
}

void Recorder::RecordBlock(const ConvertedBlock& block) {
    // The scheduled length is complete, or the next part could not start: the stop follows
    // the poll, and the blocks until then belong to no file. Paused on silence, the blocks
    // wait in the start on sound's pre-roll.
    if (output_.StopDue() || unattended_.PausedOnSilence())
        return;
    output_.Write(std::span(block.OutputBlock.data(), block.OutputBytes));
    unattended_.BlockRecorded();
}
