#include "audio/PacketLength.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

#include <memory>

namespace audio {

std::optional<std::uint64_t> SumPacketFrames(AVFormatContext* format, int stream,
                                             std::uint32_t rate) {
    const AVRational timeBase = format->streams[stream]->time_base;
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(),
                                                          [](AVPacket* p) { av_packet_free(&p); });
    if (!packet)
        return std::nullopt;
    std::int64_t duration = 0; // in the stream's time base
    std::int64_t skipped = 0;  // frames
    bool complete = true;
    while (av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            // A packet without a duration, or durations past counting (a hostile file).
            if (packet->duration <= 0 ||
                __builtin_add_overflow(duration, packet->duration, &duration))
                complete = false;
            size_t size = 0;
            // Side data: 32-bit little-endian frames to skip at the start, then at the end.
            const uint8_t* skip =
                av_packet_get_side_data(packet.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (skip != nullptr && size >= 8)
                skipped += static_cast<std::int64_t>(AV_RL32(skip)) + AV_RL32(skip + 4);
        }
        av_packet_unref(packet.get());
    }
    if (!complete)
        return std::nullopt;
    const std::int64_t frames =
        av_rescale_q(duration, timeBase, AVRational{1, int(rate)}) - skipped;
    return frames > 0 ? static_cast<std::uint64_t>(frames) : 0;
}

} // namespace audio
