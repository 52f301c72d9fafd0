#pragma once
// The system's own sound pages the program opens: the recording devices page and the
// recording volume control, started detached with the sound server's volume control.

#include <string>

namespace platform {

// Starts the stand-in of a system command line ("control mmsys.cpl,,1", "control
// mmsys.cpl,,2", "Sndvol32.exe -R"): pavucontrol on the matching tab, else the desktop's sound
// settings. The program does not wait; a command that cannot be started is not reported.
void StartSystemCommand(const std::string& commandLine);

} // namespace platform
