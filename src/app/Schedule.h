#pragma once
// The scheduled recording of the [Schedule] settings: when it starts, whether it is due or was
// missed, and the start that follows a daily one.

#include "engine/global.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>

// A schedule more than this late is not started late but reported.
constexpr std::chrono::seconds ScheduleGrace{60};

// "YYYY-MM-DD HH:MM:SS" as local time; nothing when the text is not of that form.
std::optional<std::time_t> ParseStartAt(const std::string& text);
std::string FormatStartAt(std::time_t start);

enum class ScheduleState { Off, Waiting, Due, Missed };

struct ScheduleCheck {
    ScheduleState State = ScheduleState::Off;
    std::time_t Start = 0;
};

// Where the schedule stands at `now`: off (not enabled, or no valid time), waiting for its
// start, due (its time came, less than ScheduleGrace ago) or missed.
ScheduleCheck CheckSchedule(const RecordingSettings& settings,
                            std::chrono::system_clock::time_point now);

// After a start or a miss: a daily schedule moves on to its first start after `now` (the same
// time of day, by the local calendar), any other is switched off.
void AdvanceSchedule(RecordingSettings& settings, std::chrono::system_clock::time_point now);
