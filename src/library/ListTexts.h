#pragma once
// What a list entry says about a recording: its kind, size, duration and date texts.

#include <cstdint>
#include <string>

// True for names whose extension (from the last dot) is an output format's, in any case.
bool IsRecordingKind(const std::string& name);

// Bytes to whole KB, a half rounding to the even neighbour (1536 gives 2, 2560 gives 2).
std::uint64_t SizeInKB(std::uint64_t bytes);

// Hours, minutes and seconds of `seconds`, the seconds rounded (halves to even) with carry into
// minutes and hours, two characters each: 187 gives "00:03:07". A negative or not-a-number
// value (the audio library's failure) gives "00:00:00".
std::string DurationText(double seconds);

// The list's date column: the date and five spaces, with the time inserted at the 13th
// character (appended when that text is shorter), counted in characters.
std::string JoinDateAndTime(const std::string& date, const std::string& time);
