#pragma once
// The program's one connection to the sound server: a mainloop on a thread of its own and a
// context, made on first use and made again when the server went away. The capture device, the
// record inputs and the player's streams all run on its thread: their callbacks and queries run
// under its lock.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <pulse/pulseaudio.h>
#include <thread>

struct pollfd;

namespace platform {

class PulseConnection {
public:
    // A source that hands over its audio in small pieces (a pipe, a headset's microphone) would
    // wake the loop a hundred times a second: the loop waits this long after a wakeup before it
    // looks at the server again, and takes everything that came meanwhile at once. Calls from
    // the program's other threads, and their answers, are not held back.
    static constexpr std::chrono::milliseconds GatherTime{40};

    // Held by a stream that must be served as soon as the server asks (a playback that plays:
    // PipeWire's pulse server starves it when its requests wait): while one is, the loop does
    // not gather.
    class Promptly {
    public:
        explicit Promptly(PulseConnection& c) : c_(c) {
            ++c_.prompt_;
            pa_mainloop_wakeup(c_.loop_);
        }
        ~Promptly() { --c_.prompt_; }
        Promptly(const Promptly&) = delete;
        Promptly& operator=(const Promptly&) = delete;

    private:
        PulseConnection& c_;
    };

    PulseConnection();
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    pa_mainloop_api* Api() const { return pa_mainloop_get_api(loop_); }
    // The ready context, connecting first if needed; null without a server (Error() then
    // tells why). Call with the lock held.
    pa_context* Context();
    // The server's error code of the last failed connection.
    int Error() const { return error_; }
    // Waits for an operation to finish and drops it. Call with the lock held.
    void Wait(pa_operation* op);
    // Waits for the next Signal, letting go of the lock meanwhile. Call with the lock held.
    void WaitForSignal();
    // Wakes a Wait or a caller waiting on the loop (from a callback).
    void Signal() { signalled_.notify_all(); }
    // Counts the server's reports of a change to its sources or its default source, and the
    // connection's losses: what was read from the server before the count moved may be stale.
    std::uint64_t Changes() const { return changes_; }

    class Lock {
    public:
        explicit Lock(const PulseConnection& c) : lock_(c.mutex_) {}
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        std::lock_guard<std::recursive_mutex> lock_;
    };

private:
    // The loop's poll: without the lock, and gathering what the server sends (GatherTime).
    static int Poll(pollfd* fds, unsigned long count, int timeout, void* self);
    void Disconnect();
    // Keeps the failed context's error and drops it.
    void Fail();

    pa_mainloop* loop_;
    mutable std::recursive_mutex mutex_;
    std::condition_variable_any signalled_;
    // Callers waiting for the server's answer: the loop does not hold back while there are.
    std::atomic<int> waiting_{0};
    std::atomic<int> prompt_{0};
    // When the loop's last poll returned; only the loop's thread uses it.
    std::chrono::steady_clock::time_point woke_;
    pa_context* context_ = nullptr;
    int error_ = PA_OK;
    std::atomic<std::uint64_t> changes_{0};
    std::thread thread_;
};

// The program's connection, made on first use and never destroyed: streams still open at exit
// (the library's handle table) disconnect through it.
PulseConnection& Pulse();

} // namespace platform
