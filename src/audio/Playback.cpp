#include "audio/Playback.h"

#include <atomic>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

namespace audio {

namespace {

std::atomic<float> volume{1.0f};
// How soon a source that had no audio ready is asked again.
constexpr pa_usec_t RetryUsec = 20'000;

pa_volume_t ToPulse(float v) {
    return pa_volume_t(std::lround(double(v) * PA_VOLUME_NORM));
}

} // namespace

struct Playback::Impl {
    PulseConnection* pulse = nullptr;
    pa_stream* stream = nullptr;
    Source source;
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    std::uint64_t written = 0; // frames
    std::uint64_t played = 0;  // the last time the server told
    bool sourceEnded = false;
    bool drained = false;
    pa_operation* drain = nullptr;
    pa_time_event* retry = nullptr;
    std::vector<std::int16_t> buffer;
    // Held while the server plays this stream and asks for more: neither paused nor drained.
    std::optional<PulseConnection::Promptly> promptly;

    static void Write(pa_stream* s, std::size_t bytes, void* self) {
        static_cast<Impl*>(self)->Fill(s, bytes);
    }

    // Once the server has played out what it held, it asks for nothing more: the audio that
    // was not ready is written from a timer.
    static void Retry(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
        auto* impl = static_cast<Impl*>(self);
        const std::size_t writable = pa_stream_writable_size(impl->stream);
        if (writable != std::size_t(-1))
            impl->Fill(impl->stream, writable);
    }

    // Writes all the server asks for, or all the source has ready.
    void Fill(pa_stream* s, std::size_t bytes) {
        if (sourceEnded)
            return;
        const std::size_t frames = bytes / (2 * channels);
        buffer.resize(frames * channels);
        const PulledFrames got = source(buffer.data(), frames);
        if (got.frames > 0) {
            pa_stream_write(s, buffer.data(), got.frames * 2 * channels, nullptr, 0,
                            PA_SEEK_RELATIVE);
            written += got.frames;
        }
        if (got.ended)
            Drain(s);
        else if (got.frames < frames)
            AskAgain(s);
    }

    void AskAgain(pa_stream* s) {
        pa_context* context = pa_stream_get_context(s);
        const pa_usec_t at = pa_rtclock_now() + RetryUsec;
        if (retry == nullptr)
            retry = pa_context_rttime_new(context, at, &Impl::Retry, this);
        else
            pa_context_rttime_restart(context, retry, at);
    }

