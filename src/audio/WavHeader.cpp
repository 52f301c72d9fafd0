#include "audio/WavHeader.h"

#include <algorithm>

namespace audio {

WavHeaderBytes MakeWavHeader(std::uint32_t rate, std::int32_t channels, std::uint16_t bits,
                             std::uint32_t dataBytes) {
    WavHeaderBytes h{};
    auto put = [&h](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    auto text = [&h](std::size_t at, const char* s) {
        std::copy(s, s + 4, h.begin() + static_cast<std::ptrdiff_t>(at));
    };
    const auto blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    text(0, "RIFF");
    put(4, dataBytes + 36, 4);
    text(8, "WAVE");
    text(12, "fmt ");
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, static_cast<std::uint8_t>(channels), 2);
    put(24, rate, 4);
    put(28, rate * blockAlign, 4);
    put(32, static_cast<std::uint8_t>(blockAlign), 2);
    put(34, static_cast<std::uint8_t>(bits), 2);
    text(36, "data");
    put(40, dataBytes, 4);
    return h;
}

} // namespace audio
