#pragma once
// The device watch of the status monitor: every half second it notices a capture device that
// went, came back or changed, and reopens the capture or restarts the program. Everything it
// does goes through DeviceWatchHost, which the program's core implements.

#include <string>
#include <vector>

class DeviceWatchHost {
public:
    virtual ~DeviceWatchHost() = default;
    virtual int CaptureDeviceCount() = 0;
    virtual bool IsRecording() = 0;
    // Newer family: refreshes the device name list (default device first) and returns it.
    virtual std::vector<std::string> ListCaptureDevices() = 0;
    // The capture ring's current device name: empty while the capture is closed.
    virtual std::string CurrentDeviceName() = 0;
    virtual void CloseCapture() = 0;
    virtual void ClearDisplay() = 0;
    // Sets the recording side up on device 0 and opens the capture (KnownDeviceName is set).
    virtual void InitSource() = 0;
    virtual void ReadInputLevel0() = 0;
    // Saves the settings, ends this process and starts the program again.
    virtual void RestartProgram() = 0;
    // Older family: finds the selected input with the master fall-back and reads its level.
    virtual void RescanInputs() = 0;
    // Older family: reads device 0's capabilities; its name becomes the current device name.
    virtual std::string ReadDeviceName0() = 0;
    // Older family: closes and reopens the capture on device 0, the recording side on `name`.
    virtual void ReopenCapture(const std::string& name) = 0;
    virtual std::string InputName() = 0;
};

struct DeviceWatchState {
    std::string KnownDeviceName;
    std::string SourceText;
};

// One tick of the watch for the family `vistaMode` selects.
void WatchDevices(DeviceWatchHost& host, DeviceWatchState& state, bool vistaMode);
