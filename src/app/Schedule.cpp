#include "app/Schedule.h"

#include <cstdio>

std::optional<std::time_t> ParseStartAt(const std::string& text) {
    std::tm local{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &local.tm_year, &local.tm_mon,
                    &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec, &consumed) != 6 ||
        consumed != static_cast<int>(text.size()))
        return std::nullopt;
    const std::tm asked = local;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    const std::time_t start = std::mktime(&local);
    // mktime carries an impossible date over (February 30th): such a text is no time.
    if (start == -1 || local.tm_mday != asked.tm_mday || local.tm_mon != asked.tm_mon - 1)
        return std::nullopt;
    return start;
}

std::string FormatStartAt(std::time_t start) {
    std::tm local{};
    localtime_r(&start, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

ScheduleCheck CheckSchedule(const RecordingSettings& settings,
                            std::chrono::system_clock::time_point now) {
    if (!settings.ScheduleEnabled)
        return {};
    const std::optional<std::time_t> start = ParseStartAt(settings.ScheduleStartAt);
    if (!start)
        return {};
    const auto at = std::chrono::system_clock::from_time_t(*start);
    if (now < at)
        return {ScheduleState::Waiting, *start};
    return {now - at > ScheduleGrace ? ScheduleState::Missed : ScheduleState::Due, *start};
}

void AdvanceSchedule(RecordingSettings& settings, std::chrono::system_clock::time_point now) {
    const std::optional<std::time_t> start = ParseStartAt(settings.ScheduleStartAt);
    if (!settings.ScheduleDaily || !start) {
        settings.ScheduleEnabled = false;
        return;
    }
    std::tm local{};
    localtime_r(&*start, &local);
    std::time_t next = *start;
    // Day by day on the calendar, so a change of summer time keeps the time of day.
    while (std::chrono::system_clock::from_time_t(next) <= now) {
        ++local.tm_mday;
        local.tm_isdst = -1;
        std::tm day = local;
        next = std::mktime(&day);
    }
    settings.ScheduleStartAt = FormatStartAt(next);
}
