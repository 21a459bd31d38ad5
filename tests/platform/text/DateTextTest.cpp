#include "platform/text/DateText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/DateUtils.h"
#include "platform/core/Exception.h"

using namespace xan::plat;

namespace {

// A European profile: day first, '.' between date parts, 24-hour times, ',' decimals.
TFormatSettings GermanLike() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    s.DateSeparator = u'.';
    s.ShortDateFormat = u"dd/mm/yyyy";
    s.LongDateFormat = u"dddd, d. mmmm yyyy";
    s.ShortTimeFormat = u"hh:nn";
    s.LongTimeFormat = u"hh:nn:ss";
    s.LongMonthNames = {u"Januar", u"Februar", u"März",      u"April",   u"Mai",      u"Juni",
                        u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};
    s.ShortMonthNames = {u"Jan", u"Feb", u"Mrz", u"Apr", u"Mai", u"Jun",
                         u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"};
    return s;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

int ThisYear() { return DecodeDate(Date()).year; }

std::string MessageOf(void (*f)()) {
    try {
        f();
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        EXPECT_TRUE(e->InheritsFrom(EConvertError::StaticClass()));
        return e->Message().ToUtf8();
    }
    return "no exception";
}

}  // namespace

TEST(DateToText, InvariantProfile) {
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 14, 7, 9)), u"3/5/2024 2:07:09 PM");
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5)), u"3/5/2024");
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 0, 0, 1)), u"3/5/2024 12:00:01 AM");
    EXPECT_EQ(DateToStr(At(1999, 12, 31, 23, 59)), u"12/31/1999");
    EXPECT_EQ(TimeToStr(At(1999, 12, 31, 23, 59)), u"11:59:00 PM");
    EXPECT_EQ(TimeToStr(0.5), u"12:00:00 PM");
    EXPECT_EQ(DateToStr(0), u"12/30/1899");
    // Negative serials still carry the time of day in the fraction.
    EXPECT_EQ(DateTimeToStr(-1.25), u"12/29/1899 6:00:00 AM");
}

TEST(DateToText, ModifiedProfile) {
    const TFormatSettings g = GermanLike();
    EXPECT_EQ(DateTimeToStr(At(2024, 3, 5, 14, 7, 9), g), u"05.03.2024 14:07:09");
    EXPECT_EQ(DateToStr(At(2024, 3, 5), g), u"05.03.2024");
    EXPECT_EQ(TimeToStr(At(2024, 3, 5, 8, 0, 0), g), u"08:00:00");
}

TEST(DateToText, OutOfRangeRaises) {
    EXPECT_EQ(MessageOf([] { DateToStr(std::numeric_limits<double>::quiet_NaN()); }),
              "Invalid date: value is outside the supported date range");
    EXPECT_EQ(MessageOf([] { DateTimeToStr(1e12); }), "Invalid date: value is outside the supported date range");
}

TEST(DateParsing, NumericDatesInvariant) {
    TDateTime d;
    ASSERT_TRUE(TryStrToDate(u"3/5/2024", d));
    EXPECT_EQ(d, At(2024, 3, 5));
    ASSERT_TRUE(TryStrToDate(u"  12/31/1999 ", d));
    EXPECT_EQ(d, At(1999, 12, 31));
    ASSERT_TRUE(TryStrToDate(u"2/29/2024", d));
    EXPECT_EQ(d, At(2024, 2, 29));
    ASSERT_TRUE(TryStrToDate(u"1-15-2024", d));
    EXPECT_EQ(d, At(2024, 1, 15));
    ASSERT_TRUE(TryStrToDate(u"2024-01-31", d));
    EXPECT_EQ(d, At(2024, 1, 31));
    ASSERT_TRUE(TryStrToDate(u"7/4", d));
    EXPECT_EQ(d, At(ThisYear(), 7, 4));
    ASSERT_TRUE(TryStrToDate(u"1/1/0024", d));
    EXPECT_EQ(d, At(24, 1, 1));
}

