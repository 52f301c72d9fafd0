#include "platform/DriveType.h"

#include <sys/vfs.h>

namespace platform {

namespace {
constexpr long Iso9660Magic = 0x9660;
constexpr long UdfMagic = 0x15013346;
} // namespace

bool IsOnCdrom(const std::string& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0)
        return false;
    const long type = static_cast<long>(info.f_type);
    return type == Iso9660Magic || type == UdfMagic;
}

} // namespace platform
