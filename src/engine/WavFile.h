#pragma once
// One WAV file being recorded: the window thread only queues copies of the blocks; a thread of
// its own appends them, keeps the header current and makes the file safe on the disk every
// couple of seconds, so a slow disk never holds up the capture.

#include "audio/FeedThread.h"
#include "engine/global.h"
#include "platform/OutputFile.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

using WavHeader = std::array<std::uint8_t, 44>;

// Writes the 44-byte RIFF header for the format's channels, rate and bits and the data size.
void FillWavHeader(WavHeader& header, const RecordingSettings& format, std::uint32_t dataBytes);

class WavFileWriter {
public:
    // Creates the file with a header stating no audio yet. Null on failure, with the system's
    // reason in `error`. The queue holds `queueBytes` of audio not yet on disk.
    static std::unique_ptr<WavFileWriter> Create(const std::string& path,
                                                 const RecordingSettings& format,
                                                 const platform::FileCreator& create,
                                                 std::size_t queueBytes, std::string& error);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Window thread: queues a copy of the block and returns at once. False when the queue had
    // no room (the disk is that far behind): the block is not written.
    bool Write(std::span<const std::uint8_t> block);
    // The reason the disk refused a write or a sync, once it has; nothing while all is well.
    // The file is then cut back to the whole blocks known to be in it, and the header says so.
    std::optional<std::string> Failure() const;
    // Waits until everything queued is on disk, writes the final header and closes the file;
    // the reason of a failure, if any. Called once, on the thread that finishes the writer.
    std::optional<std::string> Finish();

    const std::string& Path() const { return path_; }
    // Audio bytes on disk so far (after a failure: those the file kept).
    std::uint32_t BytesOnDisk() const { return dataBytes_.load(std::memory_order_acquire); }

private:
    WavFileWriter(std::string path, const RecordingSettings& format,
                  std::unique_ptr<platform::OutputFile> file);
    // On the writer thread.
    bool Append(std::span<const std::uint8_t> bytes);
    bool WriteHeader();
    bool Sync();
    // Cuts the audio back to the whole blocks of the first `bytes` and records the failure.
    bool CutBack(std::uint32_t bytes, int error);
    void Fail(int error);

    std::string path_;
    RecordingSettings format_;
    std::unique_ptr<platform::OutputFile> file_;
    std::atomic<std::uint32_t> dataBytes_{0}; // on disk
    std::uint32_t headerBytes_ = 0;           // as the header on disk states
    std::uint64_t headerTime_ = 0;            // ms, when it was written
    std::uint32_t syncedBytes_ = 0;           // known to be on the disk itself
    std::uint64_t syncTime_ = 0;              // ms, of the last sync
    mutable std::mutex failureMutex_;
    std::optional<std::string> failure_;
    std::unique_ptr<audio::FeedThread> feed_; // last: its thread uses the members above
};
