#pragma once
// The system tick count: milliseconds of a monotonic clock, held in 32 bits so that it wraps
// after about 49.7 days, as the recording time arithmetic expects.

#include <cstdint>

namespace platform {

std::uint32_t GetTickCount();

} // namespace platform
