#pragma once
// Durations kept on disk between runs, so a folder of many recordings is listed in full at once
// on the next start. One line per recording: size, modification time, duration text, path.

#include "library/Files.h"

#include <string>
#include <unordered_map>

using StoredDurations = std::unordered_map<std::string, KnownRecording>;

// The durations in `file`; none when it is missing or not such a file, and a damaged line is
// left out (the next save rewrites the file whole).
StoredDurations LoadDurationCache(const std::string& file);

// Writes `durations` to `file` (through a temporary file, so a reader never sees half of it),
// making its folder. False when it cannot be written.
bool SaveDurationCache(const std::string& file, const StoredDurations& durations);
