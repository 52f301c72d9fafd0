#pragma once
// Taking recording paths apart: the file name, its extension, whether a name typed by the user
// is one a file can have in the output folder, and what a typed path means.

#include <string>

// The part after the last separator (the whole text when it has none).
std::string FileNameOf(const std::string& path);

// The file name's extension from its last dot, in capitals (".WAV"); empty without a dot.
std::string UpperExtension(const std::string& path);

bool IsWavName(const std::string& path);

// A name for a file the list shows: not empty, not starting with a dot (hidden, passed over by
// the scan; "." and ".." are no files at all), without a separator (which would lead out of
// the folder) and without a NUL.
bool IsPlainFileName(const std::string& name);

// The path a dialog's answer means. The dialog was shown `original` as text (ShownName): where
// the answer's folder or file name reads as the original's is shown, it is the original's own
// bytes, so a name that is not UTF-8 survives an answer that leaves it as it was.
std::string MeantPath(const std::string& answer, const std::string& original);
