#pragma once
// Audio files the audio tests make for themselves: WAV files of the known signal written here,
// and MP3, Ogg Vorbis, WMA and FLAC files made from them by the real command-line encoders.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audio_files {

// Interleaved 16-bit frames of the known signal: stereo as it is, mono the left sine.
std::vector<std::int16_t> KnownFrames(std::uint32_t frames, std::uint32_t channels);

// Writes a WAV file of 16-bit samples, or 8-bit ones made from them (the high byte, unsigned).
void WriteWav(const std::string& path, std::uint32_t rate, std::uint32_t channels,
              std::uint32_t bits, const std::vector<std::int16_t>& samples);

// Runs an encoder command line (a test helper: the shell is fine here); fails the test if it
// does not exit 0.
void Run(const std::string& command);

// The rate of the source of an encoded file: 48000 Hz for Opus (its own rate), else 44100.
std::uint32_t SourceRate(const std::string& name);

// Makes `name` (its extension picks the encoder) from a stereo WAV of the known signal at
// SourceRate, `frames` long, in `dir`; returns its path.
std::string MakeEncoded(const std::string& dir, const std::string& name, std::uint32_t frames);

// Sets the granule position (the time stamp) of every page of an Ogg file to
// `change(page number, granule)` and puts the pages' checksums right, so a demuxer takes them
// as they are.
std::string RewriteOggGranules(std::string ogg,
                               const std::function<std::int64_t(int, std::int64_t)>& change);

// Decodes a whole file through a decode stream; empty if it does not open.
std::vector<std::int16_t> DecodeAll(const std::string& path);

} // namespace audio_files
