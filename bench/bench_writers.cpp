// The window thread's cost of handing one 100 ms block to the running writer, per format: the
// queueing towards the WAV writer thread, lame, oggenc and the WMA, FLAC and Opus encoders
// (which write and encode on threads and processes of their own); and of a start and a stop.

#include "engine/OutputFormats.h"
#include "engine/Writers.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

void WriteBlocks(benchmark::State& state, void (*select)(RecordingSettings&), const char* ext) {
    RecordingSettings s;
    s.MP3 = false;
    select(s);
    ComputeBlockSizes(s);
    const auto dir = std::filesystem::temp_directory_path() / "sonvera_bench_writers";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (std::string("record001.") + ext)).string();

    // A 1 kHz tone, so the encoders do real work.
    std::vector<std::uint8_t> block(s.BlockBytes);
    for (std::size_t i = 0; i + 1 < block.size(); i += 2) {
        const auto v = static_cast<std::int16_t>(8000 * std::sin(i / 2 * 0.1425));
        block[i] = static_cast<std::uint8_t>(v);
        block[i + 1] = static_cast<std::uint8_t>(v >> 8);
    }

    WriterState writers;
    StartWriters(writers, s, path, true);
    int written = 0;
    for (auto _ : state) {
        if (const MaybeMessage message = WriteBlock(writers, block)) {
            state.SkipWithError(message->text.c_str());
            break;
        }
        // A new recording now and then, so an encoder's queue never fills as it would not
        // in real time (the loop hands over blocks far faster than 10 a second).
        if (++written % 200 == 0) {
            state.PauseTiming();
            StopWriters(writers);
            FinishAllWriters(writers);
            StartWriters(writers, s, path, true);
            state.ResumeTiming();
        }
    }
    StopWriters(writers);
    FinishAllWriters(writers);
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK_CAPTURE(
    WriteBlocks, Wav, [](RecordingSettings& s) { s.Wav = true; }, "wav")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK_CAPTURE(
    WriteBlocks, Mp3, [](RecordingSettings& s) { s.MP3 = true; }, "mp3")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK_CAPTURE(
    WriteBlocks, Ogg, [](RecordingSettings& s) { s.OGG = true; }, "ogg")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK_CAPTURE(
    WriteBlocks, Wma, [](RecordingSettings& s) { s.WMA = true; }, "wma")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

BENCHMARK_CAPTURE(
    WriteBlocks, Flac, [](RecordingSettings& s) { SelectFormat(s, FormatId::Flac); }, "flac")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);
BENCHMARK_CAPTURE(
    WriteBlocks, Opus, [](RecordingSettings& s) { SelectFormat(s, FormatId::Opus); }, "opus")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

// The window thread's cost of starting a recording and of stopping it (the file is finished
// in the background, waited for outside the timing).
void StartAndStop(benchmark::State& state, FormatId format, const char* ext) {
    RecordingSettings s;
    SelectFormat(s, format);
    ComputeBlockSizes(s);
    const auto dir = std::filesystem::temp_directory_path() / "sonvera_bench_start";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (std::string("record001.") + ext)).string();
    WriterState writers;
    for (auto _ : state) {
        StartWriters(writers, s, path, true);
        StopWriters(writers);
        state.PauseTiming();
        FinishAllWriters(writers);
        state.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}

BENCHMARK_CAPTURE(StartAndStop, Wav, FormatId::Wav, "wav")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StartAndStop, Mp3, FormatId::Mp3, "mp3")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StartAndStop, Wma, FormatId::Wma, "wma")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StartAndStop, Flac, FormatId::Flac, "flac")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StartAndStop, Opus, FormatId::Opus, "opus")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
