// The window thread's longest stall while recording WAV: a 33 ms timer loop runs the capture
// poll and the WAV writer on the real capture device for a while, as the main window does, and
// reports the longest tick and the longest gap between ticks. Run it through
// tools/measure-capture-stall.sh, which loads the machine and the disk around it.
//   bench_capture_stall OUTPUT_FOLDER [SECONDS] [DISK_STALL_SECONDS]
// With DISK_STALL_SECONDS, one write of the WAV file, 10 s into the recording, blocks that long.

#include "engine/AudioLoss.h"
#include "engine/WRecord.h"
#include "engine/Writers.h"
#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The real file, with one write held up.
struct StallingFile : platform::OutputFile {
    std::unique_ptr<platform::OutputFile> real;
    int stallSeconds;
    std::atomic<int>& writes;
    StallingFile(std::unique_ptr<platform::OutputFile> r, int s, std::atomic<int>& w)
        : real(std::move(r)), stallSeconds(s), writes(w) {}
    int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        if (offset >= 44 && ++writes == 100)
            std::this_thread::sleep_for(std::chrono::seconds(stallSeconds));
        return real->WriteAt(offset, bytes);
    }
    int Sync() override { return real->Sync(); }
    int Truncate(std::uint64_t length) override { return real->Truncate(length); }
    int Close() override { return real->Close(); }
};

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Writing : BlockConsumer {
    WriterState& writers;
    int blocks = 0;
    double longestWrite = 0; // ms in WriteBlock
    std::string messages;
    explicit Writing(WriterState& w) : writers(w) {}
    void ShowBlock(const ConvertedBlock&) override {}
    void RecordBlock(const ConvertedBlock& block) override {
        ++blocks;
        const auto t0 = Clock::now();
        const auto result =
            ::WriteBlock(writers, std::span(block.OutputBlock.data(), block.OutputBytes));
        longestWrite = std::max(longestWrite, Ms(Clock::now() - t0));
        if (result)
            messages += result->text + "\n";
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/record001.wav";
    const int seconds = argc > 2 ? std::stoi(argv[2]) : 60;
    const int diskStall = argc > 3 ? std::stoi(argv[3]) : 0;

    PulseWaveIn device(platform::Pulse(), "sonvera_signal_44100");
    CaptureRing ring(device);
    RecordingSettings settings;
    settings.MP3 = false;
    settings.Wav = true;
    if (ring.OpenCapture(settings).Outcome != OpenOutcome::Opened) {
        std::fprintf(stderr, "no capture device\n");
        return 1;
    }
    WriterState writers;
    std::atomic<int> writes{0};
    if (diskStall > 0)
        writers.CreateFile = [&](const std::string& file) {
            platform::CreatedFile created = platform::CreateOutputFile(file);
            if (created.File)
                created.File =
                    std::make_unique<StallingFile>(std::move(created.File), diskStall, writes);
            return created;
        };
    const StartResult start = StartWriters(writers, settings, path, true);
    if (!start.Started) {
        std::fprintf(stderr, "%s\n", start.Message ? start.Message->text.c_str() : "no start");
        return 1;
    }
    ResetAudioLost(ring);
    Writing consumer(writers);
    ConvertedBlock block;

    std::vector<double> ticks;
    double longestGap = 0;
    const auto begin = Clock::now();
    auto next = begin;
    auto last = begin;
    while (Clock::now() - begin < std::chrono::seconds(seconds)) {
        next += std::chrono::milliseconds(33);
        std::this_thread::sleep_until(next);
        const auto t0 = Clock::now();
        longestGap = std::max(longestGap, Ms(t0 - last));
        last = t0;
        ring.PollCapture(settings, block, PollFlags{.Recording = true}, consumer);
        ticks.push_back(Ms(Clock::now() - t0));
        // A late tick does not make the next ones come faster, as with a window timer.
        next = std::max(next, Clock::now());
    }
    const auto elapsed = Clock::now() - begin;
    const auto stopStart = Clock::now();
    StopWriters(writers);
    FinishAllWriters(writers);
    const double stopMs = Ms(Clock::now() - stopStart);
    ring.CloseCapture();

    std::sort(ticks.begin(), ticks.end());
    const auto at = [&](double q) { return ticks[std::size_t(q * double(ticks.size() - 1))]; };
    std::printf("ticks %zu, blocks %d in %.1f s\n", ticks.size(), consumer.blocks,
                Ms(elapsed) / 1000);
    std::printf("tick time: median %.3f ms, 99%% %.3f ms, 99.9%% %.3f ms, longest %.3f ms\n",
                at(0.5), at(0.99), at(0.999), ticks.back());
    std::printf("longest WriteBlock: %.3f ms\n", consumer.longestWrite);
    std::printf("longest gap between tick starts: %.1f ms\n", longestGap);
    std::printf("audio lost: %llu ms (device overrun %llu bytes)\n",
                static_cast<unsigned long long>(AudioLostMs(ring, writers)),
                static_cast<unsigned long long>(device.Overrun()));
    std::printf("stop took %.1f ms\n", stopMs);
    if (!consumer.messages.empty())
        std::printf("messages:\n%s", consumer.messages.c_str());
    return 0;
}
