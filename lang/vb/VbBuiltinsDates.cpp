#include "lang/vb/VbBuiltinsDates.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "lang/vb/VbIntrinsicArgs.h"
#include "platform/core/DateUtils.h"
#include "platform/core/FormatSettings.h"
#include "platform/rtl/CaseCompare.h"

namespace xan::vb {

using plat::Variant;

namespace {

constexpr double HoursPerDay = 24;
constexpr double MinutesPerDay = 24 * 60;
constexpr double SecondsPerDay = 24 * 60 * 60;
constexpr plat::Integer DaysPerWeek = 7;
constexpr plat::Integer MonthsPerYear = 12;

// Two-digit years: up to 29 belong to this century, 30 to 99 to the last one.
constexpr plat::Int64 LastYearOf2000s = 29;
constexpr plat::Int64 LastTwoDigitYear = 99;

plat::DateParts DatePartsOf(const Variant& AValue) { return plat::DecodeDate(ArgFloat(AValue)); }

plat::TimeParts TimePartsOf(const Variant& AValue) { return plat::DecodeTime(ArgFloat(AValue)); }

// A First argument: 1 = Sunday … 7 = Saturday, 0 the locale's first day; others are errors.
plat::Integer ResolveFirstDay(plat::Integer AFirst) {
    if (AFirst < 0 || AFirst > DaysPerWeek) RaiseConversionError();
    return AFirst == 0 ? SystemFirstDayOfWeek() : AFirst;
}

// Day number AIndex counted from AFirst, wrapped into 1..7.
plat::Integer WrapDay(plat::Integer AIndex) noexcept {
    if (AIndex < 1) return AIndex + DaysPerWeek;
    if (AIndex > DaysPerWeek) return AIndex - DaysPerWeek;
    return AIndex;
}

plat::Int64 ExpandSerialYear(plat::Int64 AYear) noexcept {
    if (AYear <= LastYearOf2000s) return AYear + 2000;
    if (AYear <= LastTwoDigitYear) return AYear + 1900;
    return AYear;
}

// EncodeDate's range check with a year that may not even fit an int.
TDateTime FirstOfMonth(plat::Int64 AYear, plat::Integer AMonth) {
    const bool fitsInt = AYear >= std::numeric_limits<int>::min() && AYear <= std::numeric_limits<int>::max();
    return plat::EncodeDate(fitsInt ? static_cast<int>(AYear) : 0, AMonth, 1);
}

TDateTime MoveByMonths(TDateTime ADate, plat::Int64 AMonths) {
    if (AMonths < std::numeric_limits<int>::min() || AMonths > std::numeric_limits<int>::max())
        AMonths = AMonths < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return plat::IncMonth(ADate, static_cast<int>(AMonths));
}

// Before 1899-12-30 a serial's fraction is still the time of day (-1.25 is 29 December, 06:00),
// so serials are not a linear time scale there. Arithmetic in days runs on the linear scale.
double LinearOf(TDateTime ADate) noexcept {
    const double day = std::trunc(ADate);
    return day + std::fabs(ADate - day);
}

TDateTime DateOfLinear(double ALinear) noexcept {
    const double day = std::floor(ALinear);
    return plat::ComposeDateTime(day, ALinear - day);
}

TDateTime AddDays(TDateTime ADate, double ADays) noexcept { return DateOfLinear(LinearOf(ADate) + ADays); }

TDateTime AddInterval(const plat::UString& AInterval, plat::Integer N, TDateTime D) {
    const std::u16string_view interval = AInterval.view();
    if (interval == u"d" || interval == u"w" || interval == u"y") return AddDays(D, N);
    if (interval == u"h") return AddDays(D, N / HoursPerDay);
    if (interval == u"n") return AddDays(D, N / MinutesPerDay);
    if (interval == u"s") return AddDays(D, N / SecondsPerDay);
    if (interval == u"m") return MoveByMonths(D, N);
    if (interval == u"q") return MoveByMonths(D, plat::Int64(N) * 3);
    if (interval == u"yyyy") return MoveByMonths(D, plat::Int64(N) * MonthsPerYear);
    if (interval == u"ww") return AddDays(D, double(N) * DaysPerWeek);
    RaiseConversionError();
}

}  // namespace

plat::Integer SystemFirstDayOfWeek() noexcept {
    // The settings count 0 = Monday … 6 = Sunday; Monday is day 2 here.
    return WrapDay(plat::FormatSettings().FirstDayOfWeek + 2);
}

void TNow::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult = Variant::FromDate(plat::Now()); }

