#pragma once
// A recording whose file another program deletes or replaces (a sync tool, a cleaner, `rm`)
// would go on into a file nobody can reach any more. The status tick looks at the path; once
// the file there is no longer the one the writer writes, the recording goes on in the next free
// record name, and the user is told where.

#include "engine/UserMessage.h"
#include "engine/Writers.h"

// Status tick, while recording: one look at the current file's path. When the file is gone or
// another file stands in its place, the writer is finished, the audio it held is counted lost,
// the same format starts on the file named by NextFileName, and the message names both files.
// A file the encoder has not made yet is waited for while it takes its first 2 s of audio. A
// path that does not answer in a moment (a stalled mount) tells nothing this time.
MaybeMessage FollowCurrentFile(WriterState& writers);
