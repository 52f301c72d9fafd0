// Cost of one draw of the player's display, idle and playing with a busy spectrum.

#include "display/PlayerDisplay.h"
#include "engine/global.h"
#include "support/BenchMain.h"

#include <QGuiApplication>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct Scene {
    Scene() {
        QFont font("MS Sans Serif");
        font.setPointSize(8);
        SetupPlayerDisplay(display, font);
        inputs.Settings = &settings;
        inputs.CurrentFile = &file;
        inputs.LengthSeconds = 754.3;
    }

    // Every bar moves from draw to draw, rising on some bins and falling on others. The spectra
    // are made beforehand, so that only the draw is measured.
    void NextSpectrum() {
        display.Spectrum = spectra[count % spectra.size()];
        inputs.PositionSeconds = count * 0.033;
        ++count;
    }

    std::array<std::array<float, SpectrumEntries>, 16> spectra = [] {
        std::array<std::array<float, SpectrumEntries>, 16> made{};
        for (std::size_t n = 0; n < made.size(); ++n)
            for (int k = 0; k < SpectrumEntries; ++k)
                made[n][k] = float(0.12 + 0.11 * std::sin(k * 0.7 + n * 0.9));
        return made;
    }();
    RecordingSettings settings;
    std::string file = "/home/user/Music/record042.wav";
    PlayerDisplayState display;
    PlayerDisplayInputs inputs;
    int count = 0;
};

void BM_DrawPlayerDisplay(benchmark::State& state) {
    Scene scene;
    scene.inputs.Form = state.range(0) != 0 ? DisplayForm::Playing : DisplayForm::Idle;
    for (auto _ : state) {
        scene.NextSpectrum();
        DrawPlayerDisplay(scene.display, scene.inputs);
    }
}
BENCHMARK(BM_DrawPlayerDisplay)->ArgName("playing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    // Text needs a font, which needs a GUI application, but no screen.
    return RunBenchmarksOffscreen<QGuiApplication>(argc, argv);
}
