#pragma once
// Starting the program anew: the running executable, as a new process of its own.

namespace platform {

// Starts the program file this process runs from, detached, without arguments. Failures are
// not reported.
void StartProgramAgain();

} // namespace platform
