#pragma once
// The settings file: which key holds which field of the settings record, with its default, and
// the order in which the keys are read at start and written at the end.

#include "engine/global.h"
#include "platform/Profile.h"

#include <optional>
#include <string>
#include <string_view>

// Fills every stored field from the profile, each with its default when its key is missing or
// not of its form, and sets CaptureFrames back to 4096 as before the first capture open. Values
// are not checked against their ranges: the parts that use them do.
void ReadSettings(const platform::Profile& profile, RecordingSettings& settings,
                  std::string_view decimalSeparator);

// Writes the keys in order and stops at the first that cannot be stored (a text with a line
// break), leaving the keys after it unwritten. False when it stopped.
bool WriteSettings(platform::Profile& profile, const RecordingSettings& settings,
                   std::string_view decimalSeparator);

// Reads the file at `path`; a missing or unreadable file gives every default.
void ReadSettingsFile(const std::string& path, RecordingSettings& settings,
                      std::string_view decimalSeparator);

// Writes the settings into the file at `path`, keeping everything else the file holds. On
// failure returns "Unable to write to <path>"; the file then holds the keys written before the
// one that failed, or is left untouched when the file itself could not be read or replaced.
std::optional<std::string> WriteSettingsFile(const std::string& path,
                                             const RecordingSettings& settings,
                                             std::string_view decimalSeparator);
