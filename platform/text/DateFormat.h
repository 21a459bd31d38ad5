#pragma once
// FormatDateTime: a date-time rendered by a picture.
//
// Picture letters (case-insensitive):
//   c        short date, then a blank and the long time unless the time is midnight
//   d dd     day without / with a leading zero;  ddd dddd  short / long day name
//   ddddd    short date format;  dddddd  long date format
//   m mm     month (minutes when they follow an h or hh);  mmm mmmm  short / long month name
//   yy yyyy  two- / four-digit year
//   h hh     hour (12-hour clock when the picture holds an am/pm specifier)
//   n nn     minute;  s ss  second;  z zzz  millisecond without / with leading zeros
//   t tt     short / long time format
//   am/pm a/p  the letters of the specifier itself, in its case;  ampm  the locale's AM/PM text
//   /        the date separator;  :  the time separator
//   '..' ".." literal text; any other character stands for itself.
// A date outside the supported range raises EConvertError.
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

UString FormatDateTime(std::u16string_view picture, TDateTime dt,
                       const TFormatSettings& settings = FormatSettings());

}  // namespace xan::plat
