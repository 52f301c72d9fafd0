#include "app/Source.h"

#include "audio/Bass.h"

void ScanInputs(RecordInputs& inputs, bool masterFallback) {
    inputs.InputIndex = 0;
    for (;;) {
        const DWORD flags = BASS_RecordGetInput(inputs.InputIndex, &inputs.InputLevel);
        // Past the last input the library answers with an error, whose off bit is set too.
        if (flags == BASS_DWORD_ERROR) {
            inputs.InputIndex = -1;
            break;
        }
        if (!(flags & BASS_INPUT_OFF))
            break;
        ++inputs.InputIndex;
    }
    if (masterFallback && inputs.InputIndex == 0 && inputs.InputLevel < 0)
        inputs.InputIndex = -1;
    BASS_RecordGetInput(inputs.InputIndex, &inputs.InputLevel);
}

void SwitchInputsOn(const RecordInputs& inputs) {
    BASS_RecordSetInput(-1, BASS_INPUT_ON, -1);
    BASS_RecordSetInput(0, BASS_INPUT_ON, -1);
    BASS_RecordSetInput(inputs.InputIndex, BASS_INPUT_ON, -1);
}

std::string SelectedInputName(const RecordInputs& inputs) {
    const char* name = BASS_RecordGetInputName(inputs.InputIndex);
    return name ? name : "";
}
