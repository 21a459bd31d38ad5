#pragma once
// The locale settings record: separators, date/time formats and names, first day of the week,
// ANSI code page. Every number/date text routine reads it. The process-wide record starts as
// the invariant (English, '.') profile so that tests and CI are deterministic; the runtime
// library fills it from the process locale when asked to.
#include <array>

#include "platform/core/UString.h"

namespace xan::plat {

struct TFormatSettings {
    char16_t DecimalSeparator = u'.';
    char16_t ThousandSeparator = u',';
    char16_t DateSeparator = u'/';
    char16_t TimeSeparator = u':';
    char16_t ListSeparator = u',';
    UString CurrencyString = u"$";
    std::uint8_t CurrencyFormat = 0;     // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    std::uint8_t NegCurrFormat = 0;      // 0 "($1)", 1 "-$1", ...
    std::uint8_t CurrencyDecimals = 2;
    // Pictures in the FormatDateTime language (m = month, n = minute).
    UString ShortDateFormat = u"M/d/yyyy";
    UString LongDateFormat = u"dddd, MMMM d, yyyy";
    UString ShortTimeFormat = u"h:nn AMPM";
    UString LongTimeFormat = u"h:nn:ss AMPM";
    UString TimeAMString = u"AM";
    UString TimePMString = u"PM";
    std::array<UString, 12> ShortMonthNames{u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                            u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<UString, 12> LongMonthNames{u"January", u"February", u"March",     u"April",
                                           u"May",     u"June",     u"July",      u"August",
                                           u"September", u"October", u"November", u"December"};
    // Index 0 = Sunday.
    std::array<UString, 7> ShortDayNames{u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
    std::array<UString, 7> LongDayNames{u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                        u"Thursday", u"Friday", u"Saturday"};
    // 0 = Monday ... 6 = Sunday.
    std::uint8_t FirstDayOfWeek = 6;
    std::uint16_t TwoDigitYearCenturyWindow = 50;
    std::uint16_t AnsiCodePage = 1252;

    static TFormatSettings Invariant() { return {}; }
};

// The process-wide settings. Readers take a reference; the record is replaced only at start-up
// or by an explicit call (not while scripts run).
const TFormatSettings& FormatSettings() noexcept;
void SetFormatSettings(const TFormatSettings& settings);

}  // namespace xan::plat
