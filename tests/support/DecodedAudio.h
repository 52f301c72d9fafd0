#pragma once
// Files decoded back for checking what the writers made: the audio library's decode streams
// give 16-bit PCM, in which the level and frequency of a sine are measured.

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
    double Frequency = 0; // Hz
};

// Finds the strongest sine within 5 % of `expected` Hz on one channel over the frames
// [from, to): its frequency to 0.1 Hz and its amplitude. Other signals far from it (the known
// signal's ramp) hardly count.
Sine MeasureSine(const Audio& audio, int channel, std::size_t from, std::size_t to,
                 double expected);

} // namespace decoded_audio
