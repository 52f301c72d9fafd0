#pragma once
// The text and icon of the format label: which output format a recording will get.

#include "engine/global.h"

#include <string>

enum class FormatIcon { Wav, MP3, WMA, Ogg };

struct FormatLabel {
    FormatIcon icon;
    std::string text;
};

// When several format flags are set, the last of WAV, MP3, WMA, Ogg Vorbis wins.
FormatLabel DescribeFormat(const RecordingSettings& settings);
