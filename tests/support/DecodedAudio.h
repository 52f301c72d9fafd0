#pragma once
// Files decoded back for checking what the writers made: FFmpeg straight to 16-bit PCM, and
// the level and frequency of a sine in it.

#include <cstdint>
#include <string>
#include <vector>

namespace decoded_audio {

struct Audio {
    int Rate = 0;
    int Channels = 0;
    std::vector<std::int16_t> Samples; // interleaved
    std::size_t Frames() const { return Channels ? Samples.size() / Channels : 0; }
};

// Decodes the whole file; Rate 0 when it cannot be read.
Audio Decode(const std::string& path);

struct Sine {
    double Amplitude = 0; // of a full-scale 32768
    double Frequency = 0; // Hz, from the upward zero crossings
};

// Measures the sine on one channel over the frames [from, to).
Sine MeasureSine(const Audio& audio, int channel, std::size_t from, std::size_t to);

} // namespace decoded_audio
