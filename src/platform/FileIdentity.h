#pragma once
// Which file a path leads to, so a file that another program deleted or put another file in
// the place of can be told from the one that was opened.

#include <cstdint>
#include <string>

namespace platform {

struct FileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct PathLookup {
    enum class Result { Found, Missing, Unknown };
    Result Outcome = Result::Unknown; // Unknown: the system could not tell (no permission...)
    FileIdentity Identity;            // when Found
};

// One stat of the path.
PathLookup LookUpPath(const std::string& path);

} // namespace platform
