#pragma once
// Dates and times as the user's locale writes them (short date, long time), from local
// wall-clock seconds since 1970-01-01 00:00:00.

#include <cstdint>
#include <string>

namespace platform {

std::string ShortDateText(std::int64_t localSeconds);
// Hours, minutes and seconds in the locale's long form, without a time zone name.
std::string LongTimeText(std::int64_t localSeconds);

} // namespace platform
