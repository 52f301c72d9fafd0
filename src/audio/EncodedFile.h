#pragma once
// A compressed audio file written as it is recorded: interleaved 16-bit PCM is queued by the
// caller, converted to the encoder's sample format and encoded on a thread of its own by an FFmpeg
// encoder into an FFmpeg muxer, whose writes go to our own file. Each packet is in the file as soon
// as it is made and the file is synced every 2 s, so a crash leaves a file that plays up to the
// last couple of seconds.

#include "audio/FeedThread.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace audio {

struct EncodedFormat {
    const char* Muxer;   // FFmpeg's name: "flac", "opus", "asf"
    const char* Encoder; // "flac", "libopus", "wmav2"; one that takes 16-bit or planar float
    int Rate;
    int Channels;
    std::int64_t BitRate = 0;      // bit/s; 0 leaves the encoder's own
    int CompressionLevel = -1;     // -1 leaves the encoder's own
    const char* MuxerOptions = ""; // "key=value:key=value" for the muxer
    // The muxer's "packet_size" made from the encoder's block size; null leaves the muxer's own.
    int (*PacketSize)(int blockAlign) = nullptr;
    // For an encoder that swallows its first frame: one frame of silence is given ahead.
    bool LeadingSilence = false;
};

class EncodedFile {
public:
    // Whether the encoder opens at the format.
    static bool Accepts(const EncodedFormat& format);
    // Creates the file and opens the encoder; null when the encoder refuses the format or the
    // file cannot be created.
    static std::unique_ptr<EncodedFile> Open(const EncodedFormat& format, const std::string& path);
    ~EncodedFile();
    EncodedFile(const EncodedFile&) = delete;
    EncodedFile& operator=(const EncodedFile&) = delete;

    // Queues a copy of the bytes and returns at once. False when encoding or writing has failed
    // or the encoder fell a whole queue behind.
    bool Write(std::span<const std::uint8_t> pcm);
    // Encodes what is queued, writes the file's end, syncs and closes it: 0, or the errno value
    // of the failure (EIO when the system gave none). Called once, on any one thread.
    int Close();

    struct Muxer; // the FFmpeg side, used by the feed thread alone until Close
private:
    explicit EncodedFile(std::unique_ptr<Muxer> muxer);
    std::unique_ptr<Muxer> muxer_;
    std::unique_ptr<FeedThread> feed_; // last: its thread uses the muxer
};

} // namespace audio
