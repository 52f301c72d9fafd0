#pragma once
// The duration of a recording as the file list shows it.

#include <string>

// The duration text of the recording at `path` (see DurationText). MPEG audio is measured from
// its first frame's headers, reading a bounded number of bytes however large the file; other
// kinds are asked of the audio library through a stream of their own. A file that cannot be
// opened or measured gives "00:00:00". Safe to call from several threads at once.
std::string ProbeDuration(const std::string& path);
