#include "platform/ScriptedWaveIn.h"

#include <cstring>

// Codes as the waveform-audio input numbers them.
constexpr WaveResult BadDeviceId = 2;
constexpr WaveResult InvalidHandle = 5;

WaveInCaps ScriptedWaveIn::Caps(const std::string& name, std::uint32_t formats) {
    WaveInCaps caps;
    std::strncpy(caps.szPname, name.c_str(), sizeof caps.szPname - 1);
    caps.dwFormats = formats;
    return caps;
}

void ScriptedWaveIn::Deliver(std::span<const std::uint8_t> audio) {
    if (open_ && running_)
        overrun_ += queue_.Fill(audio.data(), audio.size());
}

std::uint32_t ScriptedWaveIn::GetNumDevs() {
    return static_cast<std::uint32_t>(Devices.size());
}

WaveResult ScriptedWaveIn::GetDevCaps(std::uint32_t device, WaveInCaps& caps) {
    if (device >= Devices.size())
        return BadDeviceId;
    caps = Devices[device];
    return WaveOk;
}

std::string ScriptedWaveIn::SourceName(std::uint32_t device) {
    return device < SourceNames.size() ? SourceNames[device] : std::string();
}

WaveResult ScriptedWaveIn::Open(std::uint32_t device, std::uint32_t rate) {
    ++opens_;
    if (open_)
        return InvalidHandle;
    if (OpenResult != WaveOk)
        return OpenResult;
    if (device >= Devices.size())
        return BadDeviceId;
    open_ = true;
    running_ = false;
    device_ = device;
    rate_ = rate;
    overrun_ = 0;
    return WaveOk;
}

WaveResult ScriptedWaveIn::AddBuffer(WaveHeader& header) {
    if (!open_)
        return InvalidHandle;
    queue_.Add(header);
    return WaveOk;
}

WaveResult ScriptedWaveIn::Start() {
    if (!open_)
        return InvalidHandle;
    running_ = true;
    return WaveOk;
}

WaveResult ScriptedWaveIn::Stop() {
    if (!open_)
        return InvalidHandle;
    running_ = false;
    queue_.HandBackPartial();
    return WaveOk;
}

WaveResult ScriptedWaveIn::Reset() {
    if (!open_)
        return InvalidHandle;
    running_ = false;
    queue_.HandBackAll();
    return WaveOk;
}

WaveResult ScriptedWaveIn::Close() {
    if (!open_)
        return WaveOk;
    Reset();
    open_ = false;
    Lost = false;
    return WaveOk;
}

std::string ScriptedWaveIn::GetErrorText(WaveResult) {
    return ErrorText;
}
