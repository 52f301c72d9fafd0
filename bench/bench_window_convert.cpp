// A ten-minute WAV converted to MP3 by the converter window, against lame alone encoding the
// same file with the same options, side by side in each round. The window adds decoding and
// copying only, so its time should stay within a tenth of lame's.

#include "engine/WavFile.h"
#include "support/BenchMain.h"
#include "ui/convert/convert.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr std::uint32_t Rate = 44100;
constexpr std::uint32_t Seconds = 600;

// Music-like enough for the encoder to work: two tones and a little noise, stereo.
void WriteSource(const std::string& path) {
    RecordingSettings format;
    format.SamplesPerSecond = Rate;
    format.Channels = 2;
    format.BitsPerSample = 16;
    const std::uint32_t frames = Rate * Seconds;
    WavHeader header;
    FillWavHeader(header, format, frames * 4);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    std::vector<std::int16_t> chunk(Rate * 2);
    std::uint32_t noise = 1;
    for (std::uint32_t second = 0; second < Seconds; ++second) {
        for (std::uint32_t i = 0; i < Rate; ++i) {
            const double t = double(second * Rate + i) / Rate;
            noise = noise * 1664525u + 1013904223u;
            const double n = (double(noise >> 16) / 65536.0 - 0.5) * 2000;
            chunk[2 * i] = std::int16_t(8000 * std::sin(2 * M_PI * 440 * t) + n);
            chunk[2 * i + 1] = std::int16_t(6000 * std::sin(2 * M_PI * 660 * t) - n);
        }
        out.write(reinterpret_cast<const char*>(chunk.data()), std::streamsize(chunk.size() * 2));
    }
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// lame on the file itself, with the converter's options (128 kbit/s, stereo), quiet as the
// converter's encoder is (its output goes nowhere).
double LameAlone(const std::string& source, const std::string& target) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"lame", "-b", "128", "-m", "s", source, target};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "lame", &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return Since(start);
}

void BM_ConvertTenMinutes(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "sonvera_bench_convert";
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "record001.wav").string();
    if (!std::filesystem::exists(source) ||
        std::filesystem::file_size(source) != 44 + std::uint64_t(Rate) * Seconds * 4)
        WriteSource(source);

    RecordingSettings settings; // 128 kbit/s, stereo: "-b 128 -m s"
    TFormConvert form(settings);
    double lameTotal = 0, converterTotal = 0;
    for (auto _ : state) {
        const double lame = LameAlone(source, (dir / "lame.mp3").string());
        if (lame < 0) {
            state.SkipWithError("lame not found");
            break;
        }
        const std::string target = (dir / "record001.mp3").string();
        std::filesystem::remove(target);
        const auto start = std::chrono::steady_clock::now();
        form.show();
        const bool completed = form.Convert(source, target, Rate, 2);
        const double converter = Since(start);
        if (!completed) {
            state.SkipWithError("conversion did not complete");
            break;
        }
        state.SetIterationTime(converter);
        lameTotal += lame;
        converterTotal += converter;
    }
    const double rounds = double(state.iterations());
    state.counters["lame_s"] = lameTotal / rounds;
    state.counters["converter_s"] = converterTotal / rounds;
    state.counters["ratio"] = converterTotal / lameTotal;
}
BENCHMARK(BM_ConvertTenMinutes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOffscreen<QApplication>(argc, argv);
}
