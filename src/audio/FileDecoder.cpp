#include "audio/FileDecoder.h"

#include "audio/MpegLength.h"
#include "audio/PacketLength.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <mutex>
#include <vector>

namespace audio {

namespace {

// Frames decoded and dropped ahead of a seek target, so decoders that need history (MP3's bit
// reservoir, overlapping transforms) give exact samples from the target on. 4608 was measured
// too short for LAME VBR files; 2x was enough, 4x leaves room.
constexpr std::int64_t SeekPreroll = 4 * 4608;
// A forward move up to this far decodes on instead of seeking.
constexpr std::uint64_t ForwardDecodeLimit = 16384;
// Frames a frame's time stamp may run ahead of the frames decoded before it, not a hole.
constexpr std::int64_t MaxTimeStampSlack = 512;
// Where a frame starts whose time stamp is too far off to count.
constexpr std::int64_t Unplaceable = std::numeric_limits<std::int64_t>::max();
// More frames than any codec packs into one byte of a file.
constexpr std::uint64_t MaxFramesPerByte = 4096;
// A file that gives this many bad packets in a row is treated as ended.
constexpr int MaxBadPackets = 200;
// Bytes one packet, or the stream's parameters, may cost to read: far more than any audio
// packet with junk before it. A file that holds nothing in more (holes, zeros) ends there.
constexpr std::int64_t ReadBudget = 4 << 20;
// How long opening may read a file whose length takes reading it (a stalled or slow mount, a
// huge file with no stated length): the window waits on it.
constexpr auto OpenTime = std::chrono::milliseconds(1000);

using Clock = std::chrono::steady_clock;

bool IsWavFile(const std::string& path) {
    char header[12] = {};
    std::ifstream file(path, std::ios::binary);
    file.read(header, sizeof header);
    return file.gcount() == 12 &&
           (std::memcmp(header, "RIFF", 4) == 0 || std::memcmp(header, "RF64", 4) == 0) &&
           std::memcmp(header + 8, "WAVE", 4) == 0;
}

bool IsWma(AVCodecID id) {
    return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2;
}

// Frames per decoded frame: WMA's depends on the rate and is not given by the decoder.
int FixedFrameSize(const AVCodecParameters* params) {
    if (!IsWma(params->codec_id))
        return params->frame_size;
    if (params->sample_rate <= 16000)
        return 512;
    if (params->sample_rate <= 22050 ||
        (params->sample_rate <= 32000 && params->codec_id == AV_CODEC_ID_WMAV1))
        return 1024;
    return 2048;
}

} // namespace

struct FileDecoder::State {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1};
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    bool eightBit = false;
    std::uint64_t length = 0;
    std::int64_t originPts = 0; // pts of the first frame: position 0
    int frameSize = 0;          // frames per decoded frame when the codec has a fixed size

    // What the swr context was made for.
    int swrFormat = -1;
    int swrChannels = 0;
    int swrRate = 0;

    std::vector<std::int16_t> pending; // converted frames not read yet
    std::size_t pendingOffset = 0;     // in samples
    // Frames of silence that come before `pending`: a hole in the file. Counted, never held,
    // so a hostile file's time stamps cost no memory.
    std::uint64_t gap = 0;
    std::uint64_t position = 0;
    bool flushed = false; // the decoder was told the input ended

    // FFmpeg's reads stop when the file has given `readLimit` bytes or at the deadline.
    std::int64_t readLimit = std::numeric_limits<std::int64_t>::max();
    Clock::time_point deadline = Clock::time_point::max();
    bool outOfTime = false;

    static int Interrupt(void* opaque) {
        auto* s = static_cast<State*>(opaque);
        if (s->format->pb != nullptr && s->format->pb->bytes_read > s->readLimit)
            return 1;
        if (s->deadline != Clock::time_point::max() && Clock::now() > s->deadline)
            s->outOfTime = true;
        return s->outOfTime ? 1 : 0;
    }

    // Runs an FFmpeg call that reads the file, stopped past the read budget.
    template <typename Call> int WithinReadBudget(Call call) {
        readLimit = format->pb->bytes_read + ReadBudget;
        const int result = call();
        readLimit = std::numeric_limits<std::int64_t>::max();
        return result;
    }

    ~State() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    std::size_t PendingFrames() const { return (pending.size() - pendingOffset) / channels; }

    // Decodes the next frame into `frame`; false at the end or when the file breaks off.
    bool NextFrame() {
        int badPackets = 0;
        for (;;) {
            const int received = avcodec_receive_frame(codec, frame);
            if (received == 0)
                return true;
            if (received != AVERROR(EAGAIN) || flushed)
                return false;
            if (WithinReadBudget([this] { return av_read_frame(format, packet); }) < 0) {
                avcodec_send_packet(codec, nullptr);
                flushed = true;
                continue;
            }
            if (packet->stream_index == stream && avcodec_send_packet(codec, packet) < 0 &&
                ++badPackets > MaxBadPackets) {
                av_packet_unref(packet);
                return false;
            }
            av_packet_unref(packet);
        }
    }

