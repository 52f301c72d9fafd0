#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using platform::QuoteArgument;
using platform::SplitCommandLine;
using Args = std::vector<std::string>;

struct SplitCase {
    const char* line;
    Args arguments;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheArgumentsAWindowsProgramSees) {
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    WindowsRules, SplitCommandLineTest,
    testing::Values(
        SplitCase{"lame.exe -b 128 -m j - \"C:\\My Music\\record001.mp3\"",
                  {"lame.exe", "-b", "128", "-m", "j", "-", "C:\\My Music\\record001.mp3"}},
        SplitCase{"  oggenc.exe\t-q 4,5  -o \"/a b/c.ogg\" -  ",
                  {"oggenc.exe", "-q", "4,5", "-o", "/a b/c.ogg", "-"}},
        // The program name keeps its backslashes and ends at its closing quote.
        SplitCase{"\"C:\\Program Files\\x\\\" a", {"C:\\Program Files\\x\\", "a"}},
        // 2n backslashes before a quote: n backslashes, the quote groups.
        SplitCase{"p a\\\\\"b c\"", {"p", "a\\b c"}},
        // 2n+1 backslashes before a quote: n backslashes and a literal quote.
        SplitCase{"p a\\\\\\\"b c", {"p", "a\\\"b", "c"}},
        // Backslashes not before a quote are kept as they are.
        SplitCase{"p a\\\\b\\", {"p", "a\\\\b\\"}},
        // A doubled quote inside quotes is one literal quote.
        SplitCase{"p \"a\"\"b\" c", {"p", "a\"b", "c"}}, SplitCase{"p \"\" x", {"p", "", "x"}},
        SplitCase{"   ", {}}, SplitCase{"p \"unterminated arg", {"p", "unterminated arg"}}));

TEST(QuoteArgument, PlainTextIsOnlyWrapped) {
    EXPECT_EQ(QuoteArgument("/home/me/My Music/record001.mp3"),
              "\"/home/me/My Music/record001.mp3\"");
    EXPECT_EQ(QuoteArgument("a\\b"), "\"a\\b\"");
}

class QuoteRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(QuoteRoundTrip, SplitGivesTheArgumentBackUnchanged) {
    const Args split = SplitCommandLine("lame.exe - " + QuoteArgument(GetParam()) + " -");
    EXPECT_EQ(split, (Args{"lame.exe", "-", GetParam(), "-"}));
}

INSTANTIATE_TEST_SUITE_P(Paths, QuoteRoundTrip,
                         testing::Values("/tmp/My Music/record001.mp3", "/tmp/say \"hi\".ogg",
                                         "/tmp/\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.mp3",
                                         "/tmp/ends in backslash\\", "/tmp/a\\\"b\\\\\"c", "",
                                         "/tmp/tab\there"));
