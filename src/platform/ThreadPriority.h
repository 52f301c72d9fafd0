#pragma once
// Threads that do the program's slow work (writing files, feeding encoders) give way to the
// window thread: waking one never pushes the window thread off its core.

namespace platform {

// Marks the calling thread as background work (Linux SCHED_BATCH); failures are ignored.
void MakeThisThreadBackground();

} // namespace platform
