#pragma once
// One command-line encoder (lame, oggenc) at work: its process, reading a WAV header of the
// PCM's format and then the PCM on its standard input, and the thread that feeds it through a
// bounded queue, so a writer never waits on it. Ending the object ends the encoder as Finish
// does, so its file is whole however its owner goes. Calls may come from any thread.

#include "audio/FeedThread.h"
#include "platform/Process.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace audio {

class EncoderProcess {
public:
    // Starts the command line's program (read by the Windows quoting rules) for 16-bit PCM of
    // `rate` and `channels`. Null when it cannot be started (for example, it does not exist).
    static std::unique_ptr<EncoderProcess> Start(const std::string& commandLine, std::uint32_t rate,
                                                 std::uint32_t channels);
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Queues the bytes and returns at once. False once the encoder has ended (it died, could
    // not write its file, or stopped taking input) or has been finished.
    bool Write(const void* data, std::size_t bytes);
    // Bytes written and not yet taken by the encoder.
    std::size_t Queued() const;
    // Closes the encoder's input and waits until it has finished its file. An encoder that takes
    // no input for 10 s or does not end within 30 s is killed, so this never hangs. True when it
    // took all its input and ended on its own. Later calls give the same answer at once.
    bool Finish();

private:
    EncoderProcess() = default;

    platform::ChildProcess process_;
    mutable std::mutex mutex_;         // feed_
    std::unique_ptr<FeedThread> feed_; // null once finishing
    std::mutex finish_;                // one Finish at a time; clean_
    bool clean_ = false;
};

} // namespace audio
