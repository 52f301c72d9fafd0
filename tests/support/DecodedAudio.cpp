#include "DecodedAudio.h"

#include "audio/Bass.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace decoded_audio {

Audio Decode(const std::string& path) {
    Audio audio;
    const HSTREAM stream = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    BASS_CHANNELINFO info;
    if (stream == 0 || !BASS_ChannelGetInfo(stream, &info)) {
        BASS_StreamFree(stream);
        return audio;
    }
    audio.Rate = static_cast<int>(info.freq);
    audio.Channels = static_cast<int>(info.chans);
    std::int16_t chunk[5000];
    while (true) {
        const DWORD got = BASS_ChannelGetData(stream, chunk, sizeof chunk);
        if (got == 0 || got == BASS_DWORD_ERROR)
            break;
        audio.Samples.insert(audio.Samples.end(), chunk, chunk + got / 2);
    }
    BASS_StreamFree(stream);
    return audio;
}

Sine MeasureSine(const Audio& audio, int channel, std::size_t from, std::size_t to,
                 double expected) {
    Sine best;
    for (double f = expected * 0.95; f <= expected * 1.05; f += 0.1) {
        // Goertzel: the signal's component at f.
        const double w = 2 * std::numbers::pi * f / audio.Rate;
        const double coefficient = 2 * std::cos(w);
        double s1 = 0, s2 = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double s0 = audio.Samples[i * audio.Channels + channel] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        const double amplitude = 2 * std::sqrt(std::max(power, 0.0)) / double(to - from);
        if (amplitude > best.Amplitude)
            best = {amplitude, f};
    }
    return best;
}

} // namespace decoded_audio
