#pragma once
// The main of a benchmark program that needs Qt: an application of type App (QGuiApplication
// for fonts and images, QApplication for widgets) on the offscreen platform, unless the caller
// chose another.

#include <benchmark/benchmark.h>
#include <cstdlib>

template <class App> int RunBenchmarksOffscreen(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
