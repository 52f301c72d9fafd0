#include "platform/FileSystem.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::vector<DirEntry> ListPlainFiles(const std::string& folder,
                                     bool (*wanted)(const std::string&)) {
    std::vector<DirEntry> entries;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    const int dirFd = dirfd(dir);
    while (const dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        // A leading dot is this platform's hidden mark; it also covers "." and "..".
        if (name.empty() || name[0] == '.' || item->d_type == DT_DIR || !wanted(name)) {
            continue;
        }
        struct stat info {};
        if (fstatat(dirFd, item->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        std::tm local{};
        const std::time_t written = info.st_mtim.tv_sec;
        localtime_r(&written, &local);
        entries.push_back({name, static_cast<std::uint64_t>(info.st_size),
                           static_cast<std::int64_t>(written) + local.tm_gmtoff,
                           static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                               info.st_mtim.tv_nsec});
    }
    closedir(dir);
    return entries;
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolder(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    QDir().mkpath(QString::fromStdString(path));
    return FolderExists(path);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool DeleteFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool WriteText(const std::string& path, const std::string& text, bool append) {
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    if (fd < 0)
        return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return close(fd) == 0 && written;
}

std::uint64_t FileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

bool SetCurrentFolder(const std::string& path) {
    return chdir(path.c_str()) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (replace || SameFile(from, to)) {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    // Some file systems cannot rename without replacing in one step: look first, then rename.
    if (errno != EINVAL) {
        return false;
    }
    if (PathExists(to)) {
        errno = EEXIST;
        return false;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

std::string ErrorText(int error) {
    char buffer[256];
    return strerror_r(error, buffer, sizeof buffer);
}

// A file descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd(fd) {}
    ~Fd() {
        if (fd >= 0) {
            close(fd);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on an error.
ssize_t ReadFull(int fd, char* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = read(fd, data + total, size - total);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

constexpr std::size_t CopyChunk = 1 << 20;

// Copies `source` into the open, empty file `target` and makes sure it reached the disk.
bool CopyInto(int source, int target, std::string& error) {
    std::vector<char> buffer(CopyChunk);
    for (;;) {
        const ssize_t got = ReadFull(source, buffer.data(), buffer.size());
        if (got < 0) {
            error = ErrorText(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (!WriteAll(target, buffer.data(), static_cast<std::size_t>(got))) {
            error = ErrorText(errno == 0 ? EIO : errno);
            return false;
        }
    }
    if (fsync(target) != 0) {
        error = ErrorText(errno);
        return false;
    }
    return true;
}

// Reads both files from their start and compares them byte for byte.
bool SameContents(int a, int b) {
    if (lseek(a, 0, SEEK_SET) != 0 || lseek(b, 0, SEEK_SET) != 0) {
        return false;
    }
    std::vector<char> first(CopyChunk);
    std::vector<char> second(CopyChunk);
    for (;;) {
        const ssize_t gotA = ReadFull(a, first.data(), first.size());
        const ssize_t gotB = ReadFull(b, second.data(), second.size());
        if (gotA < 0 || gotA != gotB) {
            return false;
        }
        if (gotA == 0) {
            return true;
        }
        if (std::memcmp(first.data(), second.data(), static_cast<std::size_t>(gotA)) != 0) {
            return false;
        }
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind(PathSeparator);
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string(1, PathSeparator) : path.substr(0, slash);
}

bool CopyAcross(const std::string& from, const std::string& to, bool replace, std::string& error) {
    Fd source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (source.get() < 0 || fstat(source.get(), &info) != 0) {
        error = ErrorText(errno);
        return false;
    }
    // The copy is made under a hidden name beside the target, so an existing target is only
    // ever replaced by a complete, checked file.
    std::string part = FolderOf(to) + PathSeparator + ".sonvera-move-XXXXXX";
    Fd target(mkostemp(part.data(), O_CLOEXEC));
    if (target.get() < 0) {
        error = ErrorText(errno);
        return false;
    }
    bool done = CopyInto(source.get(), target.get(), error);
    if (done && !SameContents(source.get(), target.get())) {
        error = "the copy differs from the original";
        done = false;
    }
    if (done) {
        const timespec times[2] = {info.st_atim, info.st_mtim};
        futimens(target.get(), times);
        fchmod(target.get(), info.st_mode & 07777);
        done = RenameFile(part, to, replace);
        if (!done) {
            error = ErrorText(errno);
        }
    }
    if (!done) {
        unlink(part.c_str());
        return false;
    }
    if (unlink(from.c_str()) != 0) {
        error = ErrorText(errno);
        // Both copies would be left; the target is taken back unless it replaced a file.
        if (!replace) {
            unlink(to.c_str());
        }
        return false;
    }
    return true;
}

} // namespace

bool MoveFile(const std::string& from, const std::string& to, bool replace, std::string& error) {
    if (RenameFile(from, to, replace)) {
        return true;
    }
    if (errno != EXDEV) {
        error = ErrorText(errno);
        return false;
    }
    return CopyAcross(from, to, replace, error);
}

std::string MusicFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (music.isEmpty()) {
        return {};
    }
    QDir().mkpath(music);
    return music.toStdString();
}

} // namespace platform
