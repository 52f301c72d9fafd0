#include "platform/Restart.h"

#include <filesystem>
#include <spawn.h>
#include <string>

extern char** environ;

namespace platform {

void StartProgramAgain() {
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error)
        return;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A session of its own, so the new instance outlives whatever waited for this one.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
}

} // namespace platform
