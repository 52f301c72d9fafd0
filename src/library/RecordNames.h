#pragma once
// The file name of each new recording: "record" + the first free number + the format's
// extension, in the output folder, or the user's name template expanded.

#include "engine/global.h"
#include "library/Files.h"
#include "platform/TimedPathLookup.h"

#include <ctime>
#include <string>
#include <string_view>

// "001" to "999", then "1000" and up as they are.
std::string RecordNumberText(int number);

// A name template with the fields of the start time (%Y %m %d %H %M %S), %n for the number as
// RecordNumberText writes it and %% for a percent sign; anything else stays as written. The
// result is a name the output folder can hold: "/" and control characters become "-", and
// leading dots are dropped (a hidden file would never be listed).
std::string ExpandNameTemplate(std::string_view nameTemplate, const std::tm& start, int number);

enum class NamePick { Picked, NoneFree, NoAnswer };

// Sets the current file to the next recording's path: the first number from 1 to 100000 for
// which no record file of any output format's kind exists, with the extension of the selected
// format (the first in the table whose flag is set). The paths are looked at through `look`.
// When every number is taken or no format is selected (NoneFree), or the folder did not answer
// in a moment (NoAnswer: a stalled mount), the current file is emptied: the caller must not
// start a recording then, so no existing recording is ever overwritten. The number of `given`
// (a file a recording just left, perhaps because another program deleted it) is not given
// again. With a NameTemplate the name is the template expanded for `start` (local time) with
// the first number that makes it free; a template without %n gets " (2)", " (3)" when its name
// is taken.
NamePick MakeNextRecordFileName(const RecordingSettings& settings, LibraryState& state,
                                platform::TimedPathLookup& look, const std::string& given = {},
                                std::time_t start = std::time(nullptr));
