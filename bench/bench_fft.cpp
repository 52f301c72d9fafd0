// The player's spectrum of one 1024-frame stereo window, as every 33 ms tick asks for it.

#include "audio/Fft.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

void BM_StereoSpectrum(benchmark::State& state) {
    std::vector<std::int16_t> frames(audio::SpectrumPoints * 2);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = std::int16_t(10000 * std::sin(0.3 * double(i)));
    std::vector<float> bins(audio::SpectrumBins * 2);
    for (auto _ : state) {
        audio::ComputeSpectrum(frames.data(), 2, bins.data());
        benchmark::DoNotOptimize(bins.data());
    }
}
BENCHMARK(BM_StereoSpectrum)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
