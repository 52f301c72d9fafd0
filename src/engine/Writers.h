#pragma once
// The output writer of a recording, of the format the settings select (see OutputFormats.h),
// fed every converted block between start and stop.
//
// Everything here is called from the window thread and returns at once: the files are written
// and encoded by threads of their own, and a stop finishes the files in the background. PollWriters
// tells which files are complete and what to show; FinishAllWriters waits for them (at exit).

#include "engine/OutputWriter.h"
#include "engine/UserMessage.h"
#include "engine/global.h"
#include "platform/FileIdentity.h"
#include "platform/OutputFile.h"
#include "platform/TimedPathLookup.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The most audio bytes a WAV file can state: its RIFF size (data + 36) is a 32-bit field.
constexpr std::uint64_t WavDataLimit = 0xFFFFFFFFull - 36;

struct FinishingWriters; // the writers finishing in the background, and what they left to tell

struct WriterState {
    WriterState();
    ~WriterState(); // waits for the files still finishing
    WriterState(const WriterState&) = delete;
    WriterState& operator=(const WriterState&) = delete;

    // Set by the caller before the start and read by it after each block: a recording that
    // outgrows a WAV file goes on in the file named by NextFileName (the next free record
    // name), which then becomes the current file.
    std::string CurrentFile;
    std::function<std::string()> NextFileName;
    std::uint64_t MaxDataBytes = WavDataLimit;
    // How WAV files are made (tests wrap the real file to make the disk slow or failing), and
    // how much audio may wait for the disk: 0 is 60 s of the format.
    platform::FileCreator CreateFile = platform::CreateOutputFile;
    std::size_t WavQueueBytes = 0;

    // The format the running writers were started with.
    RecordingSettings Format;
    bool Running = false; // blocks are written while set

    std::unique_ptr<OutputWriter> Writer; // of the format the recording was started with
    std::uint64_t FileBytes = 0;          // handed to the current file
    bool WriterFailed = false;            // told once, then the failed writer gets no more blocks
    std::uint64_t LostBytes = 0;          // of this recording's output that reached no file
    // The current file as first seen on disk, to tell when another program deletes or
    // replaces it (FollowCurrentFile).
    std::string WatchedPath;
    std::optional<platform::FileIdentity> WatchedIdentity;
    // Looks at the path from the status tick: a stalled mount must not hold the window.
    platform::TimedPathLookup WatchLookup;
    // Creates the WAV files, for the same reason.
    platform::TimedPathLookup CreateLookup;

    std::unique_ptr<FinishingWriters> Finishing;
};

struct StartResult {
    bool Started = false; // false: the recording must not begin
    MaybeMessage Message; // to show (also when started: a failed encoder)
};

// What the writers finishing in the background have to tell.
struct WriterNews {
    std::vector<std::string> FinishedFiles; // complete on disk now: rescan the folder
    MaybeMessage Message;                   // one at a time; the next poll brings the next
    bool Busy = false;                      // files still finishing
};

// Starts the writer of the selected format on `currentFile`. Does nothing while the capture
// device is closed. A WAV file that cannot be created stops the start with a message naming
// the path and the reason; an encoder that cannot be started gives its message ("Could not
// start MP3 recording") and the recording runs on without a file. Counts the lost audio anew.
StartResult StartWriters(WriterState& writers, const RecordingSettings& settings,
                         const std::string& currentFile, bool captureOpen);

// Hands the first BlockBytes bytes of the output block to the running writer; only copies.
// Returns a message to show when the writer has just failed (the encoder ended, the disk
// refused a write, the next file cannot be created). A block the writer cannot take (its
// queue is full, or it has failed) is counted as lost.
MaybeMessage WriteBlock(WriterState& writers, std::span<const std::uint8_t> outputBlock);

// Ends the recording's writer and returns at once: the WAV file gets its final header and is
// closed, an encoder finishes its file, all in the background (an encoder that stopped reading
// is ended after 10 s without progress). Works whether or not the
// capture device is still open.
void StopWriters(WriterState& writers);

// For the status tick: which files have been finished since the last poll, and a message
// (a failed write found at the end, an encoder that had to be ended).
WriterNews PollWriters(WriterState& writers);

// Waits until every file is finished (at exit). The news stays for PollWriters.
void FinishAllWriters(WriterState& writers);

// The files the writers hold: the running recording's and those still finishing. A scan of the
// folder must not take them for leftovers, however small they are yet.
std::vector<std::string> HeldFiles(const WriterState& writers);

// Milliseconds of the running recording's audio the writers could not take.
std::uint64_t WriterLostMs(const WriterState& writers);
