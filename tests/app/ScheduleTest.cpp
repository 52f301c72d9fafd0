#include "app/Schedule.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

Clock::time_point At(const std::string& text) {
    return Clock::from_time_t(*ParseStartAt(text));
}

TEST(Schedule, StartTimesAreReadAsTheyAreWritten) {
    for (const char* text : {"2026-12-08 14:00:00", "2027-02-28 23:59:59", "2028-02-29 00:00:00"})
        EXPECT_EQ(FormatStartAt(*ParseStartAt(text)), text);
    for (const char* text : {"", "2026-12-08", "2026-12-08 14:00", "2026-12-08 14:00:00 x",
                             "2027-02-29 10:00:00", "2026-13-01 10:00:00", "today 14:00:00"})
        EXPECT_FALSE(ParseStartAt(text).has_value()) << text;
}

struct CheckCase {
    const char* what;
    bool enabled;
    const char* startAt;
    Clock::duration sinceStart; // now, from 2026-12-08 14:00:00
    ScheduleState expected;
};

TEST(Schedule, ItWaitsStartsWithinAMinuteAndReportsWhatIsLater) {
    const CheckCase cases[] = {
        {"Off", false, "2026-12-08 14:00:00", 0s, ScheduleState::Off},
        {"NoTime", true, "", 0s, ScheduleState::Off},
        {"BadTime", true, "2026-12-08 25:00:00", 0s, ScheduleState::Off},
        {"Ahead", true, "2026-12-08 14:00:00", -1ms, ScheduleState::Waiting},
        {"AheadByDays", true, "2026-12-08 14:00:00", -72h, ScheduleState::Waiting},
        {"OnTime", true, "2026-12-08 14:00:00", 0s, ScheduleState::Due},
        {"AMinuteLate", true, "2026-12-08 14:00:00", 60s, ScheduleState::Due},
        {"LaterThanThat", true, "2026-12-08 14:00:00", 61s, ScheduleState::Missed},
        {"Yesterday", true, "2026-12-07 14:00:00", 0s, ScheduleState::Missed},
    };
    for (const CheckCase& c : cases) {
        RecordingSettings settings;
        settings.ScheduleEnabled = c.enabled;
        settings.ScheduleStartAt = c.startAt;
        EXPECT_EQ(CheckSchedule(settings, At("2026-12-08 14:00:00") + c.sinceStart).State,
                  c.expected)
            << c.what;
    }
}

struct AdvanceCase {
    const char* what;
    bool daily;
    const char* startAt;
    const char* now;
    bool enabledAfter;
    const char* startAfter;
};

TEST(Schedule, ADailyScheduleMovesToItsNextStartAnyOtherEnds) {
    const AdvanceCase cases[] = {
        {"Once", false, "2026-12-08 14:00:00", "2026-12-08 14:00:00", false, "2026-12-08 14:00:00"},
        {"DailyStarted", true, "2026-12-08 14:00:00", "2026-12-08 14:00:00", true,
         "2026-12-09 14:00:00"},
        {"DailyAcrossTheYear", true, "2026-12-31 23:30:00", "2026-12-31 23:30:01", true,
         "2027-01-01 23:30:00"},
        {"DailyMissedForDays", true, "2026-12-01 08:00:00", "2026-12-08 09:00:00", true,
         "2026-12-09 08:00:00"},
        {"DailyMissedEarlierToday", true, "2026-12-01 08:00:00", "2026-12-08 07:00:00", true,
         "2026-12-08 08:00:00"},
    };
    for (const AdvanceCase& c : cases) {
        RecordingSettings settings;
        settings.ScheduleEnabled = true;
        settings.ScheduleDaily = c.daily;
        settings.ScheduleStartAt = c.startAt;
        AdvanceSchedule(settings, At(c.now));
        EXPECT_EQ(settings.ScheduleEnabled, c.enabledAfter) << c.what;
        EXPECT_EQ(settings.ScheduleStartAt, c.startAfter) << c.what;
    }
}

} // namespace
