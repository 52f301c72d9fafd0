#pragma once
// The markers of a recording, kept beside it as a label file in the tab-separated form audio
// editors import ("12.300000\t12.300000\tMarker 1" a line), named as the recording with ".txt".
// The file operations carry it along with its recording.

#include <string>

// "record001.wav" gives "record001.txt".
std::string LabelFilePath(const std::string& recording);

// The label file's line for marker `number` at `seconds` into the recording.
std::string LabelLine(double seconds, int number);

// Writes marker `number` into the recording's label file as it comes; marker 1 starts the file
// anew, so a label file a deleted recording left behind is not continued. False when the file
// could not be written.
bool WriteMarker(const std::string& recording, double seconds, int number);

// After the recording moved from `from` to `to` (renamed or moved), its label file follows,
// replacing one the target name had. Nothing when it has none.
void CarryLabelFile(const std::string& from, const std::string& to);

// After the recording was deleted, its label file goes too.
void DeleteLabelFile(const std::string& recording);
