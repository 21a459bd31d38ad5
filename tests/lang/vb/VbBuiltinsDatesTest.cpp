// Date and time built-ins.
#include <gtest/gtest.h>

#include <cmath>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsDates.h"
#include "platform/core/DateUtils.h"
#include "platform/core/FormatSettings.h"

namespace xan::vb::bitest {
namespace {

Variant DateOf(int AYear, int AMonth, int ADay) { return Variant::FromDate(plat::EncodeDate(AYear, AMonth, ADay)); }

double DateValueOf(const Variant& AValue) {
    EXPECT_EQ(AValue.VType, plat::varDate);
    return AValue.VDate;
}

ScopedSettings FirstDay(std::uint8_t AMondayBased) {
    return ScopedSettings([&](plat::TFormatSettings& s) { s.FirstDayOfWeek = AMondayBased; });
}

TEST(VbDates, ClockValues) {
    const double now = DateValueOf(Call<TNow>());
    const double today = DateValueOf(Call<TDate>());
    const double time = DateValueOf(Call<TTime>());
    EXPECT_EQ(today, std::trunc(today));
    EXPECT_LT(std::fabs(today - std::trunc(now)), 1.0 + 1e-9);
    EXPECT_GE(time, 0.0);
    EXPECT_LT(time, 1.0);
    const double timer = Dbl(Call<TTimer>());
    EXPECT_GE(timer, 0.0);
    EXPECT_LT(timer, 86400.0);
}

TEST(VbDates, PartsOfADate) {
    const Variant d = Variant::FromDate(plat::EncodeDate(2024, 2, 29) + plat::EncodeTime(13, 45, 30, 0));
    EXPECT_EQ(Int(Call<TYear>({d})), 2024);
    EXPECT_EQ(Int(Call<TMonth>({d})), 2);
    EXPECT_EQ(Int(Call<TDay>({d})), 29);
    EXPECT_EQ(Int(Call<THour>({d})), 13);
    EXPECT_EQ(Int(Call<TMinute>({d})), 45);
    EXPECT_EQ(Int(Call<TSecond>({d})), 30);
    EXPECT_EQ(Int(Call<TYear>({Variant(0)})), 1899);
    EXPECT_TRUE(Call<TYear>({Variant::Null()}).IsNull());
    EXPECT_TRUE(Call<TSecond>({Variant::Null()}).IsNull());
    EXPECT_EQ(CallError<TMonth>({Variant(u"x")}), ConversionError);
}

TEST(VbDates, Weekday) {
    const Variant monday = DateOf(2024, 1, 1);
    EXPECT_EQ(Int(Call<TWeekday>({monday})), 2);
    EXPECT_EQ(Int(Call<TWeekday>({monday, Variant(2)})), 1);
    EXPECT_EQ(Int(Call<TWeekday>({DateOf(2023, 12, 31), Variant(2)})), 7);
    EXPECT_EQ(Int(Call<TWeekday>({monday, Variant(7)})), 3);
    EXPECT_TRUE(Call<TWeekday>({Variant::Null()}).IsNull());
    // The first day is converted before the Null test, and range-checked after it.
    EXPECT_TRUE(Call<TWeekday>({Variant::Null(), Variant(9)}).IsNull());
    EXPECT_EQ(CallError<TWeekday>({Variant::Null(), Variant(u"x")}), ConversionError);
    EXPECT_EQ(CallError<TWeekday>({monday, Variant(8)}), ConversionError);
    EXPECT_EQ(CallError<TWeekday>({monday, Variant(-1)}), ConversionError);
    EXPECT_EQ(CallError<TWeekday>({}), ParamCountError);
    EXPECT_EQ(CallError<TWeekday>({monday, Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbDates, SystemFirstDayComesFromTheLocale) {
    const Variant monday = DateOf(2024, 1, 1);
    {
        const ScopedSettings mondayFirst = FirstDay(0);
        EXPECT_EQ(SystemFirstDayOfWeek(), 2);
        EXPECT_EQ(Int(Call<TWeekday>({monday, Variant(0)})), 1);
        EXPECT_EQ(Str(Call<TWeekdayName>({Variant(1), Variant(false), Variant(0)})), "Monday");
    }
    {
        const ScopedSettings sundayFirst = FirstDay(6);
        EXPECT_EQ(SystemFirstDayOfWeek(), 1);
        EXPECT_EQ(Int(Call<TWeekday>({monday, Variant(0)})), 2);
    }
    const ScopedSettings saturdayFirst = FirstDay(5);
    EXPECT_EQ(SystemFirstDayOfWeek(), 7);
}

TEST(VbDates, WeekdayName) {
    EXPECT_EQ(Str(Call<TWeekdayName>({Variant(1)})), "Sunday");
    EXPECT_EQ(Str(Call<TWeekdayName>({Variant(7), Variant(true)})), "Sat");
    EXPECT_EQ(Str(Call<TWeekdayName>({Variant(1), Variant(true), Variant(2)})), "Mon");
    EXPECT_EQ(Str(Call<TWeekdayName>({Variant(7), Variant(false), Variant(2)})), "Sunday");
    EXPECT_EQ(CallError<TWeekdayName>({Variant(0)}), ConversionError);
    EXPECT_EQ(CallError<TWeekdayName>({Variant(8)}), ConversionError);
    EXPECT_EQ(CallError<TWeekdayName>({Variant(1), Variant(false), Variant(8)}), ConversionError);
    EXPECT_EQ(CallError<TWeekdayName>({}), ParamCountError);
    EXPECT_EQ(CallError<TWeekdayName>({Variant(1), Variant(1), Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbDates, NamesComeFromTheLocaleSettings) {
    const ScopedSettings german([](plat::TFormatSettings& s) {
        s.LongMonthNames[2] = u"M\u00E4rz";
        s.ShortDayNames[1] = u"Mo";
    });
    EXPECT_EQ(Str(Call<TMonthName>({Variant(3)})), "M\u00E4rz");
    EXPECT_EQ(Str(Call<TWeekdayName>({Variant(2), Variant(true)})), "Mo");
}

TEST(VbDates, MonthName) {
    EXPECT_EQ(Str(Call<TMonthName>({Variant(1)})), "January");
    EXPECT_EQ(Str(Call<TMonthName>({Variant(12), Variant(true)})), "Dec");
    EXPECT_EQ(CallError<TMonthName>({Variant(13)}), ConversionError);
    EXPECT_EQ(CallError<TMonthName>({Variant(0)}), ConversionError);
    EXPECT_EQ(CallError<TMonthName>({Variant(1), Variant(true), Variant(1)}), ParamCountError);
}

TEST(VbDates, DateSerialExpandsYearsAndCarriesMonthsAndDays) {
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(99), Variant(13), Variant(1)})), plat::EncodeDate(2000, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(2024), Variant(3), Variant(0)})), plat::EncodeDate(2024, 2, 29));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(0), Variant(1), Variant(1)})), plat::EncodeDate(2000, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(29), Variant(1), Variant(1)})), plat::EncodeDate(2029, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(30), Variant(1), Variant(1)})), plat::EncodeDate(1930, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(-1), Variant(1), Variant(1)})), plat::EncodeDate(1999, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(2024), Variant(0), Variant(1)})), plat::EncodeDate(2023, 12, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(2024), Variant(-12), Variant(1)})), plat::EncodeDate(2022, 12, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(2024), Variant(25), Variant(1)})), plat::EncodeDate(2026, 1, 1));
    EXPECT_EQ(DateValueOf(Call<TDateSerial>({Variant(2024), Variant(1), Variant(32)})), plat::EncodeDate(2024, 2, 1));
}

