#include "platform/PulseWaveIn.h"

#include "platform/ByteRing.h"
#include "platform/PulseConnection.h"
#include "platform/PulseSources.h"
#include "platform/WaveQueue.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

using Lock = platform::PulseConnection::Lock;

// The server resamples, so a source delivers every rate and layout the flags can name.
constexpr std::uint32_t AllWaveFormats = 0xFFFFF;

// Cut to 31 bytes without splitting a UTF-8 character.
void CopyName(const std::string& text, WaveInCaps& caps) {
    std::size_t n = std::min<std::size_t>(text.size(), sizeof caps.szPname - 1);
    if (n < text.size())
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    std::memcpy(caps.szPname, text.data(), n);
    caps.szPname[n] = '\0';
}

} // namespace

struct PulseWaveIn::Impl {
    explicit Impl(platform::PulseConnection& p) : pulse(p) {}

    platform::PulseConnection& pulse;
    std::string firstSource;
    // Audio kept for the owner while it has no buffer queued: by default about what the sound
    // server itself keeps for a record stream that is not read.
    std::uint32_t backlogSeconds = 20;
    pa_stream* stream = nullptr;
    bool looked = false;
    // The server tells of every change to its sources and its default; until the connection's
    // count of them moves, the last look stands and a look asks the server nothing.
    std::optional<std::uint64_t> lookedAtChanges;
    std::vector<platform::PulseSource> sources; // as at the last look, device 0 first
    // Under the connection's lock:
    WaveQueue queue;
    bool running = false;
    // A stream is corked only until its first start: uncorked again, a record stream hands
    // over audio of the time it was corked first (PulseAudio 1.6 s of a 3 s pause here,
    // pipewire-pulse the rest it had not sent), so a stop drops what goes on arriving.
    bool corked = true;
    // Audio that arrived while no buffer was queued, oldest first, handed on as buffers come
    // back: a ring of BacklogSeconds, allocated at open and left unwritten, so that its pages
    // take memory only once a stall has filled them.
    platform::ByteRing backlog;
    std::atomic<bool> lost{false};
    std::atomic<std::uint64_t> overrun{0};

    void Look() {
        looked = true;
        const bool connected = pulse.Context() != nullptr;
        const std::uint64_t changes = pulse.Changes();
        if (connected && lookedAtChanges == changes)
            return;
        sources = connected ? platform::ListSources(pulse, firstSource)
                            : std::vector<platform::PulseSource>{};
        // A look without a server, or with a change reported while the answers came in, is
        // taken again at the next call.
        lookedAtChanges.reset();
        if (connected && pulse.Changes() == changes)
            lookedAtChanges = changes;
    }

    static void StreamState(pa_stream* s, void* self) {
        auto* impl = static_cast<Impl*>(self);
        // With PA_STREAM_DONT_MOVE a vanished source fails the stream instead of moving it.
        if (pa_stream_get_state(s) == PA_STREAM_FAILED)
            impl->lost = true;
        impl->pulse.Signal();
    }

    // Keeps what found no buffer, behind what is kept already; what does not fit is lost
    // and counted.
    void Keep(const std::uint8_t* data, std::size_t bytes) {
        overrun += bytes - backlog.Write(data, bytes);
    }

    // Hands the kept audio to the queued buffers, oldest first.
    void HandOnBacklog() {
        while (backlog.Size() > 0 && !queue.Empty()) {
            const std::span<const std::uint8_t> piece = backlog.Front();
            backlog.Drop(piece.size() - queue.Fill(piece.data(), piece.size()));
        }
    }

    // Audio from the server, in order: behind the backlog, so nothing overtakes it.
    void Deliver(const void* data, std::size_t bytes) {
        HandOnBacklog();
        const auto* from = static_cast<const std::uint8_t*>(data);
        std::size_t left = bytes;
        if (backlog.Size() == 0)
            left = queue.Fill(data, bytes); // null data is a hole: silence
        if (left > 0)
            Keep(from ? from + (bytes - left) : nullptr, left);
    }

    void DropBacklog() { backlog.Clear(); }

    // On the server's thread: only copies into the queued buffers, or the backlog when the
    // owner has none queued, so the server's audio is always taken and none is lost unseen.
    static void StreamRead(pa_stream* s, std::size_t, void* self) {
        auto* impl = static_cast<Impl*>(self);
        const void* data = nullptr;
        std::size_t bytes = 0;
        // Everything that arrived, in one wakeup.
        while (pa_stream_peek(s, &data, &bytes) == 0 && bytes > 0) {
            if (impl->running)
                impl->Deliver(data, bytes);
            pa_stream_drop(s);
        }
    }

    // Starts filling buffers; the caller holds the connection's lock.
    void Run() {
        running = true;
        if (corked) {
            corked = false;
            if (pa_operation* op = pa_stream_cork(stream, 0, nullptr, nullptr))
                pa_operation_unref(op);
        }
    }
};

PulseWaveIn::PulseWaveIn(platform::PulseConnection& pulse, std::string firstSource,
                         std::uint32_t backlogSeconds)
    : impl_(std::make_unique<Impl>(pulse)) {
    impl_->firstSource = std::move(firstSource);
    impl_->backlogSeconds = backlogSeconds;
}

PulseWaveIn::~PulseWaveIn() {
    Close();
}

std::uint32_t PulseWaveIn::GetNumDevs() {
    Lock lock(impl_->pulse);
    impl_->Look();
    return static_cast<std::uint32_t>(impl_->sources.size());
}

