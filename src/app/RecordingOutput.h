#pragma once
// Where the blocks of a running recording go: the current part's writers, the next file once a
// [Split] limit is reached (so the parts joined are the recording), the end of a scheduled
// length, and the markers of the current part.

#include "app/RecordingPart.h"
#include "engine/UserMessage.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "engine/global.h"
#include "library/Files.h"
#include "platform/TimedPathLookup.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

class RecordingOutput {
public:
    using TickSource = std::function<std::uint32_t()>;
    // Shows a message, or keeps it until the poll is over.
    using Tell = std::function<void(MaybeMessage)>;

    RecordingOutput(const RecordingSettings& settings, LibraryState& library, WriterState& writers,
                    const CaptureRing& ring, TickSource tick, Tell tell);

    // A recording starts in `file`: its counts start anew, with no length and no stop due.
    void Start(const std::string& file);
    // The recording stops once `frames` output frames are in, in every part.
    void EndAfter(std::uint64_t frames) { lengthFrames_ = frames; }
    // Hands the output bytes of a block to the writers and counts them.
    void Write(std::span<const std::uint8_t> output);
    // Notes a marker at the recorded position of the current file in its label file.
    void AddMarker(bool paused);

    // The recording is to stop once the poll is over: its length is complete, the next part
    // could not start, or StopAfterPoll asked for it.
    bool StopDue() const { return stopDue_; }
    void StopAfterPoll() { stopDue_ = true; }
    bool TakeStopDue() { return std::exchange(stopDue_, false); }
    // This recording went on in a next file.
    bool Split() const { return split_; }
    // Audio lost by the writers of the parts before the current one, in milliseconds.
    std::uint64_t LostInPartsMs() const { return lostInPartsMs_; }

private:
    // At a [Split] limit: the part's writers finish and the next file takes the coming block.
    void StartNextPart();
    // The size the part's file will have once `blockBytes` more are in.
    std::uint64_t PartFileBytesAfter(std::size_t blockBytes);

    const RecordingSettings& settings_;
    LibraryState& library_;
    WriterState& writers_;
    const CaptureRing& ring_;
    TickSource tick_;
    Tell tell_;
    RecordingPart part_;
    // The part file's size, the markers and the next part's name pick reach the folder through
    // it.
    platform::TimedPathLookup folderLook_;
    bool split_ = false;
    std::uint64_t recordedFrames_ = 0; // of this recording, in every part
    std::uint64_t lostInPartsMs_ = 0;
    std::uint64_t lengthFrames_ = 0; // 0: until stopped
    bool stopDue_ = false;
};
