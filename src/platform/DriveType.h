#pragma once
// Whether a folder lies on an optical disc that cannot be written, where recordings cannot go.

#include <string>

namespace platform {

// True when the folder's file system is ISO 9660, or UDF mounted read-only (a UDF disc or
// medium mounted for writing takes recordings). A folder that cannot be examined is not taken
// for a disc.
bool IsOnCdrom(const std::string& folder);

// The decision, from the file system's type (statfs f_type) and whether it is mounted
// read-only.
bool IsUnwritableDisc(long fileSystemType, bool readOnly);

} // namespace platform
