#pragma once
// The capture device as the waveform-audio input presents it: numbered devices with a name and
// format flags, and one open device that fills queued fixed-size buffers, oldest first.
//
// Every method is called from the GUI thread. The device's own thread touches only the queued
// buffers: it copies audio into the oldest one and publishes its BytesRecorded count (release);
// the GUI thread polls that count (acquire) and never touches a buffer while it is queued.

#include <atomic>
#include <cstdint>
#include <string>

// Result of a device call: 0 is success, anything else a code for GetErrorText.
using WaveResult = std::uint32_t;
constexpr WaveResult WaveOk = 0;

// WAVE_FORMAT_* bits of dwFormats.
constexpr std::uint32_t WaveFormat44S16 = 0x800;
constexpr std::uint32_t WaveFormat48S16 = 0x8000;
constexpr std::uint32_t WaveFormat96S16 = 0x80000;

struct WaveInCaps {
    char szPname[32] = {}; // the device name, at most 31 characters, NUL-terminated
    std::uint32_t dwFormats = 0;
};

// Flags of a buffer header.
constexpr std::uint32_t WaveHeaderDone = 1; // handed back by the device (full, stopped or reset)

struct WaveHeader {
    std::uint8_t* Data = nullptr;
    std::uint32_t BufferLength = 0;
    std::atomic<std::uint32_t> BytesRecorded{0}; // written by the device while queued
    std::uint32_t User = 0;                      // the owner's value (the ring's sequence number)
    std::atomic<std::uint32_t> Flags{0};         // WaveHeaderDone, set by the device
    WaveHeader* Next = nullptr;                  // the device's queue link
};

class WaveIn {
public:
    virtual ~WaveIn() = default;

    // Takes a fresh look at the devices and returns how many there are; GetDevCaps answers
    // from that look. Cheap enough to call every half second.
    virtual std::uint32_t GetNumDevs() = 0;
    virtual WaveResult GetDevCaps(std::uint32_t device, WaveInCaps& caps) = 0;
    // The sound server's name of a device as numbered at the last look: what the record inputs
    // find the same source by. Empty when out of range.
    virtual std::string SourceName(std::uint32_t device) = 0;

    // Opens a device (as numbered at the last look) for 16-bit stereo at `rate`, stopped.
    virtual WaveResult Open(std::uint32_t device, std::uint32_t rate) = 0;
    // Queues a header behind the others; its Data and BufferLength (a multiple of 4) are set,
    // BytesRecorded is where the device goes on filling (0 for an empty buffer).
    virtual WaveResult AddBuffer(WaveHeader& header) = 0;
    // Starts filling the queued buffers; nothing when running.
    virtual WaveResult Start() = 0;
    // Stops filling; the buffer being filled is handed back (done) with the bytes it holds,
    // empty queued buffers stay queued. Audio arriving while stopped is dropped.
    virtual WaveResult Stop() = 0;
    // Stops and hands back every queued buffer.
    virtual WaveResult Reset() = 0;
    // Resets and closes the open device; nothing when none is open.
    virtual WaveResult Close() = 0;

    virtual std::string GetErrorText(WaveResult code) = 0;

    // True when the open device ended on its own (its source vanished, the server went away);
    // the owner should close it. Cleared by Close.
    virtual bool DeviceLost() const = 0;
    // Bytes of audio lost since Open: arrived while running and found no queued buffer (nor
    // room in what the device keeps for the owner until buffers come back).
    virtual std::uint64_t Overrun() const = 0;
};
