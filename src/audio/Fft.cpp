#include "audio/Fft.h"

#include <cmath>
#include <fftw3.h>
#include <mutex>
#include <numbers>

namespace audio {

namespace {

// One plan and its buffers, made once: FFTW's planner is not thread-safe, and a plan made
// once is cheap to run again (about 4 us a channel).
struct Transform {
    float* in;
    fftwf_complex* out;
    fftwf_plan plan;
    float window[SpectrumPoints];
    float scale; // 2 / sum of the window, and 1/32768 for 16-bit samples
    std::mutex mutex;

    Transform()
        : in(fftwf_alloc_real(SpectrumPoints)), out(fftwf_alloc_complex(SpectrumBins + 1)),
          plan(fftwf_plan_dft_r2c_1d(SpectrumPoints, in, out, FFTW_ESTIMATE)) {
        double sum = 0;
        for (int i = 0; i < SpectrumPoints; ++i) {
            window[i] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / SpectrumPoints));
            sum += window[i];
        }
        scale = float(2.0 / sum / 32768.0);
    }
};

Transform& TheTransform() {
    static Transform transform;
    return transform;
}

} // namespace

void ComputeSpectrum(const std::int16_t* frames, int channels, float* out) {
    Transform& t = TheTransform();
    std::lock_guard lock(t.mutex);
    for (int c = 0; c < channels; ++c) {
        for (int i = 0; i < SpectrumPoints; ++i)
            t.in[i] = float(frames[i * channels + c]) * t.window[i];
        fftwf_execute(t.plan);
        for (int k = 0; k < SpectrumBins; ++k)
            out[k * channels + c] = std::hypot(t.out[k][0], t.out[k][1]) * t.scale;
    }
}

} // namespace audio
