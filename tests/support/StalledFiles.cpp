// Loaded into the real program (LD_PRELOAD) to stand for a file on a stalled network mount: every
// stat of a path that contains SONVERA_STALL_NAME hangs until the file SONVERA_STALL_RELEASE
// exists (never, when it is not set), as such a stat hangs until the server answers.

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void HangWhenStalled(const char* path) {
    const char* stalled = std::getenv("SONVERA_STALL_NAME");
    if (path == nullptr || stalled == nullptr || *stalled == '\0' ||
        std::strstr(path, stalled) == nullptr)
        return;
    const char* release = std::getenv("SONVERA_STALL_RELEASE");
    while (release == nullptr || access(release, F_OK) != 0)
        usleep(20'000);
}

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int stat(const char* path, struct stat* info) {
    HangWhenStalled(path);
    static const auto real = Real<int (*)(const char*, struct stat*)>("stat");
    return real(path, info);
}

int lstat(const char* path, struct stat* info) {
    HangWhenStalled(path);
    static const auto real = Real<int (*)(const char*, struct stat*)>("lstat");
    return real(path, info);
}

int fstatat(int folder, const char* path, struct stat* info, int flags) {
    HangWhenStalled(path);
    static const auto real = Real<int (*)(int, const char*, struct stat*, int)>("fstatat");
    return real(folder, path, info, flags);
}

int statx(int folder, const char* path, int flags, unsigned int mask, struct statx* info) {
    HangWhenStalled(path);
    static const auto real =
        Real<int (*)(int, const char*, int, unsigned int, struct statx*)>("statx");
    return real(folder, path, flags, mask, info);
}
}
