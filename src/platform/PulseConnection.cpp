#include "platform/PulseConnection.h"

namespace platform {

PulseConnection::PulseConnection() : loop_(pa_threaded_mainloop_new()) {
    pa_threaded_mainloop_start(loop_);
}

PulseConnection::~PulseConnection() {
    {
        Lock lock(*this);
        Disconnect();
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
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
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Sonvera");
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
        pa_threaded_mainloop_wait(loop_);
    }
}

void PulseConnection::Wait(pa_operation* op) {
    if (op == nullptr)
        return;
    while (pa_operation_get_state(op) == PA_OPERATION_RUNNING)
        pa_threaded_mainloop_wait(loop_);
    pa_operation_unref(op);
}

PulseConnection& Pulse() {
    static PulseConnection* connection = new PulseConnection;
    return *connection;
}

} // namespace platform
