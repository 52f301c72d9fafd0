#include "platform/PulseConnection.h"

#include <algorithm>
#include <csignal>
#include <poll.h>
#include <pthread.h>

namespace platform {

namespace {

int MillisecondsUntil(std::chrono::steady_clock::time_point then) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(then - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

} // namespace

PulseConnection::PulseConnection() : loop_(pa_mainloop_new()) {
    pa_mainloop_set_poll_func(loop_, &PulseConnection::Poll, this);
    thread_ = std::thread([this] {
        // Signals go to the program's other threads.
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_BLOCK, &all, nullptr);
        pthread_setname_np(pthread_self(), "sound-server");
        std::lock_guard lock(mutex_);
        pa_mainloop_run(loop_, nullptr);
    });
}

PulseConnection::~PulseConnection() {
    {
        Lock lock(*this);
        Disconnect();
        pa_mainloop_quit(loop_, 0);
    }
    thread_.join();
    pa_mainloop_free(loop_);
}

int PulseConnection::Poll(pollfd* fds, unsigned long count, int timeout, void* self) {
    using Clock = std::chrono::steady_clock;
    auto& c = *static_cast<PulseConnection*>(self);
    c.mutex_.unlock();
    const Clock::time_point now = Clock::now();
    const Clock::time_point gathered = c.woke_ + GatherTime;
    if (c.waiting_ == 0 && c.prompt_ == 0 && now < gathered) {
        // Until then only the first descriptor, the loop's own wakeup: another thread's call,
        // or its wait for an answer, ends the gathering at once.
        const Clock::time_point due =
            timeout < 0 ? Clock::time_point::max() : now + std::chrono::milliseconds(timeout);
        ::poll(fds, 1, MillisecondsUntil(std::min(gathered, due)));
        if (timeout >= 0)
            timeout = MillisecondsUntil(due);
    }
    const int ready = ::poll(fds, count, timeout);
    c.woke_ = Clock::now();
    c.mutex_.lock();
    return ready;
}

void PulseConnection::Disconnect() {
    if (context_ == nullptr)
        return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void PulseConnection::Fail() {
    error_ = pa_context_errno(context_);
    if (error_ == PA_OK)
        error_ = PA_ERR_CONNECTIONREFUSED;
    Disconnect();
}

pa_context* PulseConnection::Context() {
    if (context_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY)
        return context_;
    Disconnect();
    context_ = pa_context_new(Api(), "Sonvera");
    pa_context_set_state_callback(
        context_,
        [](pa_context* context, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
                ++connection->changes_;
            connection->Signal();
        },
        this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        Fail();
        return nullptr;
    }
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) {
            pa_context_set_subscribe_callback(
                context_,
                [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self) {
                    ++static_cast<PulseConnection*>(self)->changes_;
                },
                this);
            const auto events = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                                    PA_SUBSCRIPTION_MASK_SERVER);
            if (pa_operation* op = pa_context_subscribe(context_, events, nullptr, nullptr))
                pa_operation_unref(op);
            ++changes_;
            error_ = PA_OK;
            return context_;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            Fail();
            return nullptr;
        }
        WaitForSignal();
    }
}

void PulseConnection::Wait(pa_operation* op) {
    if (op == nullptr)
        return;
    while (pa_operation_get_state(op) == PA_OPERATION_RUNNING)
        WaitForSignal();
    pa_operation_unref(op);
}

void PulseConnection::WaitForSignal() {
    ++waiting_;
    pa_mainloop_wakeup(loop_);
    signalled_.wait(mutex_);
    --waiting_;
}

PulseConnection& Pulse() {
    static PulseConnection* connection = new PulseConnection;
    return *connection;
}

} // namespace platform
