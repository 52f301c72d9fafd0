#include "app/Unattended.h"

#include "app/Schedule.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <span>
#include <utility>

Unattended::Unattended(RecordingSettings& settings, Session& session, RecordingOutput& output,
                       RecordingOutput::Tell tell)
    : settings_(settings), session_(session), output_(output), tell_(std::move(tell)) {}

void Unattended::ArmVoice() {
    voiceArmed_ = settings_.VoiceMode == 1 || settings_.VoiceMode == 2;
    voice_.Arm(settings_);
}

void Unattended::DisarmVoice() {
    voiceArmed_ = false;
    voicePaused_ = false;
    voice_.TakeKept();
}

void Unattended::ListenForVoice(const ConvertedBlock& block) {
    if (!voiceArmed_)
        return;
    const float peak = std::max(block.PeakLeft, block.PeakRight);
    const std::span output(block.OutputBlock.data(), block.OutputBytes);
    const double blockMs = 1000.0 * settings_.BlockFrames / OutputRate(settings_);
    if (!session_.State().IsRecording || voicePaused_) {
        onsetDue_ = voice_.Wait(output, peak, blockMs);
        return;
    }
    // The block that completes the hang time is still written.
    hangOver_ = voiceRecording_ && voice_.Silent(peak, blockMs);
}

void Unattended::BlockRecorded() {
    if (!std::exchange(hangOver_, false))
        return;
    // After the silence: the file ends, or waits in the same file for the next sound.
    if (settings_.VoiceMode == 2) {
        output_.StopAfterPoll();
    } else {
        voicePaused_ = true;
        voice_.TakeKept();
    }
}

void Unattended::OutputStarted(bool started) {
    voiceRecording_ = startingOnSound_;
    voicePaused_ = false;
    hangOver_ = false;
    if (startingOnSound_ && started)
        WriteKeptBlocks();
}

void Unattended::StartOnSoundDue() {
    // A poll inside the start's own events hears the sound that is starting it.
    if (std::exchange(onsetDue_, false) && !startingOnSound_)
        StartOnSound();
}

void Unattended::StartOnSound() {
    if (!session_.State().IsRecording) {
        // The output's start writes the kept blocks, before any block a poll in the start's
        // events takes while recording.
        startingOnSound_ = true;
        session_.StartRecording();
        startingOnSound_ = false;
        if (!session_.State().IsRecording)
            voice_.TakeKept();
        return;
    }
    voicePaused_ = false;
    WriteKeptBlocks();
}

void Unattended::WriteKeptBlocks() {
    for (const std::vector<std::uint8_t>& kept : voice_.TakeKept())
        output_.Write(kept);
}

void Unattended::RunSchedule() {
    const auto now = std::chrono::system_clock::now();
    const ScheduleCheck check = CheckSchedule(settings_, now);
    if (check.State != ScheduleState::Due && check.State != ScheduleState::Missed)
        return;
    AdvanceSchedule(settings_, now);
    if (check.State == ScheduleState::Missed) {
        tell_(PlainMessage("The recording scheduled for " + FormatStartAt(check.Start) +
                           " was not started: that time passed more than a minute ago." +
                           (settings_.ScheduleEnabled
                                ? " The next starts " + settings_.ScheduleStartAt + "."
                                : "")));
        return;
    }
    // Exactly as F5: a recording already running goes on as it is.
    if (session_.State().IsRecording)
        return;
    session_.StartRecording();
    if (session_.State().IsRecording && settings_.ScheduleDuration > 0)
        output_.EndAfter(static_cast<std::uint64_t>(settings_.ScheduleDuration) *
                         OutputRate(settings_));
}

std::string Unattended::Status() const {
    if (voiceArmed_ && (!session_.State().IsRecording || voicePaused_))
        return "Armed";
    if (voiceRecording_ && voice_.SilentMs() > 0) {
        const double left = std::max(voice_.HangTimeMs() - voice_.SilentMs(), 0.0);
        return "Pausing in " + std::to_string(static_cast<int>(std::ceil(left / 1000))) + " s";
    }
    const ScheduleCheck check = CheckSchedule(settings_, std::chrono::system_clock::now());
    if (check.State != ScheduleState::Waiting)
        return {};
    return "Waiting - starts " + FormatStartAt(check.Start).substr(11);
}
