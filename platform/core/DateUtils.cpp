#include "platform/core/DateUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/core/Exception.h"

namespace xan::plat {

namespace {
// Days between 1970-01-01 and 1899-12-30.
constexpr int kEpochOffset = 25569;
constexpr double kMsPerDay = 86400000.0;

int DaysFromCivil(int y, int m, int d) noexcept {
    using namespace std::chrono;
    return static_cast<int>(sys_days(year(y) / month(static_cast<unsigned>(m)) / day(static_cast<unsigned>(d)))
                                .time_since_epoch()
                                .count()) +
           kEpochOffset;
}

std::chrono::year_month_day CivilFromDays(int days) noexcept {
    using namespace std::chrono;
    return year_month_day(sys_days(std::chrono::days(days - kEpochOffset)));
}

[[noreturn]] void DateRangeError() { Throw<EConvertError>(u"Invalid date: value is outside the supported date range"); }
}  // namespace

bool IsLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) noexcept {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept {
    if (year < MinDateYear || year > MaxDateYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    out = DaysFromCivil(year, month, day);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) noexcept {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        return false;
    out = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r)) Throw<EConvertError>(u"Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, minute, second, msec, r)) Throw<EConvertError>(u"Invalid argument to time encode");
    return r;
}

bool IsValidDateTime(TDateTime dt) noexcept {
    return std::isfinite(dt) && dt >= MinDateTime - 1.0 && dt < MaxDateTime + 1.0;
}

DateParts DecodeDate(TDateTime dt) {
    if (!IsValidDateTime(dt)) DateRangeError();
    // Truncation toward zero: the whole part is the day for negative dates too.
    const auto ymd = CivilFromDays(static_cast<int>(std::trunc(dt)));
    const int y = static_cast<int>(ymd.year());
    if (y < MinDateYear || y > MaxDateYear) DateRangeError();
    return {y, static_cast<int>(static_cast<unsigned>(ymd.month())), static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

TimeParts DecodeTime(TDateTime dt) noexcept {
    if (!std::isfinite(dt)) return {0, 0, 0, 0};
    double frac = std::fabs(dt - std::trunc(dt));
    auto ms = static_cast<std::int64_t>(std::llround(frac * kMsPerDay));
    if (ms >= 86400000) ms = 86399999;
    return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
            static_cast<int>(ms % 1000)};
}

int DayOfWeek(TDateTime dt) {
    if (!IsValidDateTime(dt)) DateRangeError();
    // 1899-12-30 was a Saturday (7).
    const auto days = static_cast<std::int64_t>(std::trunc(dt));
    return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) noexcept {
    const double day = std::trunc(date);
    const double frac = std::fabs(time - std::trunc(time));
    return day < 0 ? day - frac : day + frac;
}

TDateTime IncMonth(TDateTime dt, int months) {
    const DateParts d = DecodeDate(dt);
    std::int64_t total = static_cast<std::int64_t>(d.year) * 12 + (d.month - 1) + months;
    const std::int64_t year = total >= 0 ? total / 12 : (total - 11) / 12;
    const int month = static_cast<int>(total - year * 12) + 1;
    if (year < MinDateYear || year > MaxDateYear) DateRangeError();
    const int day = std::min(d.day, DaysInMonth(static_cast<int>(year), month));
    return ComposeDateTime(EncodeDate(static_cast<int>(year), month, day), dt);
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms));
}

TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() { const double n = Now(); return n - std::trunc(n); }

}  // namespace xan::plat
