#include "app/DeviceWatch.h"

namespace {

void WatchOlder(DeviceWatchHost& host, DeviceWatchState& state) {
    if (host.CaptureDeviceCount() == 0)
        return;
    host.RescanInputs();
    const std::string name = host.ReadDeviceName0();
    // During a recording the change waits for a later tick.
    if (name != state.KnownDeviceName && !host.IsRecording()) {
        state.KnownDeviceName = name;
        host.ReopenCapture(name);
    }
    state.SourceText = host.InputName() + " (" + host.CurrentDeviceName() + ")";
}

void WatchNewer(DeviceWatchHost& host, DeviceWatchState& state) {
    const std::vector<std::string> names = host.ListCaptureDevices();
    if (names.empty()) {
        // A running recording keeps its writers open until it is stopped.
        host.CloseCapture();
        state.SourceText.clear();
        host.ClearDisplay();
        return;
    }
    if (state.KnownDeviceName.empty())
        host.InitSource();
    if (host.CurrentDeviceName().empty() && names.front() == state.KnownDeviceName)
        host.InitSource(); // the same device is back
    if (names.front() == state.KnownDeviceName) {
        state.SourceText = host.CurrentDeviceName();
        host.ReadInputLevel0();
    } else if (!state.KnownDeviceName.empty() && !host.IsRecording()) {
        // Another device became the default. A running recording goes on from the device it
        // records from (a loss of that device is counted as lost audio); the program starts
        // again on the new default once the recording has stopped.
        host.RestartProgram();
    }
}

} // namespace

void WatchDevices(DeviceWatchHost& host, DeviceWatchState& state, bool vistaMode) {
    if (vistaMode)
        WatchNewer(host, state);
    else
        WatchOlder(host, state);
}
