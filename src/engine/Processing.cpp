#include "engine/Processing.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "capture and output blocks are little-endian and copied as they are");

namespace {

// 0.5 × left + 0.5 × right, halves to the even neighbour.
inline std::int16_t Mix(std::int32_t left, std::int32_t right) {
    const std::int32_t sum = left + right;
    const std::int32_t half = sum >> 1; // floor
    return static_cast<std::int16_t>(half + (sum & half & 1));
}

// The high byte with its top bit inverted: -32768 -> 0, 0 -> 128, 32767 -> 255.
inline std::uint8_t Eight(std::int16_t sample) {
    return static_cast<std::uint8_t>((static_cast<std::uint16_t>(sample) >> 8) ^ 0x80);
}

inline void Put16(std::uint8_t* out, std::int16_t sample) {
    std::memcpy(out, &sample, sizeof sample);
}

template <std::uint32_t Channels, std::uint32_t Bytes>
void Encode(const ConvertedBlock& b, std::uint32_t frames, std::uint32_t step, std::uint8_t* out) {
    for (std::uint32_t j = 0, i = 0; j < frames; ++j, i += step) {
        if constexpr (Bytes == 2) {
            Put16(out, b.LeftSamples[i]);
            if constexpr (Channels == 2)
                Put16(out + 2, b.RightSamples[i]);
        } else {
            out[0] = Eight(b.LeftSamples[i]);
            if constexpr (Channels == 2)
                out[1] = Eight(b.RightSamples[i]);
        }
        out += Channels * Bytes;
    }
}

} // namespace

void ConvertBlock(std::span<const std::uint8_t> capture, const RecordingSettings& settings,
                  ConvertedBlock& block) {
    const BlockFormat format = BlockFormatOf(settings);
    const std::uint32_t frames =
        std::min<std::size_t>({settings.CaptureFrames, capture.size() / 4, MaxBlockSamples,
                               MaxOutputBytes / (format.Channels * format.BytesPerSample)});

    const std::uint8_t* in = capture.data();
    if (format.Channels == 1) {
        for (std::uint32_t i = 0; i < frames; ++i, in += 4) {
            std::int16_t left, right;
            std::memcpy(&left, in, 2);
            std::memcpy(&right, in + 2, 2);
            block.LeftSamples[i] = Mix(left, right);
            block.RightSamples[i] = right;
        }
    } else {
        for (std::uint32_t i = 0; i < frames; ++i, in += 4) {
            std::memcpy(&block.LeftSamples[i], in, 2);
            std::memcpy(&block.RightSamples[i], in + 2, 2);
        }
    }

    // The lower WAV rates take every second or fourth captured frame, without filtering; a
    // partial last group (the two frames left over at 11025 Hz) has no output frame.
    const std::uint32_t outFrames =
        std::min<std::uint32_t>(frames / format.Step, settings.BlockFrames);
    std::uint8_t* out = block.OutputBlock.data();
    if (format.Channels == 2 && format.BytesPerSample == 2 && format.Step == 1)
        std::memcpy(out, capture.data(), std::size_t(outFrames) * 4); // the capture as it is
    else if (format.Channels == 2 && format.BytesPerSample == 2)
        Encode<2, 2>(block, outFrames, format.Step, out);
    else if (format.Channels == 1 && format.BytesPerSample == 2)
        Encode<1, 2>(block, outFrames, format.Step, out);
    else if (format.Channels == 2)
        Encode<2, 1>(block, outFrames, format.Step, out);
    else
        Encode<1, 1>(block, outFrames, format.Step, out);

    block.Frames = frames;
    block.OutputBytes = outFrames * format.Channels * format.BytesPerSample;
}

void MeasurePeaks(ConvertedBlock& block) {
    std::int32_t left = 0;
    std::int32_t right = 0;
    for (std::uint32_t i = 0; i < block.Frames; ++i) {
        left = std::max(left, std::abs(std::int32_t{block.LeftSamples[i]}));
        right = std::max(right, std::abs(std::int32_t{block.RightSamples[i]}));
    }
    block.ClipLeft = left >= 32767 ? 1 : 0;
    block.ClipRight = right >= 32767 ? 1 : 0;
    block.PeakLeft = static_cast<float>(std::min(left, 32767));
    block.PeakRight = static_cast<float>(std::min(right, 32767));
}
