// The program calls FFmpeg through these functions of the same names, which load its libraries
// the first time one is called. Linked at start, FFmpeg and the hundred libraries it brings in
// took about 18 MB of memory before anything was played, probed or converted; monitoring, and
// recording WAV, MP3 or OGG, never call them.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <array>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace audio {

namespace {

void* LoadedSymbol(const char* name) {
    static const std::array<void*, 4> libraries = [] {
        const std::array<const char*, 4> names = {
            "libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
            "libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR),
            "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
            "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR)};
        std::array<void*, 4> handles{};
        for (std::size_t i = 0; i < names.size(); ++i) {
            handles[i] = dlopen(names[i], RTLD_NOW | RTLD_LOCAL);
            if (handles[i] == nullptr) {
                std::fprintf(stderr, "Sonvera: %s\n", dlerror());
                std::abort();
            }
        }
        return handles;
    }();
    for (void* library : libraries)
        if (void* symbol = dlsym(library, name))
            return symbol;
    std::fprintf(stderr, "Sonvera: FFmpeg has no %s\n", name);
    std::abort();
}

} // namespace

} // namespace audio

// Each function looks its namesake up once; the header's declaration checks the signature.
// (The static_assert only takes the semicolon after each use.)
#define Forward(result, name, parameters, arguments)                                               \
    extern "C" result name parameters {                                                            \
        static const auto real = reinterpret_cast<decltype(&name)>(audio::LoadedSymbol(#name));    \
        return real arguments;                                                                     \
    }                                                                                              \
    static_assert(true)

Forward(int, av_channel_layout_copy, (AVChannelLayout * dst, const AVChannelLayout* src),
        (dst, src));
Forward(void, av_channel_layout_default, (AVChannelLayout * ch_layout, int nb_channels),
        (ch_layout, nb_channels));
Forward(void, av_dict_free, (AVDictionary * *m), (m));
Forward(int, av_dict_parse_string,
        (AVDictionary * *pm, const char* str, const char* key_val_sep, const char* pairs_sep,
         int flags),
        (pm, str, key_val_sep, pairs_sep, flags));
Forward(int, av_find_best_stream,
        (AVFormatContext * ic, enum AVMediaType type, int wanted_stream_nb, int related_stream,
         const AVCodec** decoder_ret, int flags),
        (ic, type, wanted_stream_nb, related_stream, decoder_ret, flags));
Forward(AVFrame*, av_frame_alloc, (void), ());
Forward(void, av_frame_free, (AVFrame * *frame), (frame));
Forward(int, av_frame_get_buffer, (AVFrame * frame, int align), (frame, align));
Forward(int, av_frame_make_writable, (AVFrame * frame), (frame));
Forward(void, av_frame_unref, (AVFrame * frame), (frame));
Forward(void, av_free, (void* ptr), (ptr));
Forward(void, av_freep, (void* ptr), (ptr));
Forward(int, av_get_bits_per_sample, (enum AVCodecID codec_id), (codec_id));
Forward(int, av_interleaved_write_frame, (AVFormatContext * s, AVPacket* pkt), (s, pkt));
Forward(void, av_log_set_level, (int level), (level));
Forward(void*, av_malloc, (size_t size), (size));
Forward(int, av_opt_set_int, (void* obj, const char* name, int64_t val, int search_flags),
        (obj, name, val, search_flags));
Forward(AVPacket*, av_packet_alloc, (void), ());
Forward(void, av_packet_free, (AVPacket * *pkt), (pkt));
Forward(uint8_t*, av_packet_get_side_data,
        (const AVPacket* pkt, enum AVPacketSideDataType type, size_t* size), (pkt, type, size));
Forward(void, av_packet_rescale_ts, (AVPacket * pkt, AVRational tb_src, AVRational tb_dst),
        (pkt, tb_src, tb_dst));
Forward(void, av_packet_unref, (AVPacket * pkt), (pkt));
Forward(int, av_read_frame, (AVFormatContext * s, AVPacket* pkt), (s, pkt));
Forward(int64_t, av_rescale, (int64_t a, int64_t b, int64_t c), (a, b, c));
Forward(int64_t, av_rescale_q, (int64_t a, AVRational bq, AVRational cq), (a, bq, cq));
Forward(int, av_seek_frame, (AVFormatContext * s, int stream_index, int64_t timestamp, int flags),
        (s, stream_index, timestamp, flags));
Forward(int, av_write_trailer, (AVFormatContext * s), (s));
Forward(AVCodecContext*, avcodec_alloc_context3, (const AVCodec* codec), (codec));
Forward(const AVCodec*, avcodec_find_encoder, (enum AVCodecID id), (id));
Forward(const AVCodec*, avcodec_find_encoder_by_name, (const char* name), (name));
Forward(void, avcodec_flush_buffers, (AVCodecContext * avctx), (avctx));
Forward(void, avcodec_free_context, (AVCodecContext * *avctx), (avctx));
Forward(int, avcodec_open2, (AVCodecContext * avctx, const AVCodec* codec, AVDictionary** options),
        (avctx, codec, options));
Forward(int, avcodec_parameters_from_context,
        (AVCodecParameters * par, const AVCodecContext* codec), (par, codec));
Forward(int, avcodec_parameters_to_context, (AVCodecContext * codec, const AVCodecParameters* par),
        (codec, par));
Forward(int, avcodec_receive_frame, (AVCodecContext * avctx, AVFrame* frame), (avctx, frame));
Forward(int, avcodec_receive_packet, (AVCodecContext * avctx, AVPacket* avpkt), (avctx, avpkt));
Forward(int, avcodec_send_frame, (AVCodecContext * avctx, const AVFrame* frame), (avctx, frame));
Forward(int, avcodec_send_packet, (AVCodecContext * avctx, const AVPacket* avpkt), (avctx, avpkt));
Forward(AVFormatContext*, avformat_alloc_context, (void), ());
Forward(int, avformat_alloc_output_context2,
        (AVFormatContext * *ctx, const AVOutputFormat* oformat, const char* format_name,
         const char* filename),
        (ctx, oformat, format_name, filename));
Forward(void, avformat_close_input, (AVFormatContext * *s), (s));
Forward(int, avformat_find_stream_info, (AVFormatContext * ic, AVDictionary** options),
        (ic, options));
Forward(void, avformat_free_context, (AVFormatContext * s), (s));
Forward(AVStream*, avformat_new_stream, (AVFormatContext * s, const AVCodec* c), (s, c));
Forward(int, avformat_open_input,
        (AVFormatContext * *ps, const char* url, const AVInputFormat* fmt, AVDictionary** options),
        (ps, url, fmt, options));
Forward(int, avformat_write_header, (AVFormatContext * s, AVDictionary** options), (s, options));
Forward(AVIOContext*, avio_alloc_context,
        (unsigned char* buffer, int buffer_size, int write_flag, void* opaque,
         int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
         int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
         int64_t (*seek)(void* opaque, int64_t offset, int whence)),
        (buffer, buffer_size, write_flag, opaque, read_packet, write_packet, seek));
Forward(void, avio_context_free, (AVIOContext * *s), (s));
Forward(void, avio_flush, (AVIOContext * s), (s));
Forward(int64_t, avio_size, (AVIOContext * s), (s));
Forward(int, swr_alloc_set_opts2,
        (struct SwrContext * *ps, AVChannelLayout* out_ch_layout,
         enum AVSampleFormat out_sample_fmt, int out_sample_rate, AVChannelLayout* in_ch_layout,
         enum AVSampleFormat in_sample_fmt, int in_sample_rate, int log_offset, void* log_ctx),
        (ps, out_ch_layout, out_sample_fmt, out_sample_rate, in_ch_layout, in_sample_fmt,
         in_sample_rate, log_offset, log_ctx));
Forward(int, swr_convert,
        (struct SwrContext * s, uint8_t** out, int out_count, const uint8_t** in, int in_count),
        (s, out, out_count, in, in_count));
Forward(void, swr_free, (struct SwrContext * *s), (s));
Forward(int, swr_get_out_samples, (struct SwrContext * s, int in_samples), (s, in_samples));
Forward(int, swr_init, (struct SwrContext * s), (s));
