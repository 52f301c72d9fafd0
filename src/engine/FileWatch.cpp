#include "engine/FileWatch.h"

namespace {

using Result = platform::PathLookup::Result;

// How much audio an encoder may take before the file it writes must be there.
std::uint64_t EncoderStartBytes(const RecordingSettings& format) {
    return std::uint64_t(format.BlockBytes) * 20;
}

bool IsLost(WriterState& w) {
    if (w.WatchedPath != w.CurrentFile) {
        w.WatchedPath = w.CurrentFile;
        w.WatchedIdentity.reset();
    }
    const platform::PathLookup now = w.WatchLookup.Look(w.CurrentFile);
    if (now.Outcome == Result::Unknown)
        return false;
    if (now.Outcome == Result::Found && !w.WatchedIdentity) {
        w.WatchedIdentity = now.Identity;
        return false;
    }
    if (now.Outcome == Result::Found)
        return now.Identity != *w.WatchedIdentity;
    return w.WatchedIdentity || w.FileBytes >= EncoderStartBytes(w.Format);
}

} // namespace

MaybeMessage FollowCurrentFile(WriterState& w) {
    if (!w.Running || w.WriterFailed || !IsLost(w))
        return std::nullopt;
    const std::string lostPath = w.CurrentFile;
    const std::uint64_t lostBytes = w.LostBytes + w.FileBytes;
    const RecordingSettings format = w.Format;
    StopWriters(w);
    const std::string next = w.NextFileName ? w.NextFileName() : std::string();
    StartResult started;
    if (!next.empty())
        started = StartWriters(w, format, next, true);
    w.LostBytes += lostBytes;

    std::string text =
        "\"" + lostPath +
        "\" was deleted or replaced by another program; the recording in it is lost.";
    if (!started.Started) {
        // The recording runs on without a file, and all it records is counted lost.
        w.Running = true;
        w.WriterFailed = true;
        text += next.empty() ? " Every record name is taken: nothing more is recorded to a file."
                             : " " + started.Message.value_or(UserMessage{}).text;
        return PlainMessage(text);
    }
    text += " The recording goes on in \"" + next + "\".";
    if (started.Message)
        text += " " + started.Message->text;
    return PlainMessage(text);
}