WaveResult PulseWaveIn::GetDevCaps(std::uint32_t device, WaveInCaps& caps) {
    Lock lock(impl_->pulse);
    if (!impl_->looked)
        impl_->Look();
    if (device >= impl_->sources.size())
        return PA_ERR_NOENTITY;
    caps = {};
    CopyName(impl_->sources[device].description, caps);
    caps.dwFormats = AllWaveFormats;
    return WaveOk;
}

std::string PulseWaveIn::SourceName(std::uint32_t device) {
    Lock lock(impl_->pulse);
    if (!impl_->looked)
        impl_->Look();
    return device < impl_->sources.size() ? impl_->sources[device].name : std::string();
}

WaveResult PulseWaveIn::Open(std::uint32_t device, std::uint32_t rate) {
    Lock lock(impl_->pulse);
    Impl& d = *impl_;
    if (d.stream)
        return PA_ERR_EXIST;
    if (!d.looked)
        d.Look();
    pa_context* context = d.pulse.Context();
    if (context == nullptr)
        return static_cast<WaveResult>(d.pulse.Error());
    if (device >= d.sources.size())
        return PA_ERR_NOENTITY;

    const pa_sample_spec format{PA_SAMPLE_S16LE, rate, 2};
    if (!pa_sample_spec_valid(&format))
        return PA_ERR_INVALID;
    d.stream = pa_stream_new(context, "Sonvera capture", &format, nullptr);
    if (!d.stream)
        return pa_context_errno(context);
    pa_stream_set_state_callback(d.stream, &Impl::StreamState, &d);
    pa_stream_set_read_callback(d.stream, &Impl::StreamRead, &d);
    d.lost = false;
    d.overrun = 0;
    d.running = false;
    d.corked = true;
    d.backlog = platform::ByteRing(std::size_t(rate) * 4 * d.backlogSeconds);

    // The source is asked to deliver every 100 ms, a capture buffer at a time (the screens
    // change a buffer at a time). Without a latency of its own asked for, a source that follows
    // its outputs' wishes, as a sink's monitor or a sound card does, delivers only every 2 s,
    // and the screens stand still between.
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = rate * 4 / 10;
    attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_DONT_MOVE |
                                                      PA_STREAM_ADJUST_LATENCY);
    int result = pa_stream_connect_record(d.stream, d.sources[device].name.c_str(), &attr, flags);
    if (result == 0) {
        pa_stream_state_t state;
        while ((state = pa_stream_get_state(d.stream)) == PA_STREAM_CREATING ||
               state == PA_STREAM_UNCONNECTED)
            d.pulse.WaitForSignal();
        if (state != PA_STREAM_READY)
            result = -1;
    }
    if (result != 0) {
        const int error = pa_context_errno(context);
        pa_stream_set_state_callback(d.stream, nullptr, nullptr);
        pa_stream_set_read_callback(d.stream, nullptr, nullptr);
        pa_stream_disconnect(d.stream);
        pa_stream_unref(d.stream);
        d.stream = nullptr;
        d.lost = false;
        return error != PA_OK ? static_cast<WaveResult>(error)
                              : static_cast<WaveResult>(PA_ERR_UNKNOWN);
    }
    return WaveOk;
}

WaveResult PulseWaveIn::AddBuffer(WaveHeader& header) {
    Lock lock(impl_->pulse);
    if (!impl_->stream)
        return PA_ERR_BADSTATE;
    impl_->queue.Add(header);
    // A buffer given back while audio waits takes it at once.
    if (impl_->running)
        impl_->HandOnBacklog();
    return WaveOk;
}

WaveResult PulseWaveIn::Start() {
    Lock lock(impl_->pulse);
    if (!impl_->stream)
        return PA_ERR_BADSTATE;
    if (!impl_->running)
        impl_->Run();
    return WaveOk;
}

WaveResult PulseWaveIn::Stop() {
    Lock lock(impl_->pulse);
    if (!impl_->stream)
        return PA_ERR_BADSTATE;
    impl_->running = false;
    impl_->queue.HandBackPartial();
    // Audio still waiting for a buffer is not joined to what comes after the pause.
    impl_->overrun += impl_->backlog.Size();
    impl_->DropBacklog();
    return WaveOk;
}

WaveResult PulseWaveIn::Reset() {
    Lock lock(impl_->pulse);
    if (!impl_->stream)
        return PA_ERR_BADSTATE;
    impl_->running = false;
    impl_->queue.HandBackAll();
    impl_->DropBacklog();
    return WaveOk;
}

WaveResult PulseWaveIn::Close() {
    if (!impl_->stream)
        return WaveOk;
    Reset();
    Lock lock(impl_->pulse);
    Impl& d = *impl_;
    pa_stream_set_state_callback(d.stream, nullptr, nullptr);
    pa_stream_set_read_callback(d.stream, nullptr, nullptr);
    pa_stream_disconnect(d.stream);
    pa_stream_unref(d.stream);
    d.stream = nullptr;
    d.lost = false;
    d.backlog = platform::ByteRing();
    return WaveOk;
}

std::string PulseWaveIn::GetErrorText(WaveResult code) {
    return pa_strerror(static_cast<int>(code));
}

bool PulseWaveIn::DeviceLost() const {
    return impl_->lost;
}

std::uint64_t PulseWaveIn::Overrun() const {
    return impl_->overrun;
}
