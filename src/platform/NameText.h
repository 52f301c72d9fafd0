#pragma once
// File names are the bytes the file system holds; shown, they are UTF-8 text in which every
// byte that is not part of valid UTF-8 stands as U+FFFD, so no name is ever mistaken for text
// it does not hold.

#include <string>

namespace platform {

// Valid UTF-8 of `bytes`: valid sequences kept, each other byte replaced by U+FFFD.
std::string ShownName(const std::string& bytes);

} // namespace platform
