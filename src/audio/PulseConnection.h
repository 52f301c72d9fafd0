#pragma once
// The audio library's connection to the sound server (the capture device, platform/PulseWaveIn,
// keeps one of its own): a threaded mainloop and a context, made on first use and made again
// when the server went away. Callbacks of playback streams and queries run on its thread under
// its lock.

#include <atomic>
#include <cstdint>
#include <pulse/pulseaudio.h>

namespace audio {

class PulseConnection {
public:
    PulseConnection();
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    pa_threaded_mainloop* Loop() const { return loop_; }
    // The ready context, connecting first if needed; null without a server. Call with the
    // lock held.
    pa_context* Context();
    // Waits for an operation to finish and drops it. Call with the lock held.
    void Wait(pa_operation* op);
    // Wakes a Wait or a caller waiting on the loop (from a callback).
    void Signal() { pa_threaded_mainloop_signal(loop_, 0); }
    // Counts the server's reports of a change to its sources or its default source, and the
    // connection's losses: what was read from the server before the count moved may be stale.
    std::uint64_t Changes() const { return changes_; }

    class Lock {
    public:
        explicit Lock(const PulseConnection& c) : loop_(c.loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~Lock() { pa_threaded_mainloop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

private:
    void Disconnect();

    pa_threaded_mainloop* loop_;
    pa_context* context_ = nullptr;
    std::atomic<std::uint64_t> changes_{0};
};

// The library's connection, as its flat calls need one.
PulseConnection& Pulse();

} // namespace audio
