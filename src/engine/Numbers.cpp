#include "engine/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

int RoundHalfEven(double value) {
    if (!std::isfinite(value))
        return 0;
    constexpr double Lowest = std::numeric_limits<int>::min();
    constexpr double Highest = std::numeric_limits<int>::max();
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::nearbyint(std::clamp(value, Lowest, Highest)));
}

std::string ShortestDecimal(float value, const std::string& decimalSeparator) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string number(text, end);
    if (const auto dot = number.find('.'); dot != std::string::npos)
        number.replace(dot, 1, decimalSeparator);
    return number;
}
