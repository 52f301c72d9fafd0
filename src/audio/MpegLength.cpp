#include "audio/MpegLength.h"

#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace audio {

namespace {

// How far past the ID3v2 tag the first frame is looked for.
constexpr std::size_t SearchBytes = 64 * 1024;
constexpr std::size_t Id3v2HeaderBytes = 10;
constexpr std::size_t Id3v1Bytes = 128;

struct FrameHeader {
    int version = 0; // 1: MPEG-1, 2: MPEG-2, 3: MPEG-2.5
    int layer = 0;
    int bitRate = 0; // kbit/s
    int rate = 0;    // Hz
    bool mono = false;
    std::size_t bytes = 0;
    int samples = 0; // per channel, per frame

    bool SameStream(const FrameHeader& other) const {
        return version == other.version && layer == other.layer && rate == other.rate;
    }
};

// kbit/s by [MPEG-1 or not][layer - 1][index]; index 0 (free format) is not measurable.
constexpr int BitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int Rates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

std::uint32_t BigEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

std::optional<FrameHeader> ParseHeader(const std::uint8_t* p) {
    const std::uint32_t h = BigEndian(p, 4);
    const int versionBits = (h >> 19) & 3;
    const int layerBits = (h >> 17) & 3;
    const int bitRateIndex = (h >> 12) & 15;
    const int rateIndex = (h >> 10) & 3;
    if ((h >> 21) != 0x7FF || versionBits == 1 || layerBits == 0 || bitRateIndex == 0 ||
        bitRateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    FrameHeader f;
    f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 3;
    f.layer = 4 - layerBits;
    f.bitRate = BitRates[f.version == 1 ? 0 : 1][f.layer - 1][bitRateIndex];
    f.rate = Rates[f.version - 1][rateIndex];
    f.mono = ((h >> 6) & 3) == 3;
    const int padding = (h >> 9) & 1;
    if (f.layer == 1) {
        f.samples = 384;
        f.bytes = std::size_t(12 * f.bitRate * 1000 / f.rate + padding) * 4;
    } else {
        f.samples = f.layer == 3 && f.version != 1 ? 576 : 1152;
        f.bytes = std::size_t(f.samples / 8 * f.bitRate * 1000 / f.rate + padding);
    }
    return f;
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* text) {
    const std::size_t n = std::strlen(text);
    return at + n <= bytes.size() && std::memcmp(bytes.data() + at, text, n) == 0;
}

// Frames counted by a Xing/Info header, less the delay and padding its LAME tag states (in
// samples); nothing without a frame count. A file cut short of the bytes the header counts holds
// that part of its length.
std::optional<double> XingSeconds(const std::vector<std::uint8_t>& bytes, std::size_t frame,
                                  const FrameHeader& f, std::uint64_t audioBytes) {
    const std::size_t sideInfo = f.version == 1 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17);
    std::size_t at = frame + 4 + sideInfo;
    if (!StartsWith(bytes, at, "Xing") && !StartsWith(bytes, at, "Info"))
        return std::nullopt;
    if (at + 8 > bytes.size())
        return std::nullopt;
    const std::uint32_t flags = BigEndian(&bytes[at + 4], 4);
    at += 8;
    if (!(flags & 1) || at + 4 > bytes.size())
        return std::nullopt;
    const std::uint32_t frames = BigEndian(&bytes[at], 4);
    // An encoder ended before it finished the header leaves the count at 0.
    if (frames == 0)
        return std::nullopt;
    at += 4;
    double part = 1;
    if (flags & 2 && at + 4 <= bytes.size()) {
        const std::uint32_t stated = BigEndian(&bytes[at], 4);
        if (stated > audioBytes)
            part = double(audioBytes) / stated;
    }
    at += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    double samples = double(frames) * f.samples;
    constexpr std::size_t DelayOffset = 21; // in the LAME tag, after version, gains and flags
    if ((StartsWith(bytes, at, "LAME") || StartsWith(bytes, at, "Lavf") ||
         StartsWith(bytes, at, "Lavc")) &&
        at + DelayOffset + 3 <= bytes.size()) {
        const std::uint32_t v = BigEndian(&bytes[at + DelayOffset], 3);
        samples -= double((v >> 12) + (v & 0xFFF));
    }
    return std::max(samples, 0.0) * part / f.rate;
}

std::optional<double> VbriSeconds(const std::vector<std::uint8_t>& bytes, std::size_t frame,
                                  const FrameHeader& f) {
    const std::size_t at = frame + 4 + 32;
    if (!StartsWith(bytes, at, "VBRI") || at + 18 > bytes.size())
        return std::nullopt;
    const std::uint32_t frames = BigEndian(&bytes[at + 14], 4);
    if (frames == 0)
        return std::nullopt;
    return double(frames) * f.samples / f.rate;
}

// The mean bit rate of the frames that follow the first one in `bytes` (a VBR file without a
// header), or the first frame's own.
double MeanBitRate(const std::vector<std::uint8_t>& bytes, std::size_t frame,
                   const FrameHeader& first) {
    double bits = 0;
    double seconds = 0;
    for (std::size_t at = frame + first.bytes; at + 4 <= bytes.size();) {
        const auto f = ParseHeader(&bytes[at]);
        if (!f || !f->SameStream(first))
            break;
        bits += f->bitRate * 1000.0 * f->samples;
        seconds += f->samples;
        at += f->bytes;
    }
    return seconds > 0 ? bits / seconds : first.bitRate * 1000.0;
}

std::vector<std::uint8_t> ReadAt(const ByteSource& file, std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    bytes.resize(offset < file.size ? file.read(offset, bytes.data(), count) : 0);
    return bytes;
}

// Where the audio starts: after the ID3v2 tags at the front.
std::uint64_t AudioStart(const ByteSource& file) {
    std::uint64_t at = 0;
    for (int tags = 0; tags < 4; ++tags) {
        const auto h = ReadAt(file, at, Id3v2HeaderBytes);
        if (h.size() < Id3v2HeaderBytes || std::memcmp(h.data(), "ID3", 3) != 0)
            break;
        const std::uint64_t size = std::uint64_t(h[6] & 0x7F) << 21 | (h[7] & 0x7F) << 14 |
                                   (h[8] & 0x7F) << 7 | (h[9] & 0x7F);
        at += Id3v2HeaderBytes + size + (h[5] & 0x10 ? Id3v2HeaderBytes : 0);
    }
    return at;
}

// Other containers a recording may be: their data can hold frame-like bytes by chance.
bool OtherContainer(const std::vector<std::uint8_t>& head) {
    static constexpr std::array<std::uint8_t, 4> Asf = {0x30, 0x26, 0xB2, 0x75};
    return StartsWith(head, 0, "RIFF") || StartsWith(head, 0, "RF64") ||
           StartsWith(head, 0, "OggS") ||
           (head.size() >= 4 && std::memcmp(head.data(), Asf.data(), 4) == 0);
}

} // namespace

