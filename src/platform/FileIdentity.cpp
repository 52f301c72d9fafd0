#include "platform/FileIdentity.h"

#include <cerrno>
#include <sys/stat.h>

namespace platform {

PathLookup LookUpPath(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return {PathLookup::Result::Found,
                {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)}};
    if (errno == ENOENT || errno == ENOTDIR)
        return {PathLookup::Result::Missing, {}};
    return {};
}

} // namespace platform
