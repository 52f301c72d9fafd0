// ConvertBlock + MeasurePeaks for one block in each rate case (and the mono and 8-bit
// encodings at 44100 Hz): the work of the capture poll per 100 ms block.

#include "engine/Processing.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

void ConvertAndMeasure(benchmark::State& state, bool wav, std::uint32_t rate, std::int32_t channels,
                       std::uint16_t bits) {
    RecordingSettings settings;
    settings.Wav = wav;
    settings.MP3 = !wav;
    settings.SamplesPerSecond = rate;
    settings.Channels = channels;
    settings.BitsPerSample = bits;
    ComputeBlockSizes(settings);
    std::vector<std::uint8_t> capture(settings.CaptureBufferBytes);
    for (std::size_t i = 0; i + 1 < capture.size(); i += 2) {
        const auto v = static_cast<std::int16_t>(20000 * std::sin(double(i) * 0.001));
        capture[i] = std::uint8_t(std::uint16_t(v) & 0xFF);
        capture[i + 1] = std::uint8_t(std::uint16_t(v) >> 8);
    }
    static ConvertedBlock block;
    for (auto _ : state) {
        ConvertBlock(capture, settings, block);
        MeasurePeaks(block);
        benchmark::DoNotOptimize(block.PeakLeft);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * settings.CaptureFrames);
}

} // namespace

BENCHMARK_CAPTURE(ConvertAndMeasure, Mp3Stereo44100, false, 44100u, 2, 16);
BENCHMARK_CAPTURE(ConvertAndMeasure, Mp3Mono44100, false, 44100u, 1, 16);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav8BitStereo44100, true, 44100u, 2, 8);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav22050, true, 22050u, 2, 16);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav11025Mono8Bit, true, 11025u, 1, 8);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav48000, true, 48000u, 2, 16);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav96000, true, 96000u, 2, 16);
BENCHMARK_CAPTURE(ConvertAndMeasure, Wav96000Mono, true, 96000u, 1, 16);

BENCHMARK_MAIN();
