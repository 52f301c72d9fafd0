#pragma once
// The duration of a recording as the file list shows it, asked of the audio library.

#include <string>

// The duration text of the recording at `path` (see DurationText), read through a stream of
// its own. A file the audio library cannot open or measure gives "00:00:00". Safe to call
// from several threads at once.
std::string ProbeDuration(const std::string& path);