TEST(VbDates, DateSerialOutsideTheDateRange) {
    EXPECT_NE(CallError<TDateSerial>({Variant(10000), Variant(1), Variant(1)}), "");
    EXPECT_NE(CallError<TDateSerial>({Variant(9999), Variant(12), Variant(32)}), "");
    // Huge month counts are carried arithmetically, not by looping.
    EXPECT_NE(CallError<TDateSerial>({Variant(2000), Variant(2147483647), Variant(1)}), "");
    EXPECT_NE(CallError<TDateSerial>({Variant(2000), Variant(-2147483647 - 1), Variant(1)}), "");
}

TEST(VbDates, TimeSerialCarriesExcess) {
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TTimeSerial>({Variant(0), Variant(90), Variant(0)})), 1.5 / 24);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TTimeSerial>({Variant(12), Variant(0), Variant(0)})), 0.5);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TTimeSerial>({Variant(25), Variant(0), Variant(0)})), 25.0 / 24);
}

TEST(VbDates, NegativeTimesLieBeforeDayZero) {
    // 23:00 on 29 December 1899: day -1, and the fraction is the time of day.
    const double elevenPm = DateValueOf(Call<TTimeSerial>({Variant(0), Variant(0), Variant(-3600)}));
    EXPECT_EQ(Int(Call<TDay>({Variant::FromDate(elevenPm)})), 29);
    EXPECT_EQ(Int(Call<THour>({Variant::FromDate(elevenPm)})), 23);
}