TEST(DateParsing, NamedMonths) {
    TDateTime d;
    ASSERT_TRUE(TryStrToDate(u"31 Jan 2024", d));
    EXPECT_EQ(d, At(2024, 1, 31));
    ASSERT_TRUE(TryStrToDate(u"January 31, 2024", d));
    EXPECT_EQ(d, At(2024, 1, 31));
    ASSERT_TRUE(TryStrToDate(u"15-mar-2021", d));
    EXPECT_EQ(d, At(2021, 3, 15));
    ASSERT_TRUE(TryStrToDate(u"DECEMBER 25", d));
    EXPECT_EQ(d, At(ThisYear(), 12, 25));
    ASSERT_TRUE(TryStrToDateTime(u"Jan 15 10:30", d));
    EXPECT_EQ(d, At(ThisYear(), 1, 15, 10, 30));
    ASSERT_TRUE(TryStrToDateTime(u"Tue, 5 Mar 2024 14:07", d));
    EXPECT_EQ(d, At(2024, 3, 5, 14, 7));
    ASSERT_TRUE(TryStrToDate(u"Tuesday March 5 2024", d));
    EXPECT_EQ(d, At(2024, 3, 5));
    EXPECT_FALSE(TryStrToDate(u"Tue", d));
    EXPECT_FALSE(TryStrToDate(u"Janu 5 2024", d));
    EXPECT_FALSE(TryStrToDate(u"Febr 5", d));
}

TEST(DateParsing, ModifiedProfileOrderAndNames) {
    const TFormatSettings g = GermanLike();
    TDateTime d;
    ASSERT_TRUE(TryStrToDate(u"05.03.2024", d, g));
    EXPECT_EQ(d, At(2024, 3, 5));
    ASSERT_TRUE(TryStrToDate(u"31.12", d, g));
    EXPECT_EQ(d, At(ThisYear(), 12, 31));
    ASSERT_TRUE(TryStrToDate(u"1. März 2020", d, g));
    EXPECT_EQ(d, At(2020, 3, 1));
    EXPECT_FALSE(TryStrToDate(u"3/5/2024", d, g));  // '/' is not this locale's separator
    EXPECT_FALSE(TryStrToDate(u"12.31.2024", d, g));  // month 31
    ASSERT_TRUE(TryStrToDateTime(u"05.03.2024 14:07:09", d, g));
    EXPECT_EQ(d, At(2024, 3, 5, 14, 7, 9));
    TFormatSettings ymd;
    ymd.ShortDateFormat = u"yyyy/MM/dd";
    ASSERT_TRUE(TryStrToDate(u"24/02/03", d, ymd));
    EXPECT_EQ(d, At(ExpandTwoDigitYear(24, ThisYear(), ymd), 2, 3));
}

TEST(DateParsing, TwoDigitYears) {
    TFormatSettings s;
    s.TwoDigitYearCenturyWindow = 50;
    EXPECT_EQ(ExpandTwoDigitYear(30, 2026, s), 2030);
    EXPECT_EQ(ExpandTwoDigitYear(76, 2026, s), 1976);
    EXPECT_EQ(ExpandTwoDigitYear(75, 2026, s), 2075);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2026, s), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2026, s), 1999);
    EXPECT_EQ(ExpandTwoDigitYear(150, 2026, s), 150);
    s.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(ExpandTwoDigitYear(99, 2026, s), 2099);
    EXPECT_EQ(ExpandTwoDigitYear(5, 1999, s), 1905);
    TDateTime d;
    ASSERT_TRUE(TryStrToDate(u"1/2/05", d));
    EXPECT_EQ(d, At(ExpandTwoDigitYear(5, ThisYear(), FormatSettings()), 1, 2));
}

