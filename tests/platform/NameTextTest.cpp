// File names shown as text: valid UTF-8 as it is, every byte outside it as U+FFFD.

#include "platform/NameText.h"

#include <gtest/gtest.h>

namespace {

struct ShownCase {
    const char* what;
    const char* bytes;
    const char* shown;
};

void PrintTo(const ShownCase& c, std::ostream* os) {
    *os << c.what;
}

class ShownName : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownName, KeepsUtf8AndStandsInForEveryOtherByte) {
    EXPECT_EQ(platform::ShownName(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShownName,
    ::testing::Values(ShownCase{"Ascii", "take 1.wav", "take 1.wav"},
                      ShownCase{"TwoThreeAndFourBytes", "caf\u00e9 \u65e5\u672c \U0001D11E",
                                "caf\u00e9 \u65e5\u672c \U0001D11E"},
                      ShownCase{"Latin1Byte", "caf\xE9.wav", "caf\uFFFD.wav"},
                      ShownCase{"LoneContinuation", "\x80x", "\uFFFDx"},
                      ShownCase{"CutSequenceAtTheEnd", "a\xE2\x82", "a\uFFFD\uFFFD"},
                      ShownCase{"Overlong", "\xC0\xAF", "\uFFFD\uFFFD"},
                      ShownCase{"Surrogate", "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
                      ShownCase{"PastTheLastCodePoint", "\xF4\x90\x80\x80",
                                "\uFFFD\uFFFD\uFFFD\uFFFD"}),
    [](const auto& info) { return std::string(info.param.what); });

} // namespace
