#include "platform/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<std::string> ReadProfileFile(const std::string& path) {
    // Non-blocking, so that a named pipe put in the file's place cannot hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::string();
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) <= kMaxProfileFileSize) {
        text.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 || text->size() + static_cast<std::size_t>(got) > kMaxProfileFileSize) {
                text.reset();
                break;
            }
            if (got == 0)
                break;
            text->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return text;
}

bool ReplaceProfileFile(const std::string& path, std::string_view text) {
    // A file the user made read-only stays as it is, as it would with the system's own calls.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return false;
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
