#pragma once
// The capture device over the PulseAudio (or PipeWire) server, on the program's connection to it:
// the devices are the server's sources, monitors included, the default source first; an open
// device is a record stream of 16-bit stereo at the asked rate that the connection's thread
// copies into the queued buffers. The server's audio is always taken: while the owner has no
// buffer queued (its thread is held up) it is kept, about 20 s of it, and handed on as buffers
// come back; only what does not fit is lost, and counted in Overrun.

#include "platform/WaveIn.h"

#include <memory>
#include <string>

namespace platform {
class PulseConnection;
}

class PulseWaveIn final : public WaveIn {
public:
    // `firstSource`, when it names a source, is listed as device 0 in place of the server's
    // default source (tests pick their source with it without changing the server).
    // `backlogSeconds` is how much audio is kept while no buffer is queued.
    explicit PulseWaveIn(platform::PulseConnection& pulse, std::string firstSource = {},
                         std::uint32_t backlogSeconds = 20);
    ~PulseWaveIn() override;
    PulseWaveIn(const PulseWaveIn&) = delete;
    PulseWaveIn& operator=(const PulseWaveIn&) = delete;

    std::uint32_t GetNumDevs() override;
    WaveResult GetDevCaps(std::uint32_t device, WaveInCaps& caps) override;
    WaveResult Open(std::uint32_t device, std::uint32_t rate) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Stop() override;
    WaveResult Reset() override;
    WaveResult Close() override;
    std::string GetErrorText(WaveResult code) override;
    bool DeviceLost() const override;
    std::uint64_t Overrun() const override;

    std::string SourceName(std::uint32_t device) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
