#pragma once
// The record devices are the capture device's: BASS_RecordInit(d) takes the sound server source
// that the capture device numbers d, found by the source's name, so the inputs and their level
// belong to the source that is recorded in whatever order a capture backend lists its devices.

class WaveIn;

namespace audio {

// Pairs the record calls with `capture` (nullptr: with none, and no record device exists); the
// pairing is read on the thread that drives the capture device.
void PairRecordDevices(WaveIn* capture);

} // namespace audio
