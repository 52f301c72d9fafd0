#include "platform/DriveType.h"

#include <sys/statvfs.h>
#include <sys/vfs.h>

namespace platform {

namespace {
constexpr long Iso9660Magic = 0x9660;
constexpr long UdfMagic = 0x15013346;
} // namespace

bool IsUnwritableDisc(long fileSystemType, bool readOnly) {
    return fileSystemType == Iso9660Magic || (fileSystemType == UdfMagic && readOnly);
}

bool IsOnCdrom(const std::string& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0)
        return false;
    struct statvfs mount {};
    const bool readOnly = statvfs(folder.c_str(), &mount) == 0 && (mount.f_flag & ST_RDONLY);
    return IsUnwritableDisc(static_cast<long>(info.f_type), readOnly);
}

} // namespace platform
