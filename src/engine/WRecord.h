#pragma once
// The capture ring: the capture device stays open from start to exit with 40 buffers of 100 ms
// queued; every tick of the 33 ms timer takes the full buffers oldest first, converts and meters
// each block and hands it on to the screens and, while recording, to the writers.

#include "engine/Processing.h"
#include "engine/global.h"
#include "platform/WaveIn.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::uint32_t CaptureBufferCount = 40;

// Where the blocks go: the main window draws them on the screens and writes them to the output.
class BlockConsumer {
public:
    virtual ~BlockConsumer() = default;
    virtual void ShowBlock(const ConvertedBlock& block) = 0;
    virtual void RecordBlock(const ConvertedBlock& block) = 0;
};

// The session flags that decide where a block goes.
struct PollFlags {
    bool Recording = false;
    bool Paused = false;
    bool Playing = false;
};

enum class OpenOutcome {
    Opened,
    AlreadyOpen,
    NoDevice,    // there is no device 0
    Unsupported, // device 0's format flags are below 0x800: stays closed silently
    Failed,      // the device refused; ErrorText is its reason, for a message box
};

struct OpenResult {
    OpenOutcome Outcome;
    std::string ErrorText;
};

class CaptureRing {
public:
    using TickSource = std::function<std::uint32_t()>;

    // `tick` is the millisecond clock the time without capture is measured by.
    explicit CaptureRing(WaveIn& device, TickSource tick = {});
    ~CaptureRing() { CloseCapture(); }
    CaptureRing(const CaptureRing&) = delete;
    CaptureRing& operator=(const CaptureRing&) = delete;

    // Opens device 0 at the rate the settings ask for (deriving their block sizes) and starts
    // capture. Nothing when already open.
    OpenResult OpenCapture(RecordingSettings& settings);
    // Stops and closes the device and forgets its name. Audio after the last block taken is
    // lost from then until the capture is open again (unless it is paused).
    void CloseCapture();
    // Pause and resume. A resume gives the buffer the pause cut short back to the device, empty,
    // so all 40 buffers stay in use and its partial audio is never taken.
    void StopCapture();
    void StartCapture();
    // Takes up to 40 full buffers, lowest sequence number first: converts and meters each into
    // `block`, draws it unless paused or playing, writes it while recording, and queues the
    // buffer again. Returns the number of blocks taken.
    int PollCapture(const RecordingSettings& settings, ConvertedBlock& block, PollFlags flags,
                    BlockConsumer& consumer);

    // Refreshes the device name list (cheap enough for every half second).
    void ListCaptureDevices();
    // The last device in the name list called exactly `name`; -1 (the default device) when
    // there is none.
    int FindCaptureDevice(std::string_view name) const;
    // Reads device 0's name into the current device name, as the open does.
    void ReadCurrentDeviceName();

    // Milliseconds of audio lost since the last ResetLost: what the device had no buffer for
    // and dropped, and the time the capture was closed while not paused, up to now when it
    // still is. Called at every status tick and at a start.
    std::uint64_t LostMs() const;
    void ResetLost();

    bool IsOpen() const { return open_; }
    // Device 0's name since the last open or read; empty after close.
    const std::string& CurrentDeviceName() const { return currentDeviceName_; }
    const std::vector<std::string>& DeviceNames() const { return deviceNames_; }
    std::uint32_t SequenceCounter() const { return sequence_; }
    const WaveHeader& Header(std::uint32_t i) const { return headers_[i]; }
    std::uint32_t CurrentBuffer() const { return current_; }

private:
    void Queue(std::uint32_t i);
    // Ends a time without capture, counting it as lost.
    void EndCaptureGap();

    WaveIn& device_;
    TickSource tick_;
    bool open_ = false;
    std::uint32_t bufferBytes_ = 0;
    std::uint32_t sequence_ = 0;
    std::uint32_t current_ = 0;
    std::vector<std::uint8_t> store_;
    std::array<WaveHeader, CaptureBufferCount> headers_;
    std::uint32_t rate_ = 0;
    std::uint64_t lostMsBefore_ = 0;        // lost while the device was open before
    std::uint64_t overrunBaseline_ = 0;     // the device's count at the last reset
    std::uint32_t lastTaken_ = 0;           // when the last block was taken (or capture started)
    bool stopped_ = false;                  // paused: a closed capture loses nothing
    std::optional<std::uint32_t> gapSince_; // closed while not paused, from then on
    std::string currentDeviceName_;
    std::vector<std::string> deviceNames_;
};
