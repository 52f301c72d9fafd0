#pragma once
// Opening a document with the viewer the desktop associates with its type, and the folder of
// the running program, where the help page lies.

#include <string>

namespace platform {

// The folder of the running program file.
std::string ProgramFolder();
// Opens `path` with the desktop's viewer, without waiting; a missing file or viewer is not
// reported.
void OpenDocument(const std::string& path);

} // namespace platform