std::optional<double> MpegSeconds(const ByteSource& file) {
    const std::uint64_t start = AudioStart(file);
    const std::vector<std::uint8_t> bytes = ReadAt(file, start, SearchBytes);
    if (start == 0 && OtherContainer(bytes))
        return std::nullopt;
    // The first frame: one right at the start, or two in a row after some junk.
    for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
        const auto f = ParseHeader(&bytes[at]);
        if (!f)
            continue;
        if (at != 0) {
            const std::size_t next = at + f->bytes;
            const auto second = next + 4 <= bytes.size() ? ParseHeader(&bytes[next]) : std::nullopt;
            if (!second || !second->SameStream(*f))
                continue;
        }
        std::uint64_t end = file.size;
        if (end >= start + at + Id3v1Bytes) {
            const auto tail = ReadAt(file, end - Id3v1Bytes, 3);
            if (StartsWith(tail, 0, "TAG"))
                end -= Id3v1Bytes;
        }
        const std::uint64_t audioBytes = end - start - at;
        if (auto seconds = XingSeconds(bytes, at, *f, audioBytes))
            return seconds;
        if (auto seconds = VbriSeconds(bytes, at, *f))
            return seconds;
        return double(audioBytes) * 8 / MeanBitRate(bytes, at, *f);
    }
    return std::nullopt;
}

std::optional<double> MpegFileSeconds(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<double> seconds;
    if (::fstat(fd, &info) == 0) {
        ByteSource file;
        file.size = std::uint64_t(info.st_size);
        file.read = [fd](std::uint64_t offset, std::uint8_t* out, std::size_t count) {
            const ssize_t got = ::pread(fd, out, count, off_t(offset));
            return got > 0 ? std::size_t(got) : 0;
        };
        seconds = MpegSeconds(file);
    }
    ::close(fd);
    return seconds;
}

} // namespace audio
