// Any bytes as a settings file: the first two pick the write to try, the rest is the file.

#include "ProfileProperties.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const unsigned choice = data[0] | data[1] << 8;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string broken = profile_properties::Check(text, choice);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