TEST(DateParsing, Times) {
    TDateTime t;
    ASSERT_TRUE(TryStrToTime(u"14:30", t));
    EXPECT_EQ(t, EncodeTime(14, 30, 0, 0));
    ASSERT_TRUE(TryStrToTime(u"2:30:15 PM", t));
    EXPECT_EQ(t, EncodeTime(14, 30, 15, 0));
    ASSERT_TRUE(TryStrToTime(u"12:00 am", t));
    EXPECT_EQ(t, 0.0);
    ASSERT_TRUE(TryStrToTime(u"12:00 PM", t));
    EXPECT_EQ(t, 0.5);
    ASSERT_TRUE(TryStrToTime(u"3 p", t));
    EXPECT_EQ(t, EncodeTime(15, 0, 0, 0));
    ASSERT_TRUE(TryStrToTime(u"AM 9:05", t));
    EXPECT_EQ(t, EncodeTime(9, 5, 0, 0));
    ASSERT_TRUE(TryStrToTime(u"10:20:30.5", t));
    EXPECT_EQ(t, EncodeTime(10, 20, 30, 500));
    ASSERT_TRUE(TryStrToTime(u"10:20:30.1239", t));
    EXPECT_EQ(t, EncodeTime(10, 20, 30, 123));
    ASSERT_TRUE(TryStrToTime(u"23:59:59", t));
    EXPECT_EQ(t, EncodeTime(23, 59, 59, 0));
    TFormatSettings s;
    s.TimeSeparator = u'.';
    s.TimeAMString = u"vorm.";
    s.TimePMString = u"nachm.";
    ASSERT_TRUE(TryStrToTime(u"3.15 nachm.", t, s));
    EXPECT_EQ(t, EncodeTime(15, 15, 0, 0));
}

TEST(DateParsing, DateTimeCombinations) {
    TDateTime d;
    ASSERT_TRUE(TryStrToDateTime(u"3/5/2024 2:07:09 PM", d));
    EXPECT_EQ(d, At(2024, 3, 5, 14, 7, 9));
    ASSERT_TRUE(TryStrToDateTime(u"3/5/2024", d));
    EXPECT_EQ(d, At(2024, 3, 5));
    ASSERT_TRUE(TryStrToDateTime(u"10:30", d));  // a time alone has date part 0
    EXPECT_EQ(d, EncodeTime(10, 30, 0, 0));
    EXPECT_FALSE(TryStrToDate(u"3/5/2024 10:00", d));
    EXPECT_FALSE(TryStrToTime(u"3/5/2024 10:00", d));
    EXPECT_FALSE(TryStrToDate(u"10:00", d));
    ASSERT_TRUE(TryStrToDateTime(u"12/29/1899 6:00", d));
    EXPECT_EQ(d, -1.25);
}

TEST(DateParsing, Rejections) {
    for (const char16_t* bad :
         {u"", u"  ", u"garbage", u"2/30/2024", u"2/29/2023", u"13/1/2024", u"0/1/2024", u"1/0/2024", u"1/1/10000",
          u"25:00", u"24:00", u"12:60", u"10:30:61", u"13:00 PM", u"0:30 AM", u"10", u"10:", u"10:30:",
          u"1/2/3/4", u"1//2024", u"3/5/2024x", u"3/5/2024 10", u"3/5/2024 garbage", u"1/2-2024", u"10:30 XM",
          u"1234567890/1/1", u"--", u"10:30 PMX"}) {
        TDateTime d = 42;
        EXPECT_FALSE(TryStrToDateTime(bad, d)) << UString(bad).ToUtf8();
        EXPECT_EQ(d, 42);
    }
    EXPECT_EQ(MessageOf([] { StrToDate(u"2/30/2024"); }), "'2/30/2024' is not a valid date");
    EXPECT_EQ(MessageOf([] { StrToTime(u"25:00"); }), "'25:00' is not a valid time");
    EXPECT_EQ(MessageOf([] { StrToDateTime(u"x"); }), "'x' is not a valid date and time");
}

TEST(DateParsing, RoundTripsWithBothProfiles) {
    const TFormatSettings inv = TFormatSettings::Invariant();
    const TFormatSettings g = GermanLike();
    for (TDateTime dt : {At(2024, 3, 5, 14, 7, 9), At(1, 1, 1), At(9999, 12, 31, 23, 59, 59), At(1899, 12, 30, 12),
                         At(1950, 6, 15), At(2000, 2, 29, 0, 0, 1)}) {
        EXPECT_EQ(StrToDateTime(DateTimeToStr(dt, inv), inv), dt);
        EXPECT_EQ(StrToDateTime(DateTimeToStr(dt, g), g), dt);
        EXPECT_EQ(StrToDate(DateToStr(dt, g), g), std::trunc(dt));
    }
}
