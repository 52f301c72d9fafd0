// The record calls: the inputs of the recording device are the ports of its sound server
// source (on = the active port), or the source itself when it has none; their level is the
// source's volume. Input -1, the master, is the source (on = unmuted, which only the user sets).
// Record device d is the source the capture device numbers d, found by the source's name.

#include "audio/Bass.h"
#include "audio/RecordDevices.h"
#include "audio/RecordInputs.h"
#include "audio/SourceControl.h"
#include "platform/PulseConnection.h"
#include "platform/WaveIn.h"

#include <algorithm>
#include <mutex>
#include <optional>

namespace {

struct RecordState {
    std::mutex mutex;
    WaveIn* capture = nullptr; // whose devices are the record devices
    int device = -1;           // the initialised device, -1 for none
    std::string source;        // its source's name
    std::string name;          // the last input name handed out
    // The source as last read, and the connection's change count before that read.
    std::optional<audio::SourceState> state;
    std::uint64_t stateChanges = 0;
};

RecordState& Record() {
    static RecordState state;
    return state;
}

// The source's inputs and level, read again only after the server told of a change (a
// level set outside the program included); a failed read is tried again at the next call.
const std::optional<audio::SourceState>& CurrentSource(RecordState& record) {
    auto& pulse = platform::Pulse();
    const std::uint64_t changes = pulse.Changes();
    if (!record.state || changes != record.stateChanges) {
        record.stateChanges = changes;
        record.state = audio::ReadSource(pulse, record.source);
    }
    return record.state;
}

} // namespace

BOOL BASS_RecordFree() {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    const bool was = record.device >= 0;
    record.device = -1;
    record.source.clear();
    record.state.reset();
    return was;
}

BOOL BASS_RecordSetDevice(DWORD device) {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    return record.device >= 0 && DWORD(record.device) == device;
}

BOOL BASS_RecordInit(int device) {
    // -1 is the default device, which is device 0.
    const int index = device < 0 ? 0 : device;
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    std::string source = record.capture ? record.capture->SourceName(std::uint32_t(index)) : "";
    if (source.empty())
        return false;
    record.device = index;
    record.source = std::move(source);
    record.state.reset();
    return true;
}

namespace audio {

void PairRecordDevices(WaveIn* capture) {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    record.capture = capture;
}

} // namespace audio

DWORD BASS_RecordGetInput(int input, float* volume) {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    if (record.device < 0)
        return BASS_DWORD_ERROR;
    const auto& state = CurrentSource(record);
    const auto flags = state ? audio::InputFlags(*state, input) : std::nullopt;
    if (!flags)
        return BASS_DWORD_ERROR;
    if (volume != nullptr)
        *volume = state->volume;
    return *flags;
}

BOOL BASS_RecordSetInput(int input, DWORD flags, float volume) {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    if (record.device < 0)
        return false;
    const auto state = CurrentSource(record);
    if (!state || !audio::InputFlags(*state, input))
        return false;
    // The server's report of the change may come after its answer to the setting.
    record.state.reset();
    auto& pulse = platform::Pulse();
    bool ok = true;
    // On never unmutes what the user muted, nor moves a source off the port the user chose.
    if ((flags & BASS_INPUT_ON) != 0)
        if (const auto port = audio::PortToActivate(*state, input))
            ok = audio::SetSourcePort(pulse, record.source, state->ports[std::size_t(*port)].name);
    // A level of -1 keeps the current one.
    if (volume >= 0)
        ok =
            audio::SetSourceVolume(pulse, record.source, state->channels, std::min(volume, 1.0f)) &&
            ok;
    return ok;
}

const char* BASS_RecordGetInputName(int input) {
    auto& record = Record();
    std::lock_guard lock(record.mutex);
    if (record.device < 0)
        return nullptr;
    const auto& state = CurrentSource(record);
    const auto name = state ? audio::InputName(*state, input) : std::nullopt;
    if (!name)
        return nullptr;
    record.name = *name;
    return record.name.c_str();
}
