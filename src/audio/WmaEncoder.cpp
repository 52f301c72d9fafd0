#include "audio/WmaEncoder.h"

#include "platform/OutputFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace audio {

namespace {

// About 95 s of CD audio, as for the command-line encoders.
constexpr std::size_t QueueBytes = 16 * 1024 * 1024;
constexpr std::chrono::seconds StallLimit{10};

const AVCodec* Wmav2() {
    return avcodec_find_encoder(AV_CODEC_ID_WMAV2);
}

AVCodecContext* OpenCodec(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate) {
    const AVCodec* codec = Wmav2();
    if (codec == nullptr || chans < 1 || chans > 2)
        return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = static_cast<int>(freq);
    av_channel_layout_default(&context->ch_layout, static_cast<int>(chans));
    context->bit_rate = bitrate;
    if (avcodec_open2(context, codec, nullptr) < 0)
        avcodec_free_context(&context);
    return context;
}

// What the muxer has written is made safe on the disk this often, and at the end.
constexpr std::chrono::seconds SyncInterval{2};
constexpr int IoBufferBytes = 32 * 1024;

// The file under FFmpeg's writes is ours, so that it can be synced as it grows.
struct FileSink {
    std::unique_ptr<platform::OutputFile> file;
    std::uint64_t position = 0;
    std::uint64_t end = 0;

    static int Write(void* opaque, std::uint8_t* data, int size) {
        auto* sink = static_cast<FileSink*>(opaque);
        if (const int error = sink->file->WriteAt(
                sink->position, std::span<const std::uint8_t>(data, std::size_t(size))))
            return AVERROR(error);
        sink->position += std::uint64_t(size);
        sink->end = std::max(sink->end, sink->position);
        return size;
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* sink = static_cast<FileSink*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return std::int64_t(sink->end);
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += std::int64_t(sink->position);
            break;
        case SEEK_END:
            offset += std::int64_t(sink->end);
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (offset < 0)
            return AVERROR(EINVAL);
        sink->position = std::uint64_t(offset);
        return offset;
    }
};

} // namespace

// The encoder and the file it writes, worked by the feed thread.
class WmaFile {
public:
    ~WmaFile() { Release(); }

    bool Open(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate, const char* path) {
        codec = OpenCodec(freq, chans, bitrate);
        if (codec == nullptr || avformat_alloc_output_context2(&format, nullptr, "asf", path) < 0)
            return false;
        // The muxer's default packet size pads every packet; this size fits the codec's
        // blocks exactly, so the file keeps the asked rate.
        const int unit = codec->block_align + 20;
        av_opt_set_int(format->priv_data, "packet_size", (3194 / unit) * unit + 6, 0);
        stream = avformat_new_stream(format, nullptr);
        avcodec_parameters_from_context(stream->codecpar, codec);
        stream->time_base = AVRational{1, codec->sample_rate};
        platform::CreatedFile created = platform::CreateOutputFile(path);
        if (!created.File)
            return false;
        sink.file = std::move(created.File);
        auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferBytes));
        format->pb = avio_alloc_context(buffer, IoBufferBytes, 1, &sink, nullptr, FileSink::Write,
                                        FileSink::Seek);
        if (format->pb == nullptr) {
            av_free(buffer);
            return false;
        }
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        lastSync = std::chrono::steady_clock::now();
        // Each packet goes to the file as soon as it is made; by default the file's buffer
        // keeps the first 256 KiB (16 s at 128 kbit/s), so a crash would leave nothing.
        format->flush_packets = 1;
        if (Failed(avformat_write_header(format, nullptr)))
            return false;
        headerWritten = true;
        avio_flush(format->pb);
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        frame->nb_samples = codec->frame_size;
        frame->format = codec->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        frame->sample_rate = codec->sample_rate;
        if (av_frame_get_buffer(frame, 0) < 0)
            return false;
        channels = static_cast<int>(chans);
        // The encoder swallows its first frame: give it one of silence.
        return SendFrame(codec->frame_size, true);
    }

    // Takes any run of bytes of interleaved 16-bit PCM, even cut inside a sample.
    bool Consume(std::span<const std::uint8_t> bytes) {
        for (std::uint8_t byte : bytes) {
            partial[partialBytes++] = byte;
            if (partialBytes < static_cast<std::size_t>(2 * channels))
                continue;
            partialBytes = 0;
            for (int c = 0; c < channels; ++c) {
                const auto sample =
                    static_cast<std::int16_t>(partial[2 * c] | partial[2 * c + 1] << 8);
                reinterpret_cast<float*>(frame->data[c])[filled] = sample / 32768.0f;
            }
            if (++filled == codec->frame_size && !SendFrame(filled, false))
                return false;
        }
        return true;
    }

    bool Close() {
        bool ok = codec != nullptr && headerWritten;
        if (ok && filled > 0)
            ok = SendFrame(filled, false);
        if (ok)
            ok = Drain(nullptr);
        if (headerWritten && Failed(av_write_trailer(format)))
            ok = false;
        // The last bytes reach the disk only now: a full disk shows here too.
        if (format != nullptr && format->pb != nullptr) {
            avio_flush(format->pb);
            if (Failed(format->pb->error) || !Sync())
                ok = false;
        }
        if (sink.file && Failed(AVERROR(sink.file->Close())))
            ok = false;
        Release();
        return ok;
    }

    // The errno value of the last failure the system gave, or EIO.
    int Error() const {
        const int code = AVUNERROR(error);
        return code > 0 && code < 4096 ? code : EIO;
    }

