#include "platform/NameText.h"

namespace platform {

namespace {

constexpr char StandIn[] = "\xEF\xBF\xBD"; // U+FFFD

bool Continuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// Bytes of the well-formed UTF-8 sequence at `at`, 0 when there is none (the shortest forms
// only, no surrogates, nothing past U+10FFFF).
std::size_t SequenceLength(const std::string& s, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < s.size() ? static_cast<unsigned char>(s[at + i]) : 0;
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return Continuation(byte(1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return byte(1) >= low && byte(1) <= high && Continuation(byte(2)) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return byte(1) >= low && byte(1) <= high && Continuation(byte(2)) && Continuation(byte(3))
                   ? 4
                   : 0;
    }
    return 0;
}

} // namespace

std::string ShownName(const std::string& bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0) {
            shown += StandIn;
            ++at;
        } else {
            shown.append(bytes, at, length);
            at += length;
        }
    }
    return shown;
}

} // namespace platform
