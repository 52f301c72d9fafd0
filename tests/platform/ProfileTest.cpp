#include "platform/Profile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using platform::Profile;
using namespace std::string_literals;

namespace {

struct ReadCase {
    const char* what;
    std::string text;
    std::string expected; // "<missing>" when the fallback must come back
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.what;
}

class ProfileRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsTheValueAsTheSystemCallsWould) {
    const Profile profile(GetParam().text);
    EXPECT_EQ(profile.ReadString("Folder", "Name", "<missing>"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileRead,
    testing::Values(ReadCase{"case of names ignored", "[fOLDER]\nnAME=/a\n", "/a"},
                    ReadCase{"blanks around names and value",
                             "  [ Folder ]  \n\t Name \t= \t/a b \t\n", "/a b"},
                    ReadCase{"text after the bracket", "[Folder] ; ours\nName=/a\n", "/a"},
                    ReadCase{"CR LF", "[Folder]\r\nName=/a\r\n", "/a"},
                    ReadCase{"lone CR", "[Folder]\rName=/a\r", "/a"},
                    ReadCase{"no final line end", "[Folder]\nName=/a", "/a"},
                    ReadCase{"empty value is not missing", "[Folder]\nName=\n", ""},
                    ReadCase{"equals sign inside the value", "[Folder]\nName=a=b\n", "a=b"},
                    ReadCase{"cut at a NUL byte", "[Folder]\nName=/a\0/b\n"s, "/a"},
                    ReadCase{"first of duplicate keys", "[Folder]\nName=/a\nName=/b\n", "/a"},
                    ReadCase{"only the first of duplicate sections",
                             "[Folder]\nx=1\n[folder]\nName=/b\n", "<missing>"},
                    ReadCase{"key in another section", "[Other]\nName=/a\n[Folder]\n", "<missing>"},
                    ReadCase{"key before any section", "Name=/a\n[Folder]\n", "<missing>"},
                    ReadCase{"unclosed bracket is no section", "[Folder\nName=/a\n", "<missing>"},
                    ReadCase{"line without equals ignored", "[Folder]\nName\nName=/a\n", "/a"},
                    ReadCase{"binary bytes around",
                             "\xff\xfe\x01\n[Folder]\n\x80\x81\nName=\xc3\xa9\n\x7f", "\xc3\xa9"},
                    ReadCase{"empty file", "", "<missing>"}),
    [](const testing::TestParamInfo<ReadCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ProfileRead, LongValuesAreCutTo2047BytesNeverInsideACharacter) {
    const std::string endless(5'000'000, 'a');
    EXPECT_EQ(Profile("[Folder]\nName=" + endless).ReadString("Folder", "Name", ""),
              endless.substr(0, 2047));
    // "é" would straddle the cut: it goes whole.
    const std::string straddling = std::string(2046, 'a') + "\xc3\xa9" + "tail";
    EXPECT_EQ(Profile("[Folder]\nName=" + straddling).ReadString("Folder", "Name", ""),
              std::string(2046, 'a'));
    const std::string fitting = std::string(2045, 'a') + "\xc3\xa9" + "tail";
    EXPECT_EQ(Profile("[Folder]\nName=" + fitting).ReadString("Folder", "Name", ""),
              fitting.substr(0, 2047));
}

TEST(ProfileForms, Integers) {
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"0", 0},
        {"-12", -12},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"0xFF", 255},
        {"0XfF", 255},
        {"0x0000000000ff", 255},
        {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt},
        {"0x", std::nullopt},
        {"0x1G", std::nullopt},
        {"0x-1", std::nullopt},
        {"-0x10", std::nullopt},
        {"yes", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(platform::ParseProfileInteger(text), expected) << text;
}

TEST(ProfileForms, BooleansAreWholeNumbers) {
    const Profile profile("[S]\nyes=yes\ntwo=2\nzero=0\nhex=0x10\nnegative=-1\n");
    EXPECT_FALSE(profile.ReadBool("S", "yes", false));
    EXPECT_TRUE(profile.ReadBool("S", "yes", true));
    EXPECT_TRUE(profile.ReadBool("S", "two", false));
    EXPECT_FALSE(profile.ReadBool("S", "zero", true));
    EXPECT_TRUE(profile.ReadBool("S", "hex", false));
    EXPECT_TRUE(profile.ReadBool("S", "negative", false));
    EXPECT_TRUE(profile.ReadBool("S", "missing", true));
}

TEST(ProfileForms, RealsReadWithTheUsersSeparator) {
    struct Case {
        const char* text;
        const char* separator;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"5", ".", 5},
        {"2.5", ".", 2.5},
        {"2,5", ",", 2.5},
        {"2.5", ",", {}},
        {"2,5", ".", {}},
        {"-.5", ".", -0.5},
        {"5.", ".", 5},
        {"1E3", ".", 1000},
        {"1,5e-2", ",", 0.015},
        {"1e", ".", {}},
        {".", ".", {}},
        {"", ".", {}},
        {"nan", ".", {}},
        {"inf", ".", {}},
        {"0x10", ".", {}},
        {"1e400", ".", {}},
        {"1,000.5", ".", {}},
        {" 5", ".", {}},
        {"7\xd9\xab"
         "5",
         "\xd9\xab", 7.5}, // a separator of more than one byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ParseProfileReal(c.text, c.separator), c.expected)
            << c.text << " with " << c.separator;
}

TEST(ProfileForms, RealsWrittenInGeneralFormat) {
    const std::pair<double, const char*> cases[] = {
        {5, "5"},
        {0, "0"},
        {-0.0, "0"},
        {10, "10"},
        {-3, "-3"},
        {2.5, "2,5"},
        {0.1f, "0,100000001490116"},
        {1.0 / 3, "0,333333333333333"},
        {2.0 / 3, "0,666666666666667"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {1.5e20, "1,5E20"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {-1.5e-7, "-1,5E-7"},
        {NAN, "NAN"},
        {INFINITY, "INF"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(platform::FormatProfileReal(value, ","), expected) << value;
}

TEST(ProfileForms, RealsComeBackFromTheirText) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 2000; ++i) {
        const double value = std::ldexp(mantissa(random), exponent(random));
        const auto back = platform::ParseProfileReal(platform::FormatProfileReal(value, ","), ",");
        ASSERT_TRUE(back.has_value()) << platform::FormatProfileReal(value, ",");
        EXPECT_NEAR(*back, value, std::fabs(value) * 1e-14);
        EXPECT_EQ(static_cast<float>(*back), static_cast<float>(value));
    }
}

struct WriteCase {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.what;
}

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItSets) {
    const WriteCase& c = GetParam();
    Profile profile(c.before);
    ASSERT_TRUE(profile.WriteString(c.section, c.key, c.value));
    EXPECT_EQ(profile.Text(), c.after);
    EXPECT_EQ(profile.ReadString(c.section, c.key, "<missing>"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileWrite,
    testing::Values(
        WriteCase{"fresh", "", "A", "k", "v", "[A]\nk=v\n"},
        WriteCase{"value in place with the user's spelling and spacing",
                  "[a]\n  KEY = old  \nz=1\n", "A", "key", "new", "[a]\n  KEY = new\nz=1\n"},
        WriteCase{"empty value filled", "[A]\nk=  \n", "A", "k", "v", "[A]\nk=v\n"},
        WriteCase{"value emptied", "[A]\nk=v\n", "A", "k", "", "[A]\nk=\n"},
        WriteCase{"missing key after the section's last line", "[A]\nx=1\n\n\n[B]\ny=2\n", "A", "k",
                  "v", "[A]\nx=1\nk=v\n\n\n[B]\ny=2\n"},
        WriteCase{"missing key in an empty last section", "[B]\ny=2\n[A]", "A", "k", "v",
                  "[B]\ny=2\n[A]\nk=v\n"},
        WriteCase{"missing section at the end, no final line end", "[A]\nx=1", "B", "k", "v",
                  "[A]\nx=1\n[B]\nk=v\n"},
        WriteCase{"CR LF kept for new lines", "[A]\r\nx=1\r\n", "B", "k", "v",
                  "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"the first of duplicate sections", "[A]\nx=1\n[A]\nk=old\n", "A", "k", "new",
                  "[A]\nx=1\nk=new\n[A]\nk=old\n"},
        WriteCase{"the first of duplicate keys", "[A]\nk=1\nk=2\n", "A", "K", "3",
                  "[A]\n"
                  "k=3\nk=2\n"},
        WriteCase{"binary and lines without keys kept", "\x01\xff\n[A]\njunk\n\x80=\x81", "A", "k",
                  "v", "\x01\xff\n[A]\njunk\n\x80=\x81\nk=v\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ProfileWrite, RefusesWhatCouldNotBeReadBack) {
    const std::string text = "[A]\nk=v\n";
    const std::tuple<std::string, std::string, std::string> refused[] = {
        {"A", "k", "a\nb"}, {"A", "k", "a\rb"}, {"A", "k", "a\0b"s}, {"A", "k=x", "v"},
        {"A", " k", "v"},   {"A", "[k]", "v"},  {"A", "", "v"},      {"a]b", "k", "v"},
        {"", "k", "v"},     {"A\n", "k", "v"},
    };
    for (const auto& [section, key, value] : refused) {
        Profile profile(text);
        EXPECT_FALSE(profile.WriteString(section, key, value)) << section << "/" << key;
        EXPECT_EQ(profile.Text(), text);
    }
}

TEST(ProfileWrite, NumbersInTheirForms) {
    Profile profile;
    ASSERT_TRUE(profile.WriteInteger("S", "i", -42));
    ASSERT_TRUE(profile.WriteBool("S", "b", true));
    ASSERT_TRUE(profile.WriteReal("S", "r", 5, ","));
    ASSERT_TRUE(profile.WriteReal("S", "h", 0.5, ","));
    EXPECT_EQ(profile.Text(), "[S]\ni=-42\nb=1\nr=5\nh=0,5\n");
}

} // namespace
