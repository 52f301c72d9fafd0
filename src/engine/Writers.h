#pragma once
// The output writers of a recording: the WAV file written here, or the MP3, Ogg Vorbis and WMA
// encoders of the audio library, fed every converted block between start and stop.

#include "engine/global.h"

#include <QFile>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

// The most audio bytes a WAV file can state: its RIFF size (data + 36) is a 32-bit field.
constexpr std::uint64_t WavDataLimit = 0xFFFFFFFFull - 36;

using WavHeader = std::array<std::uint8_t, 44>;

struct WriterState {
    // Set by the caller before the start and read by it after each block: a recording that
    // outgrows a WAV file goes on in the file named by NextFileName (the next free record
    // name), which then becomes the current file.
    std::string CurrentFile;
    std::function<std::string()> NextFileName;
    std::uint64_t MaxDataBytes = WavDataLimit;

    // The format the running writers were started with.
    RecordingSettings Format;
    bool Running = false; // blocks are written while set

    std::unique_ptr<QFile> WavFile;
    WavHeader Header{};
    std::uint32_t DataBytes = 0;
    std::uint32_t Carrier = 0;
    std::uint32_t WmaEncoder = 0;
    bool WriterFailed = false; // told once, then the failed writer gets no more blocks
    std::string Mp3CommandLine;
    std::string OggCommandLine;
};

struct StartResult {
    bool Started = false; // false: the recording must not begin
    std::string Message;  // to show, if not empty (also when started: a failed encoder)
};

// Writes the 44-byte RIFF header for the format's channels, rate and bits and the data size.
void FillWavHeader(WavHeader& header, const RecordingSettings& format, std::uint32_t dataBytes);

// Starts the writer of the selected format on `currentFile`. Does nothing while the capture
// device is closed. A WAV file that cannot be created stops the start with a message naming
// the path and the reason; an encoder that cannot be started gives its message ("Could not
// start MP3 recording") and the recording runs on without a file.
StartResult StartWriters(WriterState& writers, const RecordingSettings& settings,
                         const std::string& currentFile, bool captureOpen);

// Hands the first BlockBytes bytes of the output block to the running writer. Returns a
// message to show when the writer has just failed (the encoder ended, the disk is full, the
// next file cannot be created), else an empty text. The WAV header is kept current after every
// block, so a file cut off by a crash still states the audio it holds.
std::string WriteBlock(WriterState& writers, std::span<const std::uint8_t> outputBlock);

// Finishes the running writer: the WAV file gets its final header and is closed, the WMA file
// is closed, the encoders finish their files. Works whether or not the capture device is still
// open, so a device that vanished mid-recording still leaves a finished file.
void StopWriters(WriterState& writers);