    void Drain(pa_stream* s) {
        sourceEnded = true;
        drain = pa_stream_drain(
            s,
            [](pa_stream*, int, void* self) {
                auto* impl = static_cast<Impl*>(self);
                impl->drained = true;
                impl->promptly.reset();
                impl->pulse->Signal();
            },
            this);
    }
};

namespace {

// The playbacks that exist, for the output volume. Used under the connection's lock.
// Never destroyed: streams left in the handle table at exit still leave it.
std::set<Playback::Impl*>& Live() {
    static auto* live = new std::set<Playback::Impl*>;
    return *live;
}

void SignalDone(pa_stream*, int, void* pulse) {
    static_cast<PulseConnection*>(pulse)->Signal();
}

// Sets the server's volume of one playback. Under the connection's lock.
void ApplyVolume(PulseConnection& pulse, const Playback::Impl& impl, float v) {
    pa_cvolume cv;
    pa_cvolume_set(&cv, impl.channels, ToPulse(v));
    pulse.Wait(pa_context_set_sink_input_volume(
        pa_stream_get_context(impl.stream), pa_stream_get_index(impl.stream), &cv,
        [](pa_context*, int, void* p) { static_cast<PulseConnection*>(p)->Signal(); }, &pulse));
}

} // namespace

Playback::Playback(PulseConnection& pulse, bool paused)
    : pulse_(pulse), paused_(paused), impl_(std::make_unique<Impl>()) {}

std::unique_ptr<Playback> Playback::Start(PulseConnection& pulse, std::uint32_t rate,
                                          std::uint32_t channels, Source source, bool paused) {
    std::unique_ptr<Playback> playback(new Playback(pulse, paused));
    Impl& impl = *playback->impl_;
    impl.pulse = &pulse;
    impl.source = std::move(source);
    impl.rate = rate;
    impl.channels = channels;

    PulseConnection::Lock lock(pulse);
    pa_context* context = pulse.Context();
    if (context == nullptr)
        return nullptr;
    if (!paused)
        impl.promptly.emplace(pulse);
    const pa_sample_spec format{PA_SAMPLE_S16LE, rate, std::uint8_t(channels)};
    pa_channel_map map;
    pa_channel_map_init_auto(&map, channels, PA_CHANNEL_MAP_DEFAULT);
    impl.stream = pa_stream_new(context, "Sonvera playback", &format, &map);
    if (impl.stream == nullptr)
        return nullptr;
    pa_stream_set_state_callback(
        impl.stream, [](pa_stream*, void* p) { static_cast<PulseConnection*>(p)->Signal(); },
        &pulse);
    pa_stream_set_write_callback(impl.stream, &Impl::Write, &impl);

    pa_cvolume cv;
    pa_cvolume_set(&cv, channels, ToPulse(volume));
    // The server's own buffering (about 2 s queued): lower targets starved the null sink of a
    // busy machine for seconds. Pause and stop still act at once (cork, disconnect), and the
    // heard position comes from the server's clock, which allows for the queue.
    const auto flags =
        pa_stream_flags_t(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                          (paused ? PA_STREAM_START_CORKED : 0));
    if (pa_stream_connect_playback(impl.stream, nullptr, nullptr, flags, &cv, nullptr) < 0)
        return nullptr;
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(impl.stream);
        if (state == PA_STREAM_READY)
            break;
        if (!PA_STREAM_IS_GOOD(state))
            return nullptr;
        pulse.WaitForSignal();
    }
    // PipeWire's pulse server plays a new stream at full volume whatever the connect asked.
    ApplyVolume(pulse, impl, volume);
    Live().insert(&impl);
    return playback;
}

Playback::~Playback() {
    PulseConnection::Lock lock(pulse_);
    Live().erase(impl_.get());
    if (impl_->drain != nullptr) {
        pa_operation_cancel(impl_->drain);
        pa_operation_unref(impl_->drain);
    }
    if (impl_->retry != nullptr)
        pulse_.Api()->time_free(impl_->retry);
    if (impl_->stream != nullptr) {
        pa_stream_set_state_callback(impl_->stream, nullptr, nullptr);
        pa_stream_set_write_callback(impl_->stream, nullptr, nullptr);
        pa_stream_disconnect(impl_->stream);
        pa_stream_unref(impl_->stream);
    }
}

void Playback::SetPaused(bool paused) {
    PulseConnection::Lock lock(pulse_);
    if (paused == paused_)
        return;
    if (paused)
        impl_->promptly.reset();
    else if (!impl_->drained)
        impl_->promptly.emplace(pulse_);
    pulse_.Wait(pa_stream_cork(impl_->stream, paused ? 1 : 0, &SignalDone, &pulse_));
    if (paused)
        UpdatePlayed(); // where the listener stopped
    paused_ = paused;
}

std::uint64_t Playback::PlayedFrames() {
    PulseConnection::Lock lock(pulse_);
    // While paused the position holds still, whatever the interpolated clock says.
    if (!paused_)
        UpdatePlayed();
    return impl_->played;
}

void Playback::UpdatePlayed() {
    if (impl_->drained) {
        impl_->played = impl_->written;
        return;
    }
    pa_usec_t usec = 0;
    if (pa_stream_get_time(impl_->stream, &usec) == 0)
        impl_->played = std::min<std::uint64_t>(usec * impl_->rate / 1000000, impl_->written);
}

bool Playback::Ended() {
    PulseConnection::Lock lock(pulse_);
    // A stream the server dropped (it went away) has ended too, or it would play for ever.
    return impl_->drained || !PA_STREAM_IS_GOOD(pa_stream_get_state(impl_->stream));
}

float OutputVolume() {
    return volume;
}

bool SetOutputVolume(PulseConnection& pulse, float v) {
    if (!(v >= 0.0f && v <= 1.0f))
        return false;
    volume = v;
    PulseConnection::Lock lock(pulse);
    for (const Playback::Impl* impl : Live())
        ApplyVolume(pulse, *impl, v);
    return true;
}

} // namespace audio
