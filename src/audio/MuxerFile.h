#pragma once
// Our own file under an FFmpeg muxer's writes: each packet goes to the file as soon as it is
// made (FFmpeg's buffer would otherwise keep the first 256 KiB), and what the muxer has written
// is synced to the disk every 2 s and at the end, so a crash costs at most the last moments.

#include "platform/OutputFile.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

struct AVFormatContext;
struct AVIOContext;

namespace audio {

class MuxerFile {
public:
    MuxerFile() = default;
    ~MuxerFile() { Detach(); }
    MuxerFile(const MuxerFile&) = delete;
    MuxerFile& operator=(const MuxerFile&) = delete;

    // Creates the file and makes it the output of `format` (before its header is written).
    // False when the file cannot be created.
    bool Attach(AVFormatContext* format, const std::string& path);
    // Syncs once the last sync is 2 s old: 0 or an FFmpeg error.
    int SyncWhenDue();
    // After the trailer: writes out what is buffered, syncs and closes the file. 0 or the
    // FFmpeg error of the first failure (a full disk shows here too).
    int Close();
    // Takes the file away from the muxer, before the muxer is freed.
    void Detach();

private:
    int Sync();
    static int Write(void* opaque, std::uint8_t* data, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    AVFormatContext* format_ = nullptr;
    std::unique_ptr<platform::OutputFile> file_;
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;
    std::chrono::steady_clock::time_point lastSync_;
};

} // namespace audio
