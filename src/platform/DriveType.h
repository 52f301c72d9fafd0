#pragma once
// Whether a folder lies on an optical disc, where recordings cannot be written.

#include <string>

namespace platform {

// True when the folder's file system is ISO 9660 or UDF. A folder that cannot be examined is
// not taken for a disc.
bool IsOnCdrom(const std::string& folder);

} // namespace platform
