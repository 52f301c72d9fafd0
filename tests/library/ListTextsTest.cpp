#include "library/ListTexts.h"

#include "platform/DateTimeText.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(ListTexts, RecordingKinds) {
    for (const char* name :
         {"a.wav", "b.MP3", "c.Wma", "RECORD003.OGG", "x.y.ogg", "a.flac", "B.Opus"}) {
        EXPECT_TRUE(IsRecordingKind(name)) << name;
    }
    for (const char* name :
         {"wav", "a.wave", "record003.ogg.bak", "a.fla", "a.", "mp3.txt", "opus", "a.opus~"}) {
        EXPECT_FALSE(IsRecordingKind(name)) << name;
    }
}

TEST(ListTexts, SizesInKilobytesHalvesToEven) {
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> cases = {
        {0, 0},
        {511, 0},
        {512, 0},
        {513, 1},
        {1023, 1},
        {1024, 1},
        {1536, 2},
        {2560, 2},
        {2561, 3},
        {10000, 10},
        {1048576, 1024},
        {5ull << 30, 5ull << 20},
        {(5ull << 30) + 512, 5ull << 20}, // even neighbour
        {~0ull, 1ull << 54},              // the largest length does not wrap
    };
    for (const auto& [bytes, kb] : cases) {
        EXPECT_EQ(SizeInKB(bytes), kb) << bytes;
    }
}

TEST(ListTexts, DateThenTimeAtTheThirteenthCharacter) {
    const std::vector<std::tuple<std::string, std::string>> cases = {
        {"12/07/2026", "12/07/2026  13:02:03   "},
        {"1/2/26", "1/2/26     13:02:03"},
        {"1/12/26", "1/12/26     13:02:03"},
        {"Dec 07, 2026", "Dec 07, 202613:02:03     "},
        {"Dec 07, 20266", "Dec 07, 2026"
                          "13:02:03"
                          "6     "},
        // Counted in characters: the Cyrillic letter is two bytes.
        {"7.12.2026 \u0433", "7.12.2026 \u0433 13:02:03    "},
    };
    for (const auto& [date, text] : cases) {
        EXPECT_EQ(JoinDateAndTime(date, "13:02:03"), text) << date;
    }
}

TEST(ListTexts, LocaleDateAndTimeTexts) {
    const QLocale locale = QLocale::system();
    auto date = [&](int y, int m, int d) {
        return locale.toString(QDate(y, m, d), QLocale::ShortFormat).toStdString();
    };
    EXPECT_EQ(platform::ShortDateText(0), date(1970, 1, 1));
    EXPECT_EQ(platform::ShortDateText(-1), date(1969, 12, 31));
    EXPECT_EQ(platform::ShortDateText(1'700'000'000), date(2023, 11, 14));
    const std::string time = platform::LongTimeText(13 * 3600 + 2 * 60 + 4);
    EXPECT_NE(time.find("02"), std::string::npos);
    EXPECT_NE(time.find("04"), std::string::npos);
    EXPECT_EQ(time.find("UTC"), std::string::npos) << time;
    EXPECT_EQ(platform::LongTimeText(-86400 + 5), platform::LongTimeText(5));
}

TEST(ListTexts, DurationTexts) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "00:00:00"},      {187, "00:03:07"},
        {59.4, "00:00:59"},   {59.6, "00:01:00"},
        {3599.5, "01:00:00"}, {61.5, "00:01:02"},
        {62.5, "00:01:02"},   {3600 * 25 + 0.5, "25:00:00"},
        {-1, "00:00:00"},     {std::nan(""), "00:00:00"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(DurationText(seconds), text) << seconds;
    }
}

} // namespace
