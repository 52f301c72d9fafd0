#include "engine/global.h"

void ComputeBlockSizes(RecordingSettings& s) {
    const std::uint32_t channels = s.Channels == 1 ? 1 : 2;
    const bool eightBit = s.Wav && s.BitsPerSample == 8;

    s.CaptureRate = 44100;
    s.CaptureFrames = 4410;
    s.BlockFrames = 4410;
    if (s.Wav) {
        switch (s.SamplesPerSecond) {
        case 11025:
            s.BlockFrames = 1102;
            break;
        case 22050:
            s.BlockFrames = 2205;
            break;
        case 48000:
            s.CaptureRate = 48000;
            s.CaptureFrames = s.BlockFrames = 4800;
            break;
        case 96000:
            s.CaptureRate = 96000;
            s.CaptureFrames = s.BlockFrames = 9600;
            break;
        default:
            break;
        }
    }
    s.CaptureBufferBytes = s.CaptureFrames * 4;
    s.BlockBytes = s.BlockFrames * channels * (eightBit ? 1 : 2);
    s.BlockAlign = static_cast<std::uint16_t>(s.Channels * s.BitsPerSample / 8);
    s.AvgBytesPerSec = s.SamplesPerSecond * s.BlockAlign;
}
