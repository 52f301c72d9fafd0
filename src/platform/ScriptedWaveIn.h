#pragma once
// A capture device that tests script: its devices, its open result and the audio it delivers
// are set by the test, and everything happens on the caller's thread, deterministically.

#include "platform/WaveIn.h"
#include "platform/WaveQueue.h"

#include <span>
#include <string>
#include <vector>

class ScriptedWaveIn final : public WaveIn {
public:
    static WaveInCaps Caps(const std::string& name, std::uint32_t formats);

    // The script.
    std::vector<WaveInCaps> Devices;
    std::vector<std::string> SourceNames; // the server's names of the devices, in their order
    WaveResult OpenResult = WaveOk;       // what Open returns
    std::string ErrorText;                // GetErrorText of any code
    bool Lost = false;                    // DeviceLost

    // Delivers audio as the device's thread would: into the queued buffers while running,
    // dropped while stopped or closed.
    void Deliver(std::span<const std::uint8_t> audio);

    // What the device saw.
    bool IsOpen() const { return open_; }
    bool IsRunning() const { return running_; }
    std::uint32_t OpenedDevice() const { return device_; }
    std::uint32_t OpenedRate() const { return rate_; }
    int Opens() const { return opens_; }
    std::size_t Queued() const { return queue_.Size(); }

    std::uint32_t GetNumDevs() override;
    WaveResult GetDevCaps(std::uint32_t device, WaveInCaps& caps) override;
    std::string SourceName(std::uint32_t device) override;
    WaveResult Open(std::uint32_t device, std::uint32_t rate) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Stop() override;
    WaveResult Reset() override;
    WaveResult Close() override;
    std::string GetErrorText(WaveResult code) override;
    bool DeviceLost() const override { return Lost; }
    std::uint64_t Overrun() const override { return overrun_; }

private:
    WaveQueue queue_;
    bool open_ = false;
    bool running_ = false;
    std::uint32_t device_ = 0;
    std::uint32_t rate_ = 0;
    int opens_ = 0;
    std::uint64_t overrun_ = 0;
};
