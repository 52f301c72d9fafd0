#pragma once
// The sample format of a recording (rate, channels, sample width), asked of the audio library;
// the Convert items and the converter judge the current WAV file by it.

#include "library/Files.h"

#include <string>

// Read through a stream of its own; the player's stream is not touched. A file the audio
// library cannot open gives all zeros.
FileFormat ProbeFileFormat(const std::string& path);

// Only WAV recordings at 16 bits and 32000, 44100 or 48000 Hz can be converted to MP3.
bool IsConvertibleFormat(const FileFormat& format);
