#include "platform/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

class PosixFile final : public OutputFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { Close(); }

    int WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        while (!bytes.empty()) {
            const ssize_t n = pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno;
            if (n == 0)
                return ENOSPC;
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
        return 0;
    }

    int Sync() override { return fdatasync(fd_) == 0 ? 0 : errno; }

    int Truncate(std::uint64_t length) override {
        return ftruncate(fd_, static_cast<off_t>(length)) == 0 ? 0 : errno;
    }

    int Close() override {
        if (fd_ < 0)
            return 0;
        const int result = close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

} // namespace

CreatedFile CreateOutputFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return {nullptr, ErrorText(errno)};
    return {std::make_unique<PosixFile>(fd), {}};
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

} // namespace platform
