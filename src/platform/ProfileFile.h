#pragma once
// Reading and replacing a settings file as a whole, so that a failed write never leaves a
// truncated or half-written file behind.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A settings file is about a kilobyte; a bigger file than this is not taken for one.
inline constexpr std::size_t kMaxProfileFileSize = 4 << 20;

// The file's bytes; empty text when there is no file. Nothing when it exists but cannot be
// read: not a regular file, no permission, or larger than kMaxProfileFileSize.
std::optional<std::string> ReadProfileFile(const std::string& path);

// Replaces the file's content: a new file beside it, flushed to disk, then renamed over it (a
// symbolic link is followed and stays). False when anything fails, or when the file exists and
// may not be written; the old file is then untouched.
bool ReplaceProfileFile(const std::string& path, std::string_view text);

} // namespace platform
