#include "KnownSignal.h"

#include <cmath>
#include <numbers>

namespace known_signal {

std::int16_t Left(std::uint32_t frame) {
    const double angle = 2.0 * std::numbers::pi * SineCycles * (frame % Period) / Period;
    return static_cast<std::int16_t>(std::lround(SineAmplitude * std::sin(angle)));
}

std::int16_t Right(std::uint32_t frame) {
    return static_cast<std::int16_t>(static_cast<int>(frame % Period) - 16384);
}

double SineFrequency(std::uint32_t rate) {
    return double(SineCycles) * rate / Period;
}

std::uint32_t PhaseOf(std::int16_t right) {
    return static_cast<std::uint32_t>(right + 16384);
}

std::optional<std::string> CheckStereo(std::span<const std::int16_t> interleaved,
                                       std::uint32_t phase) {
    for (std::size_t i = 0; i + 1 < interleaved.size(); i += 2) {
        const auto frame = static_cast<std::uint32_t>(phase + i / 2);
        if (interleaved[i] != Left(frame) || interleaved[i + 1] != Right(frame)) {
            return "frame " + std::to_string(i / 2) + ": got (" + std::to_string(interleaved[i]) +
                   ", " + std::to_string(interleaved[i + 1]) + "), expected (" +
                   std::to_string(Left(frame)) + ", " + std::to_string(Right(frame)) + ")";
        }
    }
    return std::nullopt;
}

std::vector<std::size_t> Breaks(std::span<const std::int16_t> interleaved) {
    std::vector<std::size_t> breaks;
    for (std::size_t frame = 1; frame < interleaved.size() / 2; ++frame) {
        const std::uint32_t before = PhaseOf(interleaved[2 * frame - 1]);
        if (interleaved[2 * frame] != Left(before + 1) ||
            interleaved[2 * frame + 1] != Right(before + 1))
            breaks.push_back(frame);
    }
    return breaks;
}

} // namespace known_signal
