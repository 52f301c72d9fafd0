// The file list grid with 10,000 recordings: a header click (sort and repaint) and a scroll
// (repaint of the rows in view), offscreen.

#include "library/FileSort.h"
#include "ui/main/FileGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>

namespace {

LibraryState BigList() {
    std::mt19937 random(7);
    LibraryState library;
    for (int i = 0; i < 10000; ++i) {
        ListEntry entry;
        entry.name = "record" + std::to_string(random() % 100000) + ".wav";
        entry.path = "/home/user/Music/" + entry.name;
        entry.sizeKB = random() % 20000;
        entry.sizeText = std::to_string(entry.sizeKB);
        entry.durationText =
            "00:0" + std::to_string(random() % 10) + ":" + std::to_string(10 + random() % 50);
        entry.timeStamp = 1'700'000'000 + 2 * (random() % 100000);
        entry.dateTimeText = "07/12/2026  12:34:56   ";
        library.Entries.push_back(entry);
    }
    return library;
}

FileGridPictures Pictures() {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    return {picture, picture, {picture, picture, picture, picture}};
}

// What a click on the Size header costs: the sort of every entry into the rows, then the
// paint of what the grid shows.
void BM_HeaderClickSortAndPaint(benchmark::State& state) {
    LibraryState library = BigList();
    int order = 1;
    FileGridView grid(nullptr, library, order, Pictures());
    grid.resize(519, 253);
    grid.show();
    for (auto _ : state) {
        order = order == 5 ? 6 : 5;
        SortFileList(order, library.Entries[500].path, library);
        grid.Refresh();
        benchmark::DoNotOptimize(grid.viewport()->grab());
    }
}
BENCHMARK(BM_HeaderClickSortAndPaint)->Unit(benchmark::kMillisecond);

// One page down the list: only the rows in view are drawn.
void BM_ScrollPaint(benchmark::State& state) {
    LibraryState library = BigList();
    int order = 1;
    SortFileList(order, "", library);
    FileGridView grid(nullptr, library, order, Pictures());
    grid.resize(519, 253);
    grid.show();
    grid.Refresh();
    QScrollBar* bar = grid.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue((bar->value() + bar->pageStep()) % bar->maximum());
        benchmark::DoNotOptimize(grid.viewport()->grab());
    }
}
BENCHMARK(BM_ScrollPaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
