#pragma once
// The recording side of the audio library on the capture device: which record input is
// selected and its level.

#include <cstdint>
#include <string>

struct RecordInputs {
    std::int32_t InputIndex = 0; // -1 is the master
    float InputLevel = -1;       // negative: the input has no level control
};

// Finds the first input that is switched on and reads its level. With `masterFallback`, a
// first input without level control gives way to the master. When no input is on, the master
// is taken.
void ScanInputs(RecordInputs& inputs, bool masterFallback);

// Switches on the master, input 0 and the selected input, each keeping its level.
void SwitchInputsOn(const RecordInputs& inputs);

// The selected input's name; empty when the library has none.
std::string SelectedInputName(const RecordInputs& inputs);