TEST(VbDates, DateAddBeforeDayZeroCountsRealTime) {
    const Variant sixAm = Variant::FromDate(-1.25);  // 29 December 1899, 06:00
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"h"), Variant(6), sixAm})), -1.5);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"d"), Variant(2), sixAm})), 1.25);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"h"), Variant(-12), Variant::FromDate(0.25)})), -1.75);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"n"), Variant(-1), Variant::FromDate(-2.0)})),
                     -3.0 - 1439.0 / 1440);
}

TEST(VbDates, DateValueAndTimeValue) {
    const double stamp = plat::EncodeDate(2024, 5, 6) + plat::EncodeTime(6, 0, 0, 0);
    EXPECT_EQ(DateValueOf(Call<TDateValue>({Variant(stamp)})), plat::EncodeDate(2024, 5, 6));
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TTimeValue>({Variant(stamp)})), 0.25);
    EXPECT_EQ(DateValueOf(Call<TDateValue>({Variant(u"2024-05-06 18:00")})), plat::EncodeDate(2024, 5, 6));
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TTimeValue>({Variant(u"18:00")})), 0.75);
    EXPECT_NE(CallError<TDateValue>({Variant(u"soon")}), "");
}

TEST(VbDates, DateAddIntervals) {
    const Variant d = DateOf(2024, 2, 29);
    const double base = plat::EncodeDate(2024, 2, 29);
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"yyyy"), Variant(1), d})), plat::EncodeDate(2025, 2, 28));
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"q"), Variant(1), d})), plat::EncodeDate(2024, 5, 29));
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"m"), Variant(-1), d})), plat::EncodeDate(2024, 1, 29));
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"WW"), Variant(1), d})), base + 7);
    for (const char16_t* days : {u"d", u"w", u"y", u"D"})
        EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(days), Variant(2), d})), base + 2);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"h"), Variant(6), d})), base + 0.25);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"n"), Variant(720), d})), base + 0.5);
    EXPECT_DOUBLE_EQ(DateValueOf(Call<TDateAdd>({Variant(u"s"), Variant(43200), d})), base + 0.5);
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"d"), Variant(1), Variant(u"2024-01-31")})), plat::EncodeDate(2024, 2, 1));
}

TEST(VbDates, DateAddKeepsTheTimeWhenMovingByMonths) {
    const double stamp = plat::EncodeDate(2024, 1, 31) + 0.75;
    EXPECT_EQ(DateValueOf(Call<TDateAdd>({Variant(u"m"), Variant(1), Variant::FromDate(stamp)})),
              plat::EncodeDate(2024, 2, 29) + 0.75);
}

TEST(VbDates, DateAddErrors) {
    const Variant d = DateOf(2024, 2, 29);
    EXPECT_EQ(CallError<TDateAdd>({Variant(u"x"), Variant(1), d}), ConversionError);
    EXPECT_EQ(CallError<TDateAdd>({Variant(u""), Variant(1), d}), ConversionError);
    EXPECT_EQ(CallError<TDateAdd>({Variant(u"d"), Variant(u"x"), d}), ConversionError);
    EXPECT_NE(CallError<TDateAdd>({Variant(u"yyyy"), Variant(10000), d}), "");
    EXPECT_NE(CallError<TDateAdd>({Variant(u"d"), Variant(5000000), d}), "");
    EXPECT_EQ(CallError<TDateAdd>({Variant(u"d"), Variant(1)}), ParamCountError);
}

}  // namespace
}  // namespace xan::vb::bitest
