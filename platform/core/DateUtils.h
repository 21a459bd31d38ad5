#pragma once
// Calendar arithmetic on TDateTime (days since 1899-12-30, time of day as the fraction).
// Supported years: 1 to 9999. For negative dates the fraction is still the time of day
// (-1.25 is 1899-12-29 06:00).
#include "platform/core/Types.h"

namespace xan::plat {

inline constexpr int MinDateYear = 1;
inline constexpr int MaxDateYear = 9999;
// Serial numbers of 0001-01-01 and 9999-12-31 23:59:59.999.
inline constexpr double MinDateTime = -693593.0;
inline constexpr double MaxDateTime = 2958465.99999999;

bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;  // 0 for an invalid month

bool TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept;
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) noexcept;
TDateTime EncodeDate(int year, int month, int day);            // EConvertError when invalid
TDateTime EncodeTime(int hour, int minute, int second, int msec);

struct DateParts { int year, month, day; };
struct TimeParts { int hour, minute, second, msec; };
// Both decode the time of day from the fraction's magnitude; out-of-range serials raise
// EConvertError.
DateParts DecodeDate(TDateTime dt);
TimeParts DecodeTime(TDateTime dt) noexcept;

int DayOfWeek(TDateTime dt);  // 1 = Sunday ... 7 = Saturday
// Adds months keeping the time; the day is clamped to the target month's length.
TDateTime IncMonth(TDateTime dt, int months);
// Combines a date's day number with a time of day, honouring the negative-date rule.
TDateTime ComposeDateTime(TDateTime date, TDateTime time) noexcept;
bool IsValidDateTime(TDateTime dt) noexcept;

TDateTime Now();   // local time
TDateTime Date();  // today, time part 0
TDateTime Time();  // now, date part 0

}  // namespace xan::plat
