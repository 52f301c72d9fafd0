// Cost of drawing the screens for one block, per layout and rate, with and without pictures.

#include "display/Graph.h"
#include "engine/Processing.h"
#include "engine/global.h"
#include "support/BenchMain.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

// Screens set up as the main window does, and a loud, busy block: every segment of the traces
// has length, and the bars jump from block to block.
struct Scene {
    Scene(int channels, bool split, std::uint32_t rate, bool pictures) {
        settings.Channels = channels;
        settings.SplitChannels = split;
        settings.Wav = true;
        settings.MP3 = false;
        settings.SamplesPerSecond = rate;
        ComputeBlockSizes(settings);
        SetupScreens(screens);
        SetScreenScales(screens, settings);
        if (pictures) {
            // A photo-sized picture, as a user may choose one.
            QImage picture(1920, 1080, QImage::Format_RGB32);
            picture.fill(QColor(30, 60, 90));
            screens.ImageWave = picture;
            screens.ImageStream = picture;
            screens.WaveImageLoaded = true;
            screens.StreamImageLoaded = true;
        }
        for (std::uint32_t i = 0; i < settings.CaptureFrames; ++i) {
            block->LeftSamples[i] = static_cast<std::int16_t>(30000 * std::sin(i * 0.37));
            block->RightSamples[i] = static_cast<std::int16_t>(-30000 * std::sin(i * 0.21));
        }
    }

    void NextPeaks() {
        block->PeakLeft = static_cast<float>(1000 + (count * 7919) % 31767);
        block->PeakRight = static_cast<float>(1000 + (count * 104729) % 31767);
        block->ClipLeft = count % 9 == 0;
        block->ClipRight = count % 13 == 0;
        ++count;
    }

    RecordingSettings settings;
    ScreenState screens;
    std::unique_ptr<ConvertedBlock> block = std::make_unique<ConvertedBlock>();
    int count = 0;
};

// Arguments: channels, split (0/1), capture rate, background pictures (0/1).
void BM_DrawScreens(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)), state.range(1) != 0,
                static_cast<std::uint32_t>(state.range(2)), state.range(3) != 0);
    for (auto _ : state) {
        scene.NextPeaks();
        DrawScreens(scene.screens, scene.settings, *scene.block);
    }
}

// The two halves of the stereo split case, to see where the time goes.
void BM_DrawWaveformSplit(benchmark::State& state) {
    Scene scene(2, true, 44100, false);
    for (auto _ : state) {
        DrawWaveform(scene.screens, scene.settings, scene.block.get());
    }
}

void BM_DrawStreamSplit(benchmark::State& state) {
    Scene scene(2, true, 44100, false);
    for (auto _ : state) {
        scene.NextPeaks();
        DrawStream(scene.screens, scene.settings, *scene.block);
    }
}

BENCHMARK(BM_DrawScreens)
    ->ArgNames({"channels", "split", "rate", "pictures"})
    ->Args({2, 1, 44100, 0})
    ->Args({2, 0, 44100, 0})
    ->Args({1, 0, 44100, 0})
    ->Args({2, 1, 96000, 0})
    ->Args({2, 1, 44100, 1})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawWaveformSplit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawStreamSplit)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // Text needs a font, which needs a GUI application, but no screen.
    return RunBenchmarksOffscreen<QGuiApplication>(argc, argv);
}
