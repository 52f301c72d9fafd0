#pragma once
// The output folder at start and the four recent folders of the File menu.

#include "engine/global.h"
#include "library/Files.h"
#include "platform/TimedPathLookup.h"

#include <string>

// Keeps the output folder if it exists, else takes the user's music folder (created when
// missing). On success the folder left last is the output folder, the process works in it and
// the recent folders are brought up to date. If no usable folder can be had, returns false with
// `error` = "Can not create " + the folder, and the rest of the start-up step is skipped. A
// folder that does not answer `look` in a moment (a stalled mount) is kept, as it may come back,
// and the process stays where it works.
bool SettleOutputFolder(RecordingSettings& settings, LibraryState& state, std::string& error,
                        platform::TimedPathLookup& look);

// Drops the output folder and the folder left last from the recent folders, closes gaps in one
// pass from the top (so one gap may stay), then puts the folder left last in first place when
// the output folder changed. Fills the menu captions "1. " + folder (empty for an empty one).
void UpdateRecentFolders(RecordingSettings& settings, LibraryState& state);
