#include "WavOrMp3Settings.h"

RecordingSettings WavOrMp3Settings(bool wav, std::uint32_t rate, std::uint16_t bits,
                                   std::int32_t channels) {
    RecordingSettings s;
    s.Wav = wav;
    s.MP3 = !wav;
    s.SamplesPerSecond = rate;
    s.BitsPerSample = bits;
    s.Channels = channels;
    ComputeBlockSizes(s);
    return s;
}
