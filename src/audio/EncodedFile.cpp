#include "audio/EncodedFile.h"

#include "audio/MuxerFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>
#include <vector>

namespace audio {

namespace {

// About 95 s of CD audio, as for the other encoders.
constexpr std::size_t QueueBytes = 16 * 1024 * 1024;
constexpr std::chrono::seconds StallLimit{10};

// Our input as it is, or planar float for an encoder that takes only that (WMA's).
AVSampleFormat SampleFormatFor(const AVCodec& encoder) {
    bool planarFloat = false;
    for (const AVSampleFormat* f = encoder.sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f) {
        if (*f == AV_SAMPLE_FMT_S16)
            return AV_SAMPLE_FMT_S16;
        planarFloat = planarFloat || *f == AV_SAMPLE_FMT_FLTP;
    }
    return planarFloat ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_NONE;
}

// The opened encoder, or null when it refuses the format.
AVCodecContext* OpenCodec(const EncodedFormat& f) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(f.Encoder);
    if (encoder == nullptr || f.Channels < 1 || f.Channels > 2)
        return nullptr;
    const AVSampleFormat sampleFormat = SampleFormatFor(*encoder);
    if (sampleFormat == AV_SAMPLE_FMT_NONE)
        return nullptr;
    AVCodecContext* codec = avcodec_alloc_context3(encoder);
    codec->sample_fmt = sampleFormat;
    codec->sample_rate = f.Rate;
    av_channel_layout_default(&codec->ch_layout, f.Channels);
    if (f.BitRate > 0)
        codec->bit_rate = f.BitRate;
    if (f.CompressionLevel >= 0)
        codec->compression_level = f.CompressionLevel;
    if (avcodec_open2(codec, encoder, nullptr) < 0)
        avcodec_free_context(&codec);
    return codec;
}

} // namespace

struct EncodedFile::Muxer {
    ~Muxer() { Release(); }

    bool Open(const EncodedFormat& f, const std::string& path) {
        codec = OpenCodec(f);
        if (codec == nullptr ||
            avformat_alloc_output_context2(&format, nullptr, f.Muxer, path.c_str()) < 0)
            return false;
        if (f.PacketSize != nullptr)
            av_opt_set_int(format->priv_data, "packet_size", f.PacketSize(codec->block_align), 0);
        stream = avformat_new_stream(format, nullptr);
        avcodec_parameters_from_context(stream->codecpar, codec);
        stream->time_base = AVRational{1, codec->sample_rate};
        if (!output.Attach(format, path))
            return false;
        AVDictionary* options = nullptr;
        av_dict_parse_string(&options, f.MuxerOptions, "=", ":", 0);
        const int written = avformat_write_header(format, &options);
        av_dict_free(&options);
        if (Failed(written))
            return false;
        headerWritten = true;
        avio_flush(format->pb);
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        // An encoder that takes any frame size says 0; a tenth of a second then.
        frame->nb_samples = codec->frame_size > 0 ? codec->frame_size : f.Rate / 10;
        frame->format = codec->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        frame->sample_rate = codec->sample_rate;
        pcm.resize(std::size_t(frame->nb_samples) * std::size_t(f.Channels) * 2);
        if (av_frame_get_buffer(frame, 0) < 0)
            return false;
        if (!f.LeadingSilence)
            return true;
        filled = pcm.size();
        return SendFrame();
    }

    // Takes any run of bytes, even cut inside a sample: the frame's bytes are laid out as the
    // input's.
    bool Consume(std::span<const std::uint8_t> bytes) {
        while (!bytes.empty()) {
            const std::size_t take = std::min(bytes.size(), pcm.size() - filled);
            std::memcpy(pcm.data() + filled, bytes.data(), take);
            filled += take;
            bytes = bytes.subspan(take);
            if (filled == pcm.size() && !SendFrame())
                return false;
        }
        return true;
    }

    bool Close() {
        bool ok = codec != nullptr && headerWritten;
        if (ok && filled > 0)
            ok = SendFrame();
        if (ok)
            ok = Drain(nullptr);
        const bool written = headerWritten;
        if (headerWritten && Failed(av_write_trailer(format)))
            ok = false;
        if (written && Failed(output.Close()))
            ok = false;
        Release();
        return ok;
    }

    int Error() const {
        const int code = AVUNERROR(error);
        return code > 0 && code < 4096 ? code : EIO;
    }

private:
    // Sends the whole samples of the PCM buffer; a short last frame is padded with silence for
    // an encoder that takes only whole frames.
    bool SendFrame() {
        if (av_frame_make_writable(frame) < 0)
            return false;
        const std::size_t channels = std::size_t(codec->ch_layout.nb_channels);
        if (codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)
            frame->nb_samples = int(filled / (2 * channels));
        else
            std::fill(pcm.begin() + std::ptrdiff_t(filled), pcm.end(), 0);
        if (codec->sample_fmt == AV_SAMPLE_FMT_S16)
            std::memcpy(frame->data[0], pcm.data(), pcm.size());
        else
            ToPlanarFloat(channels);
        frame->pts = pts;
        pts += frame->nb_samples;
        filled = 0;
        return Drain(frame);
    }

    void ToPlanarFloat(std::size_t channels) {
        const std::size_t samples = pcm.size() / (2 * channels);
        for (std::size_t c = 0; c < channels; ++c) {
            auto* out = reinterpret_cast<float*>(frame->data[c]);
            for (std::size_t i = 0; i < samples; ++i) {
                const std::size_t at = 2 * (i * channels + c);
                out[i] = std::int16_t(pcm[at] | pcm[at + 1] << 8) / 32768.0f;
            }
        }
    }

    bool Drain(AVFrame* input) {
        if (Failed(avcodec_send_frame(codec, input)))
            return false;
        while (true) {
            const int r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return !Failed(output.SyncWhenDue());
            if (Failed(r))
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

    void Release() {
        output.Detach();
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
    std::vector<std::uint8_t> pcm; // one frame of our interleaved 16-bit input
    std::size_t filled = 0;        // bytes of pcm
    std::int64_t pts = 0;
    int error = 0; // the last FFmpeg error
    MuxerFile output;
};

bool EncodedFile::Accepts(const EncodedFormat& format) {
    AVCodecContext* codec = OpenCodec(format);
    const bool accepted = codec != nullptr;
    avcodec_free_context(&codec);
    return accepted;
}

std::unique_ptr<EncodedFile> EncodedFile::Open(const EncodedFormat& format,
                                               const std::string& path) {
    auto muxer = std::make_unique<Muxer>();
    if (!muxer->Open(format, path))
        return nullptr;
    return std::unique_ptr<EncodedFile>(new EncodedFile(std::move(muxer)));
}

EncodedFile::EncodedFile(std::unique_ptr<Muxer> muxer)
    : muxer_(std::move(muxer)),
      feed_(std::make_unique<FeedThread>(
          [m = muxer_.get()](std::span<const std::uint8_t> bytes) { return m->Consume(bytes); },
          QueueBytes)) {}

EncodedFile::~EncodedFile() = default;

bool EncodedFile::Write(std::span<const std::uint8_t> pcm) {
    return feed_->Push(pcm.data(), pcm.size());
}

int EncodedFile::Close() {
    const bool fed = feed_->Finish(StallLimit);
    feed_.reset();
    const bool closed = muxer_->Close();
    return fed && closed ? 0 : muxer_->Error();
}

} // namespace audio
