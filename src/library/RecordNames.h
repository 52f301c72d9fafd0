#pragma once
// The file name of each new recording: "record" + the first free number + the format's
// extension, in the output folder.

#include "engine/global.h"
#include "library/Files.h"

#include <string>

// "001" to "999", then "1000" and up as they are.
std::string RecordNumberText(int number);

// Sets the current file to the next recording's path: the first number from 1 to 100000 for
// which no record file of any output format's kind exists, with the extension of the selected
// format (the first in the table whose flag is set). When every number is taken or no format
// is selected, the current file is emptied and false returned: the caller must not start a
// recording then, so no existing recording is ever overwritten. The number of `given` (a file a
// recording just left, perhaps because another program deleted it) is not given again.
bool MakeNextRecordFileName(const RecordingSettings& settings, LibraryState& state,
                            const std::string& given = {});
