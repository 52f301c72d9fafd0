// Loaded into the real program (LD_PRELOAD) to stand for a file on a stalled network mount, whose
// calls hang until the file SONVERA_STALL_RELEASE exists (never, when it is not set), as they
// hang until the server answers:
//   SONVERA_STALL_NAME        every stat of a path that contains it
//   SONVERA_STALL_OPEN        every open of a path that contains it (a new file's creation)
//   SONVERA_STALL_READ        every read of a file whose path contains it, from the byte
//   SONVERA_STALL_READ_AFTER  on (0 when not set)
//   SONVERA_STALL_FROM        when set, nothing hangs before this file exists

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Names(const char* path, const char* variable) {
    const char* stalled = std::getenv(variable);
    const char* from = std::getenv("SONVERA_STALL_FROM");
    return path != nullptr && stalled != nullptr && *stalled != '\0' &&
           std::strstr(path, stalled) != nullptr && (from == nullptr || access(from, F_OK) == 0);
}

void Hang() {
    const char* release = std::getenv("SONVERA_STALL_RELEASE");
    while (release == nullptr || access(release, F_OK) != 0)
        usleep(20'000);
}

void HangWhenStalled(const char* path) {
    if (Names(path, "SONVERA_STALL_NAME"))
        Hang();
}

void HangWhenReadStalls(int fd) {
    static const bool any = std::getenv("SONVERA_STALL_READ") != nullptr;
    if (!any)
        return;
    char link[64];
    char path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0)
        return;
    path[length] = '\0';
    const char* after = std::getenv("SONVERA_STALL_READ_AFTER");
    if (Names(path, "SONVERA_STALL_READ") &&
        lseek(fd, 0, SEEK_CUR) >= (after ? std::atoll(after) : 0))
        Hang();
}

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    if (Names(path, "SONVERA_STALL_OPEN"))
        Hang();
    va_list more;
    va_start(more, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(more, mode_t) : 0;
    va_end(more);
    static const auto real = Real<int (*)(const char*, int, ...)>("open");
    return real(path, flags, mode);
}

ssize_t read(int fd, void* buffer, size_t bytes) {
    HangWhenReadStalls(fd);
    static const auto real = Real<ssize_t (*)(int, void*, size_t)>("read");
    return real(fd, buffer, bytes);
}

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
