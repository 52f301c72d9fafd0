#include "AudioFiles.h"

#include "KnownSignal.h"
#include "audio/Bass.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace audio_files {

namespace {

void Put32(std::ofstream& out, std::uint32_t v) {
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(b, 4);
}

void Put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {char(v), char(v >> 8)};
    out.write(b, 2);
}

// The checksum of an Ogg page (polynomial 0x04C11DB7, unreflected, starting at 0).
std::uint32_t OggCrc(const std::string& page) {
    std::uint32_t crc = 0;
    for (unsigned char byte : page) {
        crc ^= std::uint32_t(byte) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

std::string Extension(const std::string& name) {
    return name.substr(name.rfind('.') + 1);
}

} // namespace

std::vector<std::int16_t> KnownFrames(std::uint32_t frames, std::uint32_t channels) {
    std::vector<std::int16_t> samples;
    samples.reserve(std::size_t(frames) * channels);
    for (std::uint32_t f = 0; f < frames; ++f) {
        samples.push_back(known_signal::Left(f));
        if (channels == 2)
            samples.push_back(known_signal::Right(f));
    }
    return samples;
}

void WriteWav(const std::string& path, std::uint32_t rate, std::uint32_t channels,
              std::uint32_t bits, const std::vector<std::int16_t>& samples) {
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t bytes = std::uint32_t(samples.size() * bits / 8);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, std::uint16_t(channels));
    Put32(out, rate);
    Put32(out, rate * channels * bits / 8);
    Put16(out, std::uint16_t(channels * bits / 8));
    Put16(out, std::uint16_t(bits));
    out.write("data", 4);
    Put32(out, bytes);
    for (const std::int16_t s : samples) {
        if (bits == 8)
            out.put(char((s >> 8) + 128));
        else
            Put16(out, std::uint16_t(s));
    }
}

void Run(const std::string& command) {
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

std::uint32_t SourceRate(const std::string& name) {
    return Extension(name) == "opus" ? 48000 : 44100;
}

std::string MakeEncoded(const std::string& dir, const std::string& name, std::uint32_t frames) {
    const std::string wav = dir + "/source-" + name + ".wav";
    const std::string out = dir + "/" + name;
    WriteWav(wav, SourceRate(name), 2, 16, KnownFrames(frames, 2));
    const std::string ext = Extension(name);
    if (ext == "wav")
        std::rename(wav.c_str(), out.c_str());
    else if (name.find("vbr") != std::string::npos)
        Run("lame --quiet -V 2 '" + wav + "' '" + out + "'");
    else if (ext == "mp3")
        Run("lame --quiet -b 128 '" + wav + "' '" + out + "'");
    else if (ext == "ogg")
        Run("oggenc -Q -q 5 '" + wav + "' -o '" + out + "'");
    else if (ext == "wma")
        Run("ffmpeg -nostdin -loglevel error -y -i '" + wav + "' -c:a wmav2 -b:a 128k '" + out +
            "'");
    else if (ext == "flac")
        Run("ffmpeg -nostdin -loglevel error -y -i '" + wav + "' -c:a flac '" + out + "'");
    else if (ext == "opus")
        Run("ffmpeg -nostdin -loglevel error -y -i '" + wav + "' -c:a libopus -b:a 96k '" + out +
            "'");
    return out;
}

std::string RewriteOggGranules(std::string ogg,
                               const std::function<std::int64_t(int, std::int64_t)>& change) {
    int number = 0;
    for (std::size_t at = 0; at + 27 <= ogg.size() && ogg.compare(at, 4, "OggS") == 0; ++number) {
        const std::size_t segments = std::uint8_t(ogg[at + 26]);
        std::size_t size = 27 + segments;
        for (std::size_t i = 0; i < segments; ++i)
            size += std::uint8_t(ogg[at + 27 + i]);
        std::uint64_t granule = 0;
        for (int i = 7; i >= 0; --i)
            granule = granule << 8 | std::uint8_t(ogg[at + 6 + i]);
        granule = std::uint64_t(change(number, std::int64_t(granule)));
        for (int i = 0; i < 8; ++i)
            ogg[at + 6 + i] = char(granule >> (8 * i));
        std::string page = ogg.substr(at, size);
        std::fill_n(page.begin() + 22, 4, '\0');
        const std::uint32_t crc = OggCrc(page);
        for (int i = 0; i < 4; ++i)
            ogg[at + 22 + i] = char(crc >> (8 * i));
        at += size;
    }
    return ogg;
}

std::vector<std::int16_t> DecodeAll(const std::string& path) {
    std::vector<std::int16_t> all;
    const HSTREAM h = BASS_StreamCreateFile(false, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (h == 0)
        return all;
    std::int16_t buffer[5000];
    DWORD got;
    while ((got = BASS_ChannelGetData(h, buffer, 10000)) != 0 && got != BASS_DWORD_ERROR)
        all.insert(all.end(), buffer, buffer + got / 2);
    BASS_StreamFree(h);
    return all;
}

} // namespace audio_files
