#pragma once
// The writer of one output format: it starts on the recording's current file, takes each
// converted block, and at the stop leaves its file to be finished in the background. Writers.cpp
// runs the one writer of the selected format; each format's row in the table of output formats
// says which of the factories below makes it.

#include "engine/UserMessage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

struct WriterState;
struct StartResult;

class OutputWriter {
public:
    virtual ~OutputWriter() = default;
    // Window thread: opens w.CurrentFile for w.Format. Not started: the recording must not begin.
    virtual StartResult Start(WriterState& w) = 0;
    // Window thread, returns at once: hands over one block (never after a failure). Counts what
    // it could not take in w.LostBytes and what it took in w.FileBytes; sets w.WriterFailed and
    // returns the message when it has just failed.
    virtual MaybeMessage Write(WriterState& w, std::span<const std::uint8_t> block) = 0;
    // Window thread, returns at once: the file is finished through FinishInBackground. A failure
    // already told (w.WriterFailed) is not told again.
    virtual void Finish(WriterState& w) = 0;
};

using WriterFactory = std::unique_ptr<OutputWriter> (*)();

std::unique_ptr<OutputWriter> MakeWavWriter();
std::unique_ptr<OutputWriter> MakeCommandLineWriter(); // MP3 through lame, OGG through oggenc
std::unique_ptr<OutputWriter> MakeWmaWriter();
std::unique_ptr<OutputWriter> MakeFlacWriter();
std::unique_ptr<OutputWriter> MakeOpusWriter();

// Runs `work` on a thread of its own while `file` counts as held; the file and the message it
// returns are told by the next PollWriters.
void FinishInBackground(WriterState& w, std::string file, std::function<MaybeMessage()> work);

// Counts the block as lost; passes the message on.
MaybeMessage Lose(WriterState& w, std::size_t bytes, MaybeMessage message = std::nullopt);

// The messages the writers share.
std::string WriteFailed(const std::string& path, const std::string& reason);
std::string EncoderStopped(const std::string& path, const std::string& format);
std::string CouldNotStart(const std::string& format); // "Could not start MP3 recording"
