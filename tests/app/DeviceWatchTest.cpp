// The device watch of both families against a scripted set of capture devices.

#include "app/DeviceWatch.h"

#include <gtest/gtest.h>

namespace {

struct ScriptedDevices : DeviceWatchHost {
    std::vector<std::string> devices; // default first
    std::string current;              // the ring's current device name ("" = closed)
    std::string selectedInput = "Line";
    bool recording = false;
    std::vector<std::string> calls;
    DeviceWatchState* state = nullptr;

    int CaptureDeviceCount() override { return static_cast<int>(devices.size()); }
    bool IsRecording() override { return recording; }
    std::vector<std::string> ListCaptureDevices() override { return devices; }
    std::string CurrentDeviceName() override { return current; }
    void CloseCapture() override {
        calls.push_back("close");
        current.clear();
    }
    void ClearDisplay() override { calls.push_back("clear screens"); }
    void InitSource() override {
        calls.push_back("init source");
        current = devices.front();
        state->KnownDeviceName = current;
    }
    void ReadInputLevel0() override { calls.push_back("level"); }
    void RestartProgram() override { calls.push_back("restart"); }
    void RescanInputs() override {}
    std::string ReadDeviceName0() override { return devices.front(); }
    void ReopenCapture(const std::string& name) override {
        calls.push_back("reopen " + name);
        current = name;
    }
    std::string InputName() override { return selectedInput; }
};

using Calls = std::vector<std::string>;

class DeviceWatchTest : public ::testing::Test {
protected:
    ScriptedDevices host;
    DeviceWatchState state;
    void SetUp() override { host.state = &state; }
    void Tick(bool vista) {
        host.calls.clear();
        WatchDevices(host, state, vista);
    }
};

TEST_F(DeviceWatchTest, NewerFamilyFollowsTheDeviceAwayAndBack) {
    host.devices = {"Mic"};
    Tick(true); // first device appears after a start without any
    EXPECT_EQ(host.calls, (Calls{"init source", "level"}));
    EXPECT_EQ(state.SourceText, "Mic");

    Tick(true); // unchanged: only the level is read
    EXPECT_EQ(host.calls, (Calls{"level"}));

    host.devices.clear();
    host.recording = true; // a recording does not keep the capture open
    Tick(true);
    EXPECT_EQ(host.calls, (Calls{"close", "clear screens"}));
    EXPECT_EQ(state.SourceText, "");
    EXPECT_EQ(state.KnownDeviceName, "Mic");

    host.devices = {"Mic", "Other"};
    Tick(true);
    EXPECT_EQ(host.calls, (Calls{"init source", "level"}));
    EXPECT_EQ(host.current, "Mic");
}

TEST_F(DeviceWatchTest, NewerFamilyRestartsOnANewDefaultOnceNoRecordingRuns) {
    host.devices = {"Mic", "USB"};
    Tick(true);
    host.devices = {"USB", "Mic"};
    host.recording = true;
    Tick(true);
    EXPECT_TRUE(host.calls.empty()) << "the recording goes on from Mic";
    host.recording = false;
    Tick(true);
    EXPECT_EQ(host.calls, (Calls{"restart"}));
}

TEST_F(DeviceWatchTest, NewerFamilyDoesNotReopenAnotherDeviceThatReplacedALostOne) {
    host.devices = {"Mic"};
    Tick(true);
    host.devices.clear();
    Tick(true);
    host.devices = {"USB"};
    Tick(true);
    EXPECT_EQ(host.calls, (Calls{"restart"}));
}

TEST_F(DeviceWatchTest, OlderFamilyReopensOnANewNameButNotDuringARecording) {
    host.devices = {"Mic"};
    state.KnownDeviceName = "Mic";
    host.current = "Mic";
    Tick(false);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(state.SourceText, "Line (Mic)");

    host.devices = {"USB"};
    host.recording = true;
    Tick(false);
    EXPECT_TRUE(host.calls.empty());

    host.recording = false;
    Tick(false);
    EXPECT_EQ(host.calls, (Calls{"reopen USB"}));
    EXPECT_EQ(state.KnownDeviceName, "USB");
    EXPECT_EQ(state.SourceText, "Line (USB)");
}

TEST_F(DeviceWatchTest, OlderFamilyWithoutDevicesLeavesEverythingAlone) {
    state.SourceText = "Line (Mic)";
    Tick(false);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(state.SourceText, "Line (Mic)");
}

} // namespace
