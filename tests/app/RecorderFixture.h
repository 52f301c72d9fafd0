#pragma once
// The program's core against a scripted capture device and a scripted window, in a folder of
// the test's own with a settings file naming its output folder.

#include "TestPaths.h"
#include "app/Recorder.h"
#include "platform/ScriptedWaveIn.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace recorder_test {

struct ScriptedWindow : RecorderWindow {
    std::vector<UserMessage> shown;
    std::function<void()> whileShown; // what happens while the first box is open

    void ShowMessage(const UserMessage& message) override {
        shown.push_back(message);
        if (auto during = std::exchange(whileShown, nullptr))
            during();
    }
    std::function<void()> duringEvents; // a timer tick that runs in the events let through

    void ProcessPendingEvents() override {
        if (duringEvents)
            duringEvents();
    }
    bool busy = false; // the busy cursor
    void ClearStatusText() override {}
    void ShowBusy(bool on) override { busy = on; }
    void FileListChanged() override {}
    void FileListCellsChanged() override {}
    void RestartProgram() override {}
    void RunLater(std::function<void()> call) override { call(); }
};

class RecorderTest : public ::testing::Test {
protected:
    std::string folder = test_paths::FreshDir(
        std::string("core_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string output = folder + "/recordings";
    std::uint32_t tick = 5000;
    ScriptedWindow window;
    ScriptedWaveIn* device = nullptr;
    std::unique_ptr<Recorder> core;

    void Make(std::uint32_t formats = 0xFFFFF, const std::string& format = "Wav=1\nMP3=0\n",
              const std::function<void(ScriptedWaveIn&)>& script = {}) {
        std::filesystem::create_directories(output);
        std::ofstream(folder + "/Sonvera.ini")
            << "[Folder]\nName=" << output << "\n[Record Settings]\n"
            << format;
        auto scripted = std::make_unique<ScriptedWaveIn>();
        scripted->Devices = {ScriptedWaveIn::Caps("Line In", formats)};
        device = scripted.get();
        if (script)
            script(*scripted);
        core = std::make_unique<Recorder>(folder + "/Sonvera.ini", window, std::move(scripted),
                                          [this] { return tick; });
        ASSERT_FALSE(core->Create());
        core->StartAudio();
    }
    void Deliver(int blocks) {
        const std::vector<std::uint8_t> audio(
            std::size_t(blocks) * core->Settings.CaptureBufferBytes, 0x11);
        device->Deliver(audio);
    }
    // One block whose every sample is `value`.
    void DeliverBlock(std::int16_t value) {
        const std::vector<std::int16_t> samples(core->Settings.CaptureBufferBytes / 2, value);
        device->Deliver(
            std::span(reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size() * 2));
    }
    // What the recording has handed to its WAV file so far.
    std::uint64_t RecordedBytes() { return core->Writers.FileBytes; }
};

} // namespace recorder_test
