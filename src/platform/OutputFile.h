#pragma once
// A file the recording writes: created (or emptied) once, then written at given offsets without
// seeking, so the audio and the header updates never move a shared file position.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace platform {

class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes all the bytes at `offset`; 0 or the errno value of the failure.
    virtual int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Waits until what was written is on the disk itself; 0 or the errno value (a failed
    // write-back shows here).
    virtual int Sync() = 0;
    // Cuts the file to `length` bytes; 0 or the errno value.
    virtual int Truncate(std::uint64_t length) = 0;
    // Closes the file; 0 or the errno value (a delayed write error shows here).
    virtual int Close() = 0;
};

struct CreatedFile {
    std::unique_ptr<OutputFile> File; // null on failure
    std::string Error;                // the system's reason, on failure
};

// Creates the file for writing, replacing one of that name.
CreatedFile CreateOutputFile(const std::string& path);

// How the writers create their files; tests hand in one that wraps the real file.
using FileCreator = std::function<CreatedFile(const std::string& path)>;

// The system's text for an errno value.
std::string ErrorText(int error);

} // namespace platform
