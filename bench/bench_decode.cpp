// The folder scan's probe of a recording (open a stream, read its length, free it) for each
// format, and a sample-exact seek, on 10-second files of a tone made by the real encoders.

#include "audio/Bass.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string& Folder() {
    static const std::string dir = [] {
        const auto path = std::filesystem::temp_directory_path() / "sonvera-bench-decode";
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return dir;
}

void WriteTone(const std::string& path) {
    constexpr std::uint32_t rate = 44100, frames = rate * 10;
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(char(v >> (8 * i)));
    };
    out.write("RIFF", 4);
    put(36 + frames * 4, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4), put(1, 2), put(2, 2), put(rate, 4), put(rate * 4, 4), put(4, 2), put(16, 2);
    out.write("data", 4);
    put(frames * 4, 4);
    for (std::uint32_t f = 0; f < frames; ++f) {
        const auto s = std::uint16_t(std::lround(12000 * std::sin(f * 0.142)));
        put(s, 2), put(s, 2);
    }
}

// The file of a format, made once.
std::string File(const std::string& ext) {
    const std::string wav = Folder() + "/tone.wav";
    const std::string path = Folder() + "/tone." + ext;
    if (!std::filesystem::exists(wav))
        WriteTone(wav);
    if (!std::filesystem::exists(path)) {
        const std::string command = ext == "mp3"   ? "lame --quiet -b 128 " + wav + " " + path
                                    : ext == "ogg" ? "oggenc -Q " + wav + " -o " + path
                                                   : "ffmpeg -nostdin -loglevel error -i " + wav +
                                                         " -c:a wmav2 -b:a 128k " + path;
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return path;
}

void BM_ProbeLength(benchmark::State& state, const std::string& ext) {
    const std::string path = File(ext);
    if (path.empty()) {
        state.SkipWithError("encoder missing");
        return;
    }
    for (auto _ : state) {
        const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, 0);
        benchmark::DoNotOptimize(BASS_ChannelBytes2Seconds(h, BASS_ChannelGetLength(h, 0)));
        BASS_StreamFree(h);
    }
}
BENCHMARK_CAPTURE(BM_ProbeLength, wav, std::string("wav"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProbeLength, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProbeLength, ogg, std::string("ogg"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProbeLength, wma, std::string("wma"))->Unit(benchmark::kMillisecond);

// A player's jump to a new place: seek and read the next 100 ms.
void BM_SeekAndRead(benchmark::State& state, const std::string& ext) {
    const std::string path = File(ext);
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    std::vector<char> buffer(17640);
    QWORD target = 0;
    for (auto _ : state) {
        target = (target + 1234567 * 4) % (400000 * 4);
        BASS_ChannelSetPosition(h, target, BASS_POS_BYTE);
        benchmark::DoNotOptimize(BASS_ChannelGetData(h, buffer.data(), DWORD(buffer.size())));
    }
    BASS_StreamFree(h);
}
BENCHMARK_CAPTURE(BM_SeekAndRead, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SeekAndRead, ogg, std::string("ogg"))->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
