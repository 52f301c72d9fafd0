// The file list grid with 10,000 recordings: a header click (sort and repaint) and a scroll
// (repaint of the rows in view), offscreen.

#include "library/FileSort.h"
#include "support/BenchMain.h"
#include "support/BigFileList.h"
#include "ui/main/FileGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace {

FileGridPictures Pictures() {
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    FileGridPictures pictures{picture, picture, {}};
    for (const OutputFormat& format : OutputFormats())
        pictures.Icons[format.Id] = picture;
    return pictures;
}

// What a click on the Size header costs: the sort of every entry into the rows, then the
// paint of what the grid shows.
void BM_HeaderClickSortAndPaint(benchmark::State& state) {
    LibraryState library = BigFileList();
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
    LibraryState library = BigFileList();
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
    return RunBenchmarksOffscreen<QApplication>(argc, argv);
}
