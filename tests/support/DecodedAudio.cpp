#include "DecodedAudio.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include <cmath>

namespace decoded_audio {

Audio Decode(const std::string& path) {
    Audio audio;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return audio;
    avformat_find_stream_info(format, nullptr);
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0) {
        avformat_close_input(&format);
        return audio;
    }
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, format->streams[index]->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    SwrContext* convert = nullptr;
    swr_alloc_set_opts2(&convert, &decoder->ch_layout, AV_SAMPLE_FMT_S16, decoder->sample_rate,
                        &decoder->ch_layout, decoder->sample_fmt, decoder->sample_rate, 0, nullptr);
    swr_init(convert);
    audio.Rate = decoder->sample_rate;
    audio.Channels = decoder->ch_layout.nb_channels;

    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto take = [&] {
        while (avcodec_receive_frame(decoder, frame) == 0) {
            const std::size_t at = audio.Samples.size();
            audio.Samples.resize(at + std::size_t(frame->nb_samples) * audio.Channels);
            auto* out = reinterpret_cast<std::uint8_t*>(audio.Samples.data() + at);
            swr_convert(convert, &out, frame->nb_samples,
                        const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(decoder, packet) >= 0)
            take();
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    swr_free(&convert);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return audio;
}

Sine MeasureSine(const Audio& audio, int channel, std::size_t from, std::size_t to) {
    double power = 0;
    std::size_t first = 0, last = 0, crossings = 0;
    for (std::size_t f = from; f < to; ++f) {
        const double v = audio.Samples[f * audio.Channels + channel];
        power += v * v;
        if (f > from && audio.Samples[(f - 1) * audio.Channels + channel] < 0 && v >= 0) {
            if (crossings++ == 0)
                first = f;
            last = f;
        }
    }
    Sine sine;
    sine.Amplitude = std::sqrt(2 * power / double(to - from));
    if (crossings > 1)
        sine.Frequency = double(crossings - 1) * audio.Rate / double(last - first);
    return sine;
}

} // namespace decoded_audio
