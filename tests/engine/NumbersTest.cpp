#include "engine/Numbers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(Numbers, RoundHalfEven) {
    const struct {
        double value;
        int rounded;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-2.5, -2},
                 {2.4999, 2},
                 {0.5000001, 1},
                 {1e12, std::numeric_limits<int>::max()},
                 {-1e12, std::numeric_limits<int>::min()},
                 {std::nan(""), 0},
                 {std::numeric_limits<double>::infinity(), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(Numbers, ShortestDecimal) {
    const struct {
        float value;
        const char* separator;
        const char* text;
    } cases[] = {{3.0f, ".", "3"},   {2.5f, ".", "2.5"},     {0.1f, ".", "0.1"},
                 {4.5f, ",", "4,5"}, {-1.25f, ",", "-1,25"}, {10.0f, ",", "10"}};
    for (const auto& c : cases)
        EXPECT_EQ(ShortestDecimal(c.value, c.separator), c.text) << c.value;
}
