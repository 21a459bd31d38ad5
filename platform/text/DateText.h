#pragma once
// Dates and times to text with the locale's formats, and text back to dates and times.
//
// Parsing follows the locale: the order of day, month and year comes from the short date
// format, the separators and AM/PM texts from the settings record. Accepted:
//   dates   "d/m/y", "d/m" (the current year), with the locale's order and date separator or
//           '-'; a first component of three or more digits makes the order year, month, day
//           ("2024-01-31"); month names, short or long, in any case ("31 Jan 2024",
//           "January 31, 2024"), optionally after a day name ("Wed, 31 Jan 2024"). Years of one or two digits are expanded with
//           TwoDigitYearCenturyWindow.
//   times   "h:n", "h:n:s", "h:n:s.zzz", each optionally followed (or preceded) by the AM/PM
//           text of the locale or of English ("am", "pm", "a", "p"); "h AM".
//   both    a date, blanks, a time. Date-time parsing also accepts a time alone (date part 0).
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/text/DateFormat.h"

namespace xan::plat {

// Short date and long time; the time is left out when it is midnight.
UString DateTimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());
UString DateToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());  // short date
UString TimeToStr(TDateTime dt, const TFormatSettings& settings = FormatSettings());  // long time

bool TryStrToDateTime(std::u16string_view text, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings()) noexcept;
bool TryStrToDate(std::u16string_view text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings()) noexcept;
bool TryStrToTime(std::u16string_view text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings()) noexcept;
// EConvertError "'<text>' is not a valid date and time" / "... valid date" / "... valid time".
TDateTime StrToDateTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDate(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(std::u16string_view text, const TFormatSettings& settings = FormatSettings());

// The full year of a one- or two-digit year: the century is chosen so that the result is not
// earlier than currentYear - TwoDigitYearCenturyWindow (with a window of 0: the current century).
int ExpandTwoDigitYear(int year, int currentYear, const TFormatSettings& settings) noexcept;

}  // namespace xan::plat
