#pragma once
// Decodes an audio file with FFmpeg to interleaved 16-bit PCM (mono stays mono, more channels
// become stereo), with its exact length and sample-exact seeking. Not thread-safe: its owner
// serialises the calls.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

class FileDecoder {
public:
    // Opens the file; null when it holds no audio FFmpeg can decode.
    static std::unique_ptr<FileDecoder> Open(const std::string& path);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    std::uint32_t Rate() const;
    std::uint32_t Channels() const;
    // The file stores 8-bit samples (the decoded PCM is still 16-bit).
    bool EightBit() const;
    // Frames of decoded audio in the file.
    std::uint64_t Length() const;
    // The frame the next Read starts at.
    std::uint64_t Position() const;
    // Moves to `frame` exactly (at most the length); false if the file cannot get there.
    bool Seek(std::uint64_t frame);
    // Reads up to `frames` frames; returns how many, 0 at the end.
    std::size_t Read(std::int16_t* out, std::size_t frames);

    struct State;

private:
    explicit FileDecoder(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

} // namespace audio
