// Cost of drawing both screens for one block, per layout and rate, with and without pictures.

#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/global.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>

namespace {

// Arguments: channels, split (0/1), capture rate, background pictures (0/1).
void BM_DrawScreens(benchmark::State& state) {
    RecordingSettings settings;
    settings.Channels = static_cast<int>(state.range(0));
    settings.SplitChannels = state.range(1) != 0;
    settings.Wav = true;
    settings.MP3 = false;
    settings.SamplesPerSecond = static_cast<std::uint32_t>(state.range(2));
    ComputeBlockSizes(settings);

    ScreenState screens;
    SetupScreens(screens);
    SetScreenScales(screens, settings);
    if (state.range(3) != 0) {
        // A photo-sized picture, as a user may choose one.
        QImage picture(1920, 1080, QImage::Format_RGB32);
        picture.fill(QColor(30, 60, 90));
        screens.ImageWave = picture;
        screens.ImageStream = picture;
        screens.WaveImageLoaded = true;
        screens.StreamImageLoaded = true;
    }

    // A loud, busy block: every segment of the traces and every bar has length.
    auto block = std::make_unique<ConvertedBlock>();
    for (std::uint32_t i = 0; i < settings.CaptureFrames; ++i) {
        block->LeftSamples[i] = static_cast<std::int16_t>(30000 * std::sin(i * 0.37));
        block->RightSamples[i] = static_cast<std::int16_t>(-30000 * std::sin(i * 0.21));
    }
    int b = 0;
    for (auto _ : state) {
        block->PeakLeft = static_cast<float>(1000 + (b * 7919) % 31767);
        block->PeakRight = static_cast<float>(1000 + (b * 104729) % 31767);
        block->ClipLeft = b % 9 == 0;
        block->ClipRight = b % 13 == 0;
        DrawScreens(screens, settings, *block);
        ++b;
    }
    state.SetItemsProcessed(state.iterations());
}

// The two halves of the stereo split case, to see where the time goes.
void BM_DrawWaveformSplit(benchmark::State& state) {
    RecordingSettings settings;
    ComputeBlockSizes(settings);
    ScreenState screens;
    SetupScreens(screens);
    SetScreenScales(screens, settings);
    auto block = std::make_unique<ConvertedBlock>();
    for (std::uint32_t i = 0; i < settings.CaptureFrames; ++i) {
        block->LeftSamples[i] = static_cast<std::int16_t>(30000 * std::sin(i * 0.37));
        block->RightSamples[i] = static_cast<std::int16_t>(-30000 * std::sin(i * 0.21));
    }
    for (auto _ : state) {
        DrawWaveform(screens, settings, block.get());
    }
}

void BM_DrawStreamSplit(benchmark::State& state) {
    RecordingSettings settings;
    ComputeBlockSizes(settings);
    ScreenState screens;
    SetupScreens(screens);
    SetScreenScales(screens, settings);
    auto block = std::make_unique<ConvertedBlock>();
    int b = 0;
    for (auto _ : state) {
        block->PeakLeft = static_cast<float>(1000 + (b * 7919) % 31767);
        block->PeakRight = static_cast<float>(1000 + (b * 104729) % 31767);
        DrawStream(screens, settings, *block);
        ++b;
    }
}

BENCHMARK(BM_DrawWaveformSplit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawStreamSplit)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_DrawScreens)
    ->ArgNames({"channels", "split", "rate", "pictures"})
    ->Args({2, 1, 44100, 0})
    ->Args({2, 0, 44100, 0})
    ->Args({1, 0, 44100, 0})
    ->Args({2, 1, 96000, 0})
    ->Args({2, 1, 44100, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // The channel letters need a font, which needs a GUI application, but no screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