private:
    // Sends the frame buffer holding `samples` samples, padded with silence to a whole frame.
    bool SendFrame(int samples, bool silent) {
        if (av_frame_make_writable(frame) < 0)
            return false;
        for (int c = 0; c < channels; ++c) {
            float* data = reinterpret_cast<float*>(frame->data[c]);
            const int from = silent ? 0 : samples;
            std::fill(data + from, data + codec->frame_size, 0.0f);
        }
        frame->pts = pts;
        pts += codec->frame_size;
        filled = 0;
        return Drain(frame);
    }

    bool Drain(AVFrame* input) {
        if (avcodec_send_frame(codec, input) < 0)
            return false;
        while (true) {
            const int r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return std::chrono::steady_clock::now() - lastSync < SyncInterval || Sync();
            if (r < 0)
                return false;
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (Failed(av_interleaved_write_frame(format, packet)))
                return false;
        }
    }

    // Keeps the error of an FFmpeg result; true when it is one.
    bool Failed(int result) {
        if (result < 0)
            error = result;
        return result < 0;
    }

    // On the disk itself: a failed write-back shows here.
    bool Sync() {
        lastSync = std::chrono::steady_clock::now();
        return !sink.file || !Failed(AVERROR(sink.file->Sync()));
    }

    void Release() {
        if (format != nullptr && format->pb != nullptr) {
            av_freep(&format->pb->buffer);
            avio_context_free(&format->pb);
        }
        avformat_free_context(format);
        format = nullptr;
        avcodec_free_context(&codec);
        av_frame_free(&frame);
        av_packet_free(&packet);
        headerWritten = false;
    }

    AVCodecContext* codec = nullptr;
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool headerWritten = false;
    int channels = 2;
    int filled = 0;
    std::int64_t pts = 0;
    std::uint8_t partial[4] = {};
    std::size_t partialBytes = 0;
    int error = 0; // the last FFmpeg error
    FileSink sink;
    std::chrono::steady_clock::time_point lastSync;
};

bool WmaEncoder::Accepts(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate) {
    AVCodecContext* context = OpenCodec(freq, chans, bitrate);
    const bool accepted = context != nullptr;
    avcodec_free_context(&context);
    return accepted;
}

std::unique_ptr<WmaEncoder> WmaEncoder::Open(std::uint32_t freq, std::uint32_t chans,
                                             std::uint32_t bitrate, const std::string& path) {
    std::unique_ptr<WmaEncoder> encoder(new WmaEncoder);
    encoder->file_ = std::make_unique<WmaFile>();
    if (!encoder->file_->Open(freq, chans, bitrate, path.c_str()))
        return nullptr;
    encoder->feed_ = std::make_unique<FeedThread>(
        [wma = encoder->file_.get()](std::span<const std::uint8_t> bytes) {
            return wma->Consume(bytes);
        },
        QueueBytes);
    return encoder;
}

WmaEncoder::WmaEncoder() = default;

WmaEncoder::~WmaEncoder() {
    Close();
}

bool WmaEncoder::Write(const void* data, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    return feed_ && feed_->Push(data, bytes);
}

int WmaEncoder::Close() {
    std::lock_guard closing(close_);
    std::unique_ptr<FeedThread> feed;
    {
        std::lock_guard lock(mutex_);
        feed = std::move(feed_);
    }
    if (!feed)
        return closeError_;
    const bool fed = feed->Finish(StallLimit);
    feed.reset();
    const bool closed = file_->Close();
    closeError_ = fed && closed ? 0 : file_->Error();
    return closeError_;
}

} // namespace audio