    // Where `frame` starts, in frames from the origin; `fallback` when it has no time stamp,
    // the largest value when the time stamp is too far from the origin to count.
    std::int64_t FrameStart(std::int64_t fallback) const {
        const std::int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            return fallback;
        std::int64_t sinceOrigin;
        if (__builtin_sub_overflow(pts, originPts, &sinceOrigin))
            return Unplaceable;
        // FFmpeg gives INT64_MIN for a result out of range.
        const std::int64_t start = av_rescale_q(sinceOrigin, timeBase, AVRational{1, int(rate)});
        if (start == std::numeric_limits<std::int64_t>::min() || start > Unplaceable / 2)
            return Unplaceable;
        // Time stamps coarser than a sample (ASF counts milliseconds) are rounded to the
        // codec's fixed frame size, which they can only have started on.
        if (std::int64_t(timeBase.den) < std::int64_t(timeBase.num) * rate && frameSize > 0) {
            const std::int64_t frames = frameSize;
            return (start + frames / 2) / frames * frames;
        }
        return start;
    }

    // The most frames a file of this size can hold: exact for PCM, far above any codec's
    // packing (a compressed silent stretch) for the rest.
    std::uint64_t MostFrames() const {
        const std::int64_t size = std::max<std::int64_t>(avio_size(format->pb), 0);
        const AVCodecParameters* params = format->streams[stream]->codecpar;
        const int bits = av_get_bits_per_sample(params->codec_id);
        if (bits > 0)
            return std::uint64_t(size) * 8 /
                   (std::uint64_t(bits) * std::uint64_t(params->ch_layout.nb_channels));
        return std::uint64_t(size) * MaxFramesPerByte;
    }

