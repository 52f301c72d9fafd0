#pragma once
// One WMA file being written: FFmpeg's wmav2 encoder in an ASF file, written as it is recorded
// (audio/EncodedFile), so Write returns at once and a file cut short by a crash still plays.
// Ending the object closes the file as Close does. Calls may come from any thread.

#include "audio/HandleTable.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace audio {

class EncodedFile;

class WmaEncoder : public Handled {
public:
    // Whether the encoder takes 16-bit PCM of `freq`/`chans` at `bitrate` bit/s.
    static bool Accepts(std::uint32_t freq, std::uint32_t chans, std::uint32_t bitrate);
    // Creates the file (a UTF-8 path) and the encoder. Null when the encoder refuses the format
    // or the file cannot be created.
    static std::unique_ptr<WmaEncoder> Open(std::uint32_t freq, std::uint32_t chans,
                                            std::uint32_t bitrate, const std::string& path);
    ~WmaEncoder() override;
    WmaEncoder(const WmaEncoder&) = delete;
    WmaEncoder& operator=(const WmaEncoder&) = delete;

    // Queues interleaved 16-bit PCM, cut anywhere. False once encoding or writing the file has
    // failed, or the file is closed.
    bool Write(const void* data, std::size_t bytes);
    // Encodes what is queued, finishes the file (the last frame padded with silence) and closes
    // it. 0, or the errno of the system's reason when any of the file could not be written (EIO
    // when it gave none or the encoder failed). Later calls give the same answer at once.
    int Close();

private:
    explicit WmaEncoder(std::unique_ptr<EncodedFile> file);

    mutable std::mutex mutex_;          // file_
    std::unique_ptr<EncodedFile> file_; // null once closing
    std::mutex close_;                  // one Close at a time; closeError_
    int closeError_ = 0;
};

} // namespace audio
