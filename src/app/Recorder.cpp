#include "app/Recorder.h"

#include "app/Schedule.h"
#include "audio/StreamControl.h"
#include "engine/AudioLoss.h"
#include "engine/FileWatch.h"
#include "engine/OutputFormats.h"
#include "engine/WavFile.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "library/LabelFiles.h"
#include "library/RecentFolders.h"
#include "library/RecordNames.h"
#include "library/SettingsFile.h"
#include "platform/CacheLocation.h"
#include "platform/DriveType.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/SystemCommand.h"
#include "platform/Tick.h"

#include <algorithm>
#include <cmath>
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
        BASS_Free();
        BASS_PluginFree(wmaPlugin_);
    }
}

MaybeMessage Recorder::Create() {
    ReadSettingsFile(settingsFile_, Settings, platform::DecimalSeparator());
    std::string error;
    if (!SettleOutputFolder(Settings, Library, error))
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
    audioStarted_ = true;
    if (device_->GetNumDevs() > 0) {
        InitSource();
    } else if (Flags.VistaMode) {
        ShowMessage("Please, select and enable an audio source!");
        platform::StartSystemCommand("control mmsys.cpl,,1");
    }
}

void Recorder::RescanAndSort() {
    window_.RunBusy(
        [this] { ScanOutputFolder(Settings.OutputFolder, Library, HeldFiles(Writers)); });
    durations_.Probe(Library);
    SortFileList(Settings.Sort, Library.CurrentFile, Library);
    window_.FileListChanged();
}