    // The length in frames. MPEG audio's comes from its first frames: exact with a LAME tag,
    // else estimated from the bit rate. Other formats state it exactly, unless the file is
    // damaged or hostile: a length FFmpeg guessed from the bit rate, a negative one or one the
    // file cannot hold is not taken, the packets are counted while the time to open lasts.
    std::uint64_t ProbeLength(const std::string& path) {
        const AVStream* st = format->streams[stream];
        const AVCodecID codecId = st->codecpar->codec_id;
        const bool mpegAudio =
            codecId == AV_CODEC_ID_MP3 || codecId == AV_CODEC_ID_MP2 || codecId == AV_CODEC_ID_MP1;
        if (mpegAudio)
            if (const auto seconds = MpegFileSeconds(path))
                return std::uint64_t(std::llround(*seconds * rate));
        const std::uint64_t most = MostFrames();
        std::optional<std::uint64_t> stated;
        // A stated length of 0 is a header never finished (a WMA recording cut short).
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
            stated = av_rescale_q(st->duration, st->time_base, AVRational{1, int(rate)});
            // WMA states whole frames in milliseconds, the first of which decodes to nothing.
            if (IsWma(codecId) && frameSize > 0) {
                const std::uint64_t size = std::uint64_t(frameSize);
                const std::uint64_t whole = (*stated + size / 2) / size;
                stated = whole > 0 ? (whole - 1) * size : 0;
            }
            // Opus counts its pre-skip, which the decoder drops, in the stated length.
            if (codecId == AV_CODEC_ID_OPUS && st->codecpar->initial_padding > 0) {
                const std::uint64_t skipped = std::uint64_t(av_rescale(
                    st->codecpar->initial_padding, rate, std::max(st->codecpar->sample_rate, 1)));
                stated = *stated > skipped ? *stated - skipped : 0;
            }
        }
        const bool guessed = format->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
        const auto holdable = [most](const std::optional<std::uint64_t>& f) {
            return f && *f <= most;
        };
        const bool believed = holdable(stated) && !guessed;
        if (believed && !mpegAudio)
            return *stated;
        // Out of time, the stated length or FFmpeg's guess stands until the file is played out.
        const auto fallback = [&] { return holdable(stated) ? *stated : 0; };
        std::optional<std::uint64_t> frames = SumPacketFrames(format, stream, rate);
        if (outOfTime) {
            EndOpenTime();
            Rewind();
            return fallback();
        }
        Rewind();
        if (!holdable(frames))
            frames = believed ? stated : std::nullopt;
        if (frames)
            return *frames;
        // Neither the header nor the packets can be believed: what decodes is the length.
        std::uint64_t decoded = 0;
        while (NextFrame()) {
            decoded +=
                std::uint64_t(av_rescale(frame->nb_samples, rate, std::max(frame->sample_rate, 1)));
            av_frame_unref(frame);
        }
        const bool late = EndOpenTime();
        Rewind();
        return late ? fallback() : decoded;
    }

    // Lets reads go on without a deadline; true when the time to open had run out.
    bool EndOpenTime() {
        const bool late = outOfTime;
        deadline = Clock::time_point::max();
        outOfTime = false;
        return late;
    }

    // Back to the start of the stream, the decoder as new.
    void Rewind() {
        const AVStream* st = format->streams[stream];
        av_seek_frame(format, stream, st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time,
                      AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(codec);
        flushed = false;
    }

    // Converts `frame` into `pending`, replacing what was there.
    bool Convert() {
        const int inChannels = frame->ch_layout.nb_channels;
        if (frame->format != swrFormat || inChannels != swrChannels ||
            frame->sample_rate != swrRate) {
            swr_free(&swr);
            AVChannelLayout out;
            av_channel_layout_default(&out, int(channels));
            if (swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, int(rate), &frame->ch_layout,
                                    AVSampleFormat(frame->format), frame->sample_rate, 0,
                                    nullptr) < 0 ||
                swr_init(swr) < 0) {
                swr_free(&swr);
                swrFormat = -1;
                return false;
            }
            swrFormat = frame->format;
            swrChannels = inChannels;
            swrRate = frame->sample_rate;
        }
        const int capacity = swr_get_out_samples(swr, frame->nb_samples);
        pending.resize(std::size_t(std::max(capacity, 0)) * channels);
        auto* out = reinterpret_cast<std::uint8_t*>(pending.data());
        const int made =
            swr_convert(swr, &out, capacity, const_cast<const std::uint8_t**>(frame->extended_data),
                        frame->nb_samples);
        pending.resize(std::size_t(std::max(made, 0)) * channels);
        pendingOffset = 0;
        return made >= 0;
    }

    // Decodes the next frame into `pending`; false at the end.
    bool Refill() {
        while (NextFrame()) {
            const std::int64_t start = FrameStart(std::int64_t(position));
            const bool converted = Convert();
            av_frame_unref(frame);
            if (!converted || pending.empty())
                continue;
            if (start > std::int64_t(position) + MaxTimeStampSlack) {
                // A jump past the file's end is no hole but a time stamp the file cannot have:
                // nothing after it can be placed.
                if (start > std::int64_t(length))
                    break;
                // A hole in a damaged file: silence keeps what follows on the file's own time
                // line, where a seek finds it too.
                gap = std::uint64_t(start) - position;
            }
            return true;
        }
        pending.clear();
        pendingOffset = 0;
        // What really decoded is the length, whatever a damaged file's header said.
        length = position;
        return false;
    }

    // There is something to hand out: silence owed, or decoded frames.
    bool Available() { return gap > 0 || PendingFrames() > 0 || Refill(); }

    // Hands out up to `frames` frames, a hole's silence first; `out` null drops them.
    std::size_t Take(std::int16_t* out, std::uint64_t frames) {
        std::size_t n;
        if (gap > 0) {
            n = std::size_t(std::min(frames, gap));
            if (out != nullptr)
                std::fill_n(out, n * channels, std::int16_t(0));
            gap -= n;
        } else {
            n = std::size_t(std::min<std::uint64_t>(frames, PendingFrames()));
            if (out != nullptr)
                std::memcpy(out, pending.data() + pendingOffset,
                            n * channels * sizeof(std::int16_t));
            pendingOffset += n * channels;
        }
        position += n;
        return n;
    }

    // Decodes on and drops frames up to `target`.
    void DecodeForwardTo(std::uint64_t target) {
        while (position < target && Available())
            Take(nullptr, target - position);
    }

    // Seeks the demuxer before `target` and decodes up to it. False when the first frame after
    // the seek starts beyond the target (the demuxer landed too late).
    bool SeekAndDecodeTo(std::uint64_t target, std::int64_t preroll) {
        const std::int64_t from = std::max<std::int64_t>(0, std::int64_t(target) - preroll);
        const std::int64_t ts = originPts + av_rescale_q(from, AVRational{1, int(rate)}, timeBase);
        if (av_seek_frame(format, stream, ts, AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        avcodec_flush_buffers(codec);
        flushed = false;
        pending.clear();
        pendingOffset = 0;
        gap = 0;
        std::int64_t expected = from;
        while (NextFrame()) {
            const std::int64_t start = FrameStart(expected);
            const bool converted = Convert();
            av_frame_unref(frame);
            if (!converted)
                continue;
            if (start > std::int64_t(target))
                return false;
            const std::int64_t end = start + std::int64_t(PendingFrames());
            expected = end;
            if (end > std::int64_t(target)) {
                position = std::uint64_t(start);
                Take(nullptr, std::uint64_t(std::int64_t(target) - start));
                return true;
            }
        }
        // The target is at or past the last decoded frame.
        pending.clear();
        pendingOffset = 0;
        position = target;
        return true;
    }
};

FileDecoder::FileDecoder(std::unique_ptr<State> state) : s_(std::move(state)) {}
FileDecoder::~FileDecoder() = default;

std::unique_ptr<FileDecoder> FileDecoder::Open(const std::string& path) {
    // Damaged files are expected here and answered by the result; FFmpeg need not tell stderr.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    auto s = std::make_unique<State>();
    s->format = avformat_alloc_context();
    if (s->format == nullptr)
        return nullptr;
    s->format->interrupt_callback = AVIOInterruptCB{&State::Interrupt, s.get()};
    s->deadline = Clock::now() + OpenTime;
    const bool wav = IsWavFile(path);
    if (wav)
        s->format->probesize = 4096; // the header says everything; probing costs 7 ms
    if (avformat_open_input(&s->format, path.c_str(), nullptr, nullptr) < 0)
        return nullptr; // avformat_open_input freed the context
    // An audio stream's parameters are in its first packets; past them, FFmpeg would scan on
    // through junk or holes.
    if (s->WithinReadBudget([&] { return avformat_find_stream_info(s->format, nullptr); }) < 0)
        return nullptr;
    const AVCodec* codec = nullptr;
    s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (s->stream < 0 || codec == nullptr)
        return nullptr;
    AVStream* stream = s->format->streams[s->stream];
    const AVCodecParameters* params = stream->codecpar;
    if (params->sample_rate <= 0 || params->ch_layout.nb_channels <= 0)
        return nullptr;
    for (unsigned i = 0; i < s->format->nb_streams; ++i)
        if (int(i) != s->stream)
            s->format->streams[i]->discard = AVDISCARD_ALL;

    s->codec = avcodec_alloc_context3(codec);
    if (s->codec == nullptr || avcodec_parameters_to_context(s->codec, params) < 0)
        return nullptr;
    s->codec->pkt_timebase = stream->time_base;
    if (avcodec_open2(s->codec, codec, nullptr) < 0)
        return nullptr;
    s->packet = av_packet_alloc();
    s->frame = av_frame_alloc();
    if (s->packet == nullptr || s->frame == nullptr)
        return nullptr;

    s->timeBase = stream->time_base;
    s->frameSize = FixedFrameSize(params);
    s->rate = std::uint32_t(params->sample_rate);
    s->channels = params->ch_layout.nb_channels >= 2 ? 2 : 1;
    s->eightBit =
        wav && (params->codec_id == AV_CODEC_ID_PCM_U8 || params->codec_id == AV_CODEC_ID_PCM_S8);

    s->length = s->ProbeLength(path);
    s->EndOpenTime();

    // Position 0 is the first decoded frame, whatever time stamp the file gives it.
    if (s->NextFrame()) {
        if (s->frame->best_effort_timestamp != AV_NOPTS_VALUE)
            s->originPts = s->frame->best_effort_timestamp;
        s->Convert();
        av_frame_unref(s->frame);
    } else {
        s->length = 0;
    }
    return std::unique_ptr<FileDecoder>(new FileDecoder(std::move(s)));
}

std::uint32_t FileDecoder::Rate() const {
    return s_->rate;
}
std::uint32_t FileDecoder::Channels() const {
    return s_->channels;
}
bool FileDecoder::EightBit() const {
    return s_->eightBit;
}
std::uint64_t FileDecoder::Length() const {
    return s_->length;
}
std::uint64_t FileDecoder::Position() const {
    return s_->position;
}

bool FileDecoder::Seek(std::uint64_t frame) {
    if (frame > s_->length)
        return false;
    if (frame >= s_->position && frame - s_->position <= ForwardDecodeLimit) {
        s_->DecodeForwardTo(frame);
        s_->position = frame; // a file shorter than it says still lands where it was told
        return true;
    }
    for (std::int64_t preroll = SeekPreroll; preroll < 64 * SeekPreroll; preroll *= 4)
        if (s_->SeekAndDecodeTo(frame, preroll))
            return true;
    return s_->SeekAndDecodeTo(frame, std::int64_t(frame));
}

std::size_t FileDecoder::Read(std::int16_t* out, std::size_t frames) {
    std::size_t done = 0;
    while (done < frames && s_->Available())
        done += s_->Take(out + done * s_->channels, frames - done);
    return done;
}

} // namespace audio
