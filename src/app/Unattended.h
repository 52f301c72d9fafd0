#pragma once
// What records while nobody is at the keys: the scheduled recording that starts when due and
// ends after its length, and the start on sound that starts (or resumes) with its pre-roll and
// ends (or pauses) after its hang time.

#include "app/RecordingOutput.h"
#include "app/Session.h"
#include "app/VoiceGate.h"
#include "engine/Processing.h"
#include "engine/global.h"

#include <string>

class Unattended {
public:
    Unattended(RecordingSettings& settings, Session& session, RecordingOutput& output,
               RecordingOutput::Tell tell);

    // Arms the start on sound when [Voice Activation] asks for it.
    void ArmVoice();
    // The user stopped: the start on sound is disarmed.
    void DisarmVoice();
    // Every block while monitoring or recording: the start on sound listens.
    void ListenForVoice(const ConvertedBlock& block);
    // Paused on silence, the blocks wait in the start on sound's pre-roll, not in the file.
    bool PausedOnSilence() const { return voicePaused_; }
    // After a block went to the file: the one that completes the hang time ends the file, or
    // lets it wait for the next sound.
    void BlockRecorded();
    // The recording's output has just started (or failed to).
    void OutputStarted(bool started);
    // Once the poll is over: starts or resumes on the sound it heard.
    void StartOnSoundDue();
    // Starts the scheduled recording when it is due, and reports one that was missed.
    void RunSchedule();
    // The start on sound waiting ("Armed") or hearing silence ("Pausing in 3 s"), the
    // scheduled recording waiting ("Waiting - starts 14:00:00"); empty for none of them.
    std::string Status() const;

private:
    // After the poll that heard the sound: starts or resumes, the kept blocks first.
    void StartOnSound();
    void WriteKeptBlocks();

    RecordingSettings& settings_;
    Session& session_;
    RecordingOutput& output_;
    RecordingOutput::Tell tell_;
    VoiceGate voice_;
    bool voiceArmed_ = false;
    bool voiceRecording_ = false; // this recording was started by sound and ends on silence
    bool voicePaused_ = false;    // it waits for sound again, in the same file
    bool hangOver_ = false;       // the block being polled completes the hang time
    bool onsetDue_ = false;       // start on sound once the poll is over
    bool startingOnSound_ = false;
};