void TDate::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult = Variant::FromDate(plat::Date()); }

void TTime::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult = Variant::FromDate(plat::Time()); }

void TYear::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(DatePartsOf(AArgs[0]).year);
}

void TMonth::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(DatePartsOf(AArgs[0]).month);
}

void TDay::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(DatePartsOf(AArgs[0]).day);
}

void THour::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(TimePartsOf(AArgs[0]).hour);
}

void TMinute::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(TimePartsOf(AArgs[0]).minute);
}

void TSecond::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetInteger(TimePartsOf(AArgs[0]).second);
}

void TWeekday::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 2);
    const Variant* firstArg = OptArg(ACall, AArgs, 1);
    const plat::Integer first = firstArg ? ArgInt(*firstArg) : 1;
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    const plat::Integer firstDay = ResolveFirstDay(first);
    AResult.SetInteger(WrapDay(plat::DayOfWeek(ArgFloat(AArgs[0])) - firstDay + 1));
}

void TWeekdayName::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 3);
    const plat::Integer weekday = ArgInt(AArgs[0]);
    const Variant* abbreviateArg = OptArg(ACall, AArgs, 1);
    const bool abbreviate = abbreviateArg && ArgBool(*abbreviateArg);
    const Variant* firstArg = OptArg(ACall, AArgs, 2);
    const plat::Integer first = firstArg ? ArgInt(*firstArg) : 1;
    if (weekday < 1 || weekday > DaysPerWeek) RaiseConversionError();
    const plat::Integer day = WrapDay(weekday + ResolveFirstDay(first) - 1);
    const plat::TFormatSettings& fs = plat::FormatSettings();
    AResult.SetString(abbreviate ? fs.ShortDayNames[std::size_t(day - 1)] : fs.LongDayNames[std::size_t(day - 1)]);
}

void TMonthName::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 2);
    const plat::Integer month = ArgInt(AArgs[0]);
    const Variant* abbreviateArg = OptArg(ACall, AArgs, 1);
    const bool abbreviate = abbreviateArg && ArgBool(*abbreviateArg);
    if (month < 1 || month > MonthsPerYear) RaiseConversionError();
    const plat::TFormatSettings& fs = plat::FormatSettings();
    AResult.SetString(abbreviate ? fs.ShortMonthNames[std::size_t(month - 1)] : fs.LongMonthNames[std::size_t(month - 1)]);
}

void TDateSerial::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    plat::Int64 year = ExpandSerialYear(ArgInt(AArgs[0]));
    const plat::Int64 month = ArgInt(AArgs[1]);
    const plat::Integer day = ArgInt(AArgs[2]);
    // Months beyond 1..12 carry into the year (DateSerial(99, 13, 1) is 1 January 2000).
    const plat::Int64 monthIndex = month - 1;
    const plat::Int64 carry = monthIndex >= 0 ? monthIndex / MonthsPerYear : (monthIndex - (MonthsPerYear - 1)) / MonthsPerYear;
    year += carry;
    const auto normalMonth = static_cast<plat::Integer>(monthIndex - carry * MonthsPerYear + 1);
    SetDateResult(AResult, FirstOfMonth(year, normalMonth) + (double(day) - 1));
}

void TTimeSerial::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Int64 seconds = plat::Int64(ArgInt(AArgs[0])) * 3600 + plat::Int64(ArgInt(AArgs[1])) * 60 + ArgInt(AArgs[2]);
    // A negative total lies before midnight of day 0: TimeSerial(0, 0, -3600) is 23:00 the day before.
    SetDateResult(AResult, DateOfLinear(double(seconds) / SecondsPerDay));
}

void TDateValue::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    SetDateResult(AResult, std::trunc(ArgDate(AArgs[0])));
}

void TTimeValue::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const TDateTime value = ArgDate(AArgs[0]);
    SetDateResult(AResult, value - std::trunc(value));
}

void TDateAdd::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer count = ArgInt(AArgs[1]);
    const TDateTime date = ArgDate(AArgs[2]);
    const plat::UString interval = plat::LowerCase(ArgStr(AArgs[0]));
    SetDateResult(AResult, AddInterval(interval, count, date));
}

void TTimer::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.SetDouble(plat::Time() * SecondsPerDay); }

}  // namespace xan::vb
