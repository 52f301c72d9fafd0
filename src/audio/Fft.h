#pragma once
// The 1024-point spectrum of 16-bit PCM: 512 magnitudes per channel, interleaved, through a
// periodic Hann window; a full-scale sine on a bin gives 1.0 there.

#include <cstdint>

namespace audio {

constexpr int SpectrumPoints = 1024;
constexpr int SpectrumBins = SpectrumPoints / 2;

// `frames` holds SpectrumPoints interleaved frames of `channels`; `out` takes
// SpectrumBins * channels floats, bin k of channel c at k * channels + c. Thread-safe.
void ComputeSpectrum(const std::int16_t* frames, int channels, float* out);

} // namespace audio
