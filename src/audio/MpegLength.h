#pragma once
// The length of an MPEG audio file (MP3, MP2, MP1) from its first frame alone: the Xing/Info or
// VBRI header where there is one, else an estimate from the bit rate and the file size. Reads a
// bounded number of bytes wherever the file ends, so a huge or sparse file costs no more than
// a small one.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace audio {

// What the length is read through: the file's size and reads at an offset (fewer bytes than
// asked at the end).
struct ByteSource {
    std::uint64_t size = 0;
    std::function<std::size_t(std::uint64_t offset, std::uint8_t* out, std::size_t count)> read;
};

// The most bytes MpegSeconds reads of any file.
constexpr std::size_t MpegProbeBytes = 64 * 1024 + 10 + 128;

// Seconds of audio, the encoder's delay and padding left out where a LAME tag states them.
// Nothing when the file does not start with MPEG audio (after an ID3v2 tag).
std::optional<double> MpegSeconds(const ByteSource& file);

// The same for the file at `path`; nothing also when it cannot be read.
std::optional<double> MpegFileSeconds(const std::string& path);

} // namespace audio