bool Recorder::PollTick() {
    if (!polling_) {
        polling_ = true;
        const SessionState& s = session.state;
        ring_.PollCapture(Settings, Block, {s.IsRecording, s.IsPaused, s.IsPlaying}, *this);
        polling_ = false;
        if (std::exchange(stopDue_, false))
            session.StopAll();
        // A poll inside the start's own events hears the sound that is starting it.
        if (std::exchange(onsetDue_, false) && !startingOnSound_)
            StartOnSound();
        RunSchedule();
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
    if (session.state.IsRecording) {
        MaybeMessage moved = FollowCurrentFile(Writers);
        Library.CurrentFile = Writers.CurrentFile;
        Notify(std::move(moved));
    }
    // Files the writers finished in the background are listed once they are complete.
    WriterNews news = PollWriters(Writers);
    // The parts a split finished are listed while the recording goes on.
    if (!news.FinishedFiles.empty() && (!session.state.IsRecording || partsSplit_))
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
    unattended_ = unattended;
    session.StopRecording();
    // The program must not end before every file is complete.
    FinishAllWriters(Writers);
    if (session.state.IsPlaying) {
        StopPlayer();
        session.state.IsPlaying = false;
    }
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
    if (session.state.IsPlaying)
        return;
    Inputs.InputLevel = level;
    window_.ProcessPendingEvents();
    BASS_RecordSetInput(Inputs.InputIndex, BASS_INPUT_ON, Inputs.InputLevel);
}

void Recorder::StartMixer(MixerTrigger trigger) {
    if (trigger != MixerTrigger::ControlButton && session.state.IsRecording)
        return;
    if (trigger == MixerTrigger::DeviceMenu)
        platform::StartSystemCommand("control mmsys.cpl,,2");
    else
        platform::StartSystemCommand(Flags.VistaMode ? "control mmsys.cpl,,1" : "Sndvol32.exe -R");
}

void Recorder::AddMarker() {
    if (!session.state.IsRecording || part_.File.empty())
        return;
    const double seconds = MarkerSeconds(Settings, part_, tick_(), session.state.IsPaused);
    if (!WriteMarker(part_.File, seconds, ++part_.Markers))
        ShowMessage("The marker could not be written to " + LabelFilePath(part_.File) + ".");
}

std::string Recorder::UnattendedStatus() const {
    if (voiceArmed_ && (!session.state.IsRecording || voicePaused_))
        return "Armed";
    if (voiceRecording_ && voice_.SilentMs() > 0) {
        const double left = std::max(voice_.HangTimeMs() - voice_.SilentMs(), 0.0);
        return "Pausing in " + std::to_string(static_cast<int>(std::ceil(left / 1000))) + " s";
    }
    const ScheduleCheck check = CheckSchedule(Settings, std::chrono::system_clock::now());
    if (check.State != ScheduleState::Waiting)
        return {};
    return "Waiting - starts " + FormatStartAt(check.Start).substr(11);
}

void Recorder::Stop() {
    voiceArmed_ = false;
    voicePaused_ = false;
    voice_.TakeKept();
    session.StopAll();
}

void Recorder::ArmVoice() {
    voiceArmed_ = Settings.VoiceMode == 1 || Settings.VoiceMode == 2;
    voice_.Arm(Settings);
}

void Recorder::ListenForVoice(const ConvertedBlock& block) {
    if (!voiceArmed_)
        return;
    const float peak = std::max(block.PeakLeft, block.PeakRight);
    const std::span output(block.OutputBlock.data(), block.OutputBytes);
    const double blockMs = 1000.0 * Settings.BlockFrames / Settings.SamplesPerSecond;
    if (!session.state.IsRecording || voicePaused_) {
        onsetDue_ = voice_.Wait(output, peak, blockMs);
        return;
    }
    // The block that completes the hang time is still written.
    hangOver_ = voiceRecording_ && voice_.Silent(peak, blockMs);
}

void Recorder::StartOnSound() {
    if (!session.state.IsRecording) {
        // StartOutput writes the kept blocks, before any block a poll in the start's events
        // takes while recording.
        startingOnSound_ = true;
        session.StartRecording();
        startingOnSound_ = false;
        if (!session.state.IsRecording)
            voice_.TakeKept();
        return;
    }
    voicePaused_ = false;
    WriteKeptBlocks();
}

void Recorder::WriteKeptBlocks() {
    for (const std::vector<std::uint8_t>& kept : voice_.TakeKept())
        WriteOutput(kept);
}

void Recorder::RunSchedule() {
    if (!created_)
        return;
    const auto now = std::chrono::system_clock::now();
    const ScheduleCheck check = CheckSchedule(Settings, now);
    if (check.State != ScheduleState::Due && check.State != ScheduleState::Missed)
        return;
    AdvanceSchedule(Settings, now);
    if (check.State == ScheduleState::Missed) {
        ShowMessage(
            "The recording scheduled for " + FormatStartAt(check.Start) +
            " was not started: that time passed more than a minute ago." +
            (Settings.ScheduleEnabled ? " The next starts " + Settings.ScheduleStartAt + "." : ""));
        return;
    }
    // Exactly as F5: a recording already running goes on as it is.
    if (session.state.IsRecording)
        return;
    session.StartRecording();
    if (session.state.IsRecording && Settings.ScheduleDuration > 0)
        scheduledFrames_ =
            static_cast<std::uint64_t>(Settings.ScheduleDuration) * Settings.SamplesPerSecond;
}

double Recorder::PlayerPositionSeconds() {
    return BASS_ChannelBytes2Seconds(PlayerStream,
                                     BASS_ChannelGetPosition(PlayerStream, BASS_POS_BYTE));
}

void Recorder::StopPlayer() {
    StopAndFreeStream(PlayerStream);
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
    if (showingMessages_ || unattended_)
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
    if (session.state.IsRecording && session.state.IsPaused)
        ring_.StopCapture();
}

int Recorder::CaptureDeviceCount() {
    return static_cast<int>(device_->GetNumDevs());
}

bool Recorder::OutputFolderOnCdrom() {
    return platform::IsOnCdrom(Settings.OutputFolder);
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
    MakeNextRecordFileName(Settings, Library);
}

bool Recorder::StartOutput() {
    // Every number taken or no format: never overwrite a recording.
    if (Library.CurrentFile.empty()) {
        ShowMessage("No recording can start: every record name of the output folder is taken.");
        return false;
    }
    if (!ring_.IsOpen()) {
        ShowMessage("No recording can start: the audio source is not open.");
        return false;
    }
    Writers.NextFileName = [this] {
        MakeNextRecordFileName(Settings, Library, Writers.CurrentFile);
        return Library.CurrentFile;
    };
    ResetAudioLost(ring_);
    StartResult result = StartWriters(Writers, Settings, Library.CurrentFile, true);
    Notify(std::move(result.Message));
    part_ = {Library.CurrentFile};
    partsSplit_ = false;
    recordedFrames_ = 0;
    lostInPartsMs_ = 0;
    scheduledFrames_ = 0;
    stopDue_ = false;
    voiceRecording_ = startingOnSound_;
    voicePaused_ = false;
    hangOver_ = false;
    if (startingOnSound_ && result.Started)
        WriteKeptBlocks();
    return result.Started;
}

void Recorder::StartNextPart() {
    // The next part's writers count their losses anew.
    lostInPartsMs_ += WriterLostMs(Writers);
    StopWriters(Writers);
    partsSplit_ = true;
    MakeNextRecordFileName(Settings, Library, Writers.CurrentFile);
    if (Library.CurrentFile.empty()) {
        ShowMessage("The recording stopped: every record name of the output folder is taken.");
        stopDue_ = true;
        return;
    }
    StartResult result = StartWriters(Writers, Settings, Library.CurrentFile, ring_.IsOpen());
    Notify(std::move(result.Message));
    part_ = {Library.CurrentFile};
    if (!result.Started)
        stopDue_ = true;
}

std::uint64_t Recorder::PartFileBytesAfter(std::size_t blockBytes) const {
    // A WAV file is its header and the audio; an encoder's file is as large as it has grown.
    if (SelectedFormat(Settings).Kind == WriterKind::Wav)
        return std::tuple_size_v<WavHeader> + part_.Bytes + blockBytes;
    return platform::FileSize(part_.File);
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
    return AudioLostMs(ring_, Writers) + lostInPartsMs_;
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
    BASS_ChannelPause(PlayerStream);
}

void Recorder::ResumePlayer() {
    BASS_ChannelPlay(PlayerStream, 0);
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
    ListenForVoice(block);
}

void Recorder::RecordBlock(const ConvertedBlock& block) {
    // The scheduled length is complete, or the next part could not start: the stop follows
    // the poll, and the blocks until then belong to no file. Paused on silence, the blocks
    // wait in the start on sound's pre-roll.
    if (stopDue_ || voicePaused_)
        return;
    WriteOutput(std::span(block.OutputBlock.data(), block.OutputBytes));
    if (!std::exchange(hangOver_, false))
        return;
    // After the silence: the file ends, or waits in the same file for the next sound.
    if (Settings.VoiceMode == 2) {
        stopDue_ = true;
    } else {
        voicePaused_ = true;
        voice_.TakeKept();
    }
}

void Recorder::WriteOutput(std::span<const std::uint8_t> output) {
    if (PartFull(Settings, part_, PartFileBytesAfter(output.size()))) {
        StartNextPart();
        if (stopDue_)
            return;
    }
    MaybeMessage failure = WriteBlock(Writers, output);
    // A WAV recording that outgrew its file goes on in the next one.
    Library.CurrentFile = Writers.CurrentFile;
    if (Writers.CurrentFile != part_.File)
        part_ = {Writers.CurrentFile};
    const BlockFormat format = BlockFormatOf(Settings);
    const std::uint64_t frames = output.size() / (format.Channels * format.BytesPerSample);
    part_.Frames += frames;
    part_.Bytes += output.size();
    part_.LastBlockTick = tick_();
    recordedFrames_ += frames;
    if (scheduledFrames_ > 0 && recordedFrames_ >= scheduledFrames_)
        stopDue_ = true;
    Notify(std::move(failure));
}
