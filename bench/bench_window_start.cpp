// Time from creating the main window to the first captured block drawn on its screens. Needs a
// sound server with a capture source (tools/measure-program.sh runs it against the test one).

#include "platform/PulseConnection.h"
#include "platform/PulseWaveIn.h"
#include "support/BenchMain.h"
#include "ui/main/main.h"

#include <QApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fstream>

namespace {

void BM_StartToFirstBlock(benchmark::State& state) {
    const QString folder = QDir::tempPath() + "/sonvera-bench-start";
    QDir().mkpath(folder + "/recordings");
    std::ofstream((folder + "/Sonvera.ini").toStdString())
        << "[Folder]\nName=" << (folder + "/recordings").toStdString() << "\n";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        TForm1 form((folder + "/Sonvera.ini").toStdString(),
                    std::make_unique<PulseWaveIn>(platform::Pulse()));
        form.show();
        // The ring has queued 40 buffers at open; the 41st number means a block was taken and
        // drawn (the session monitors).
        while (form.Core().Ring().SequenceCounter() <= 40 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (form.Core().Ring().SequenceCounter() <= 40) {
            state.SkipWithError("no block arrived within 10 s");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        form.CloseWithoutAsking();
    }
}
BENCHMARK(BM_StartToFirstBlock)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    // Without a sound server or a capture source there is nothing to wait for.
    if (PulseWaveIn(platform::Pulse()).GetNumDevs() == 0) {
        std::fprintf(stderr, "bench_window_start: no sound server with a capture source\n");
        return 1;
    }
    return RunBenchmarksOffscreen<QApplication>(argc, argv);
}
