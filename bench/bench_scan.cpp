// The output folder scan and the sort of the file list: a folder of one-minute recordings of
// all four kinds (made once, then hard links to them). What the window waits for: the first
// scan of a folder (durations left to the background), the first scan with the durations kept
// on disk by an earlier run, and the rescan after a recording stops. Beside them the probing
// the background threads do for a folder seen for the first time.

#include "library/DurationCache.h"
#include "library/Durations.h"
#include "library/FileSort.h"
#include "library/FolderScan.h"
#include "support/BigFileList.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const fs::path Root = fs::temp_directory_path() / "sonvera_bench_scan";

void Put(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
}

// One minute of a stereo tone at 44100 Hz, 16 bits, as the recorder writes it.
void WriteMinuteWav(const fs::path& path) {
    const std::uint32_t frames = 60 * 44100;
    std::string bytes = "RIFF";
    Put(bytes, 36 + frames * 4, 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4);        // format chunk size
    Put(bytes, 1, 2);         // PCM
    Put(bytes, 2, 2);         // channels
    Put(bytes, 44100, 4);     // rate
    Put(bytes, 44100 * 4, 4); // bytes per second
    Put(bytes, 4, 2);         // block align
    Put(bytes, 16, 2);        // bits
    bytes += "data";
    Put(bytes, frames * 4, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto sample =
            static_cast<std::uint16_t>(std::lround(8000 * std::sin(i * 2 * M_PI * 440 / 44100)));
        Put(bytes, sample, 2);
        Put(bytes, sample, 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

// The four kinds, each encoded once.
fs::path Sources() {
    const fs::path dir = Root / "sources";
    if (!fs::exists(dir / "done")) {
        fs::create_directories(dir);
        const std::string wav = (dir / "minute.wav").string();
        WriteMinuteWav(wav);
        Run("lame --quiet " + wav + " " + (dir / "minute.mp3").string());
        Run("oggenc --quiet " + wav + " -o " + (dir / "minute.ogg").string());
        Run("ffmpeg -v error -y -i " + wav + " -c:a wmav2 " + (dir / "minute.wma").string());
        std::ofstream(dir / "done");
    }
    return dir;
}

// `count` recordings, the kinds taking turns.
std::string Folder(int count) {
    const fs::path sources = Sources();
    const fs::path dir = Root / std::to_string(count);
    if (!fs::exists(dir / "done")) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        const char* kinds[] = {"wav", "mp3", "ogg", "wma"};
        for (int i = 0; i < count; ++i) {
            const char* kind = kinds[i % 4];
            fs::create_hard_link(sources / (std::string("minute.") + kind),
                                 dir / ("record" + std::to_string(i + 1) + "." + kind));
        }
        std::ofstream(dir / "done");
    }
    return dir.string();
}

void BM_ScanAndSort(benchmark::State& state) {
    const std::string folder = Folder(static_cast<int>(state.range(0)));
    LibraryState library;
    ScanOutputFolder(folder, library); // warm the system's caches
    for (auto _ : state) {
        library.Known.clear(); // a folder seen for the first time
        ScanOutputFolder(folder, library);
        SortFileList(1, folder + "/record1.wav", library);
    }
    state.counters["files"] = static_cast<double>(library.Entries.size());
}
BENCHMARK(BM_ScanAndSort)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The first start after an earlier run: the durations kept on disk are read, then the scan.
void BM_ScanWithStoredDurations(benchmark::State& state) {
    const std::string folder = Folder(static_cast<int>(state.range(0)));
    const std::string cache = (Root / "durations").string();
    LibraryState library;
    ScanOutputFolder(folder, library);
    ProbeDurationsNow(library);
    SaveDurationCache(cache, library.Stored);
    for (auto _ : state) {
        LibraryState fresh;
        fresh.Stored = LoadDurationCache(cache);
        ScanOutputFolder(folder, fresh);
        SortFileList(1, folder + "/record1.wav", fresh);
        if (!fresh.Unprobed.empty())
            state.SkipWithError("durations missing from the cache");
    }
}
BENCHMARK(BM_ScanWithStoredDurations)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the background threads do for a folder seen for the first time.
void BM_ProbeDurations(benchmark::State& state) {
    const std::string folder = Folder(static_cast<int>(state.range(0)));
    LibraryState library;
    for (auto _ : state) {
        library.Known.clear();
        ScanOutputFolder(folder, library);
        ProbeDurationsNow(library);
    }
    state.counters["files"] = static_cast<double>(library.Entries.size());
}
// CPU time counts the probing threads too: divided by the cores it is the time on an idle machine.
BENCHMARK(BM_ProbeDurations)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// One file changed since the last scan (the recording just stopped): only it is left to probe.
void BM_RescanOneChanged(benchmark::State& state) {
    const std::string folder = Folder(static_cast<int>(state.range(0)));
    // A copy of its own: the folder's other files are links, which share their times.
    const std::string changed = folder + "/changed.wav";
    fs::copy_file(Sources() / "minute.wav", changed, fs::copy_options::overwrite_existing);
    LibraryState library;
    ScanOutputFolder(folder, library);
    std::int64_t second = 1'700'000'000;
    for (auto _ : state) {
        const timespec times[2] = {{second, 0}, {second, 0}};
        ++second;
        utimensat(AT_FDCWD, changed.c_str(), times, 0);
        ScanOutputFolder(folder, library);
        SortFileList(1, changed, library);
    }
    state.counters["files"] = static_cast<double>(library.Entries.size());
    fs::remove(changed);
}
BENCHMARK(BM_RescanOneChanged)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_Sort(benchmark::State& state) {
    LibraryState library = BigFileList();
    const int order = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SortFileList(order, library.Entries[500].path, library);
    }
}
BENCHMARK(BM_Sort)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
