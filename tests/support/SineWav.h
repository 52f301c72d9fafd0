#pragma once
// WAV files of a steady sine for the conversion tests, written with the recorder's own header.

#include "engine/WavFile.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace sine_wav {

// A 16-bit file of `frames` frames of a half-scale sine at `frequency` on every channel. With
// `statedFrames` above `frames` the header claims more audio than the file holds.
inline void Write(const std::string& path, std::uint32_t rate, std::int32_t channels,
                  std::uint32_t frames, double frequency, std::uint32_t statedFrames = 0) {
    RecordingSettings format;
    format.SamplesPerSecond = rate;
    format.Channels = channels;
    format.BitsPerSample = 16;
    std::vector<std::int16_t> samples(std::size_t(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            16384 * std::sin(2 * std::numbers::pi * frequency * i / rate));
        for (std::int32_t c = 0; c < channels; ++c)
            samples[std::size_t(i) * channels + c] = v;
    }
    WavHeader header;
    FillWavHeader(header, format,
                  std::max(frames, statedFrames) * static_cast<std::uint32_t>(channels) * 2);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    out.write(reinterpret_cast<const char*>(samples.data()),
              std::streamsize(samples.size() * sizeof(std::int16_t)));
}

} // namespace sine_wav
