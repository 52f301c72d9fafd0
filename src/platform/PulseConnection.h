#pragma once
// The program's one connection to the sound server: a threaded mainloop and a context, made on
// first use and made again when the server went away. The capture device, the record inputs and
// the player's streams all run on its thread: their callbacks and queries run under its lock.

#include <atomic>
#include <cstdint>
#include <pulse/pulseaudio.h>

namespace platform {

class PulseConnection {
public:
    PulseConnection();
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    pa_threaded_mainloop* Loop() const { return loop_; }
    // The ready context, connecting first if needed; null without a server (Error() then
    // tells why). Call with the lock held.
    pa_context* Context();
    // The server's error code of the last failed connection.
    int Error() const { return error_; }
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
    // Keeps the failed context's error and drops it.
    void Fail();

    pa_threaded_mainloop* loop_;
    pa_context* context_ = nullptr;
    int error_ = PA_OK;
    std::atomic<std::uint64_t> changes_{0};
};

// The program's connection, made on first use and never destroyed: streams still open at exit
// (the library's handle table) disconnect through it.
PulseConnection& Pulse();

} // namespace platform
