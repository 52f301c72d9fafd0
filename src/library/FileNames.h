#pragma once
// Taking recording paths apart: the file name, its extension, and whether a name typed by the
// user is one a file can have in the output folder.

#include <string>

// The part after the last separator (the whole text when it has none).
std::string FileNameOf(const std::string& path);

// The file name's extension from its last dot, in capitals (".WAV"); empty without a dot.
std::string UpperExtension(const std::string& path);

bool IsWavName(const std::string& path);

// A name for a file inside the output folder: not empty, not "." or "..", without a separator
// (which would lead out of the folder) and without a NUL.
bool IsPlainFileName(const std::string& name);
