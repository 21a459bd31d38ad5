#include "platform/text/DateFormat.h"

#include <gtest/gtest.h>

#include "platform/core/DateUtils.h"

using namespace xan::plat;

namespace {

// Tuesday 2024-03-05 14:07:09.045
TDateTime Sample() { return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45); }
// Saturday 2005-11-26 03:04:05.600
TDateTime Morning() { return EncodeDate(2005, 11, 26) + EncodeTime(3, 4, 5, 600); }

UString F(const char16_t* picture, TDateTime dt, const TFormatSettings& s = TFormatSettings::Invariant()) {
    return FormatDateTime(picture, dt, s);
}

}  // namespace

TEST(FormatDateTimeTest, DayLetters) {
    EXPECT_EQ(F(u"d", Sample()), u"5");
    EXPECT_EQ(F(u"dd", Sample()), u"05");
    EXPECT_EQ(F(u"ddd", Sample()), u"Tue");
    EXPECT_EQ(F(u"dddd", Sample()), u"Tuesday");
    EXPECT_EQ(F(u"ddddd", Sample()), u"3/5/2024");
    EXPECT_EQ(F(u"dddddd", Sample()), u"Tuesday, March 5, 2024");
    EXPECT_EQ(F(u"dddd", Morning()), u"Saturday");
    EXPECT_EQ(F(u"DD", Morning()), u"26");
}

TEST(FormatDateTimeTest, MonthAndYearLetters) {
    EXPECT_EQ(F(u"m", Sample()), u"3");
    EXPECT_EQ(F(u"mm", Sample()), u"03");
    EXPECT_EQ(F(u"mmm", Sample()), u"Mar");
    EXPECT_EQ(F(u"mmmm", Sample()), u"March");
    EXPECT_EQ(F(u"MMMMM", Morning()), u"November");
    EXPECT_EQ(F(u"yy", Sample()), u"24");
    EXPECT_EQ(F(u"y", Morning()), u"05");
    EXPECT_EQ(F(u"yyyy", Sample()), u"2024");
    EXPECT_EQ(F(u"yyyy", EncodeDate(33, 1, 1)), u"0033");
    EXPECT_EQ(F(u"YY", EncodeDate(2000, 1, 1)), u"00");
}

TEST(FormatDateTimeTest, TimeLetters) {
    EXPECT_EQ(F(u"h", Morning()), u"3");
    EXPECT_EQ(F(u"hh", Morning()), u"03");
    EXPECT_EQ(F(u"hh", Sample()), u"14");
    EXPECT_EQ(F(u"n", Morning()), u"4");
    EXPECT_EQ(F(u"nn", Morning()), u"04");
    EXPECT_EQ(F(u"s", Morning()), u"5");
    EXPECT_EQ(F(u"ss", Morning()), u"05");
    EXPECT_EQ(F(u"z", Sample()), u"45");
    EXPECT_EQ(F(u"zzz", Sample()), u"045");
    EXPECT_EQ(F(u"zzz", Morning()), u"600");
    EXPECT_EQ(F(u"HH:NN:SS.ZZZ", Sample()), u"14:07:09.045");
}

TEST(FormatDateTimeTest, MinutesAfterHour) {
    EXPECT_EQ(F(u"h:m", Morning()), u"3:4");
    EXPECT_EQ(F(u"hh:mm", Morning()), u"03:04");
    EXPECT_EQ(F(u"hh'h'mm", Morning()), u"03h04");
    EXPECT_EQ(F(u"mm/dd hh:mm", Sample()), u"03/05 14:07");
    // A picture letter between ends the hour context: month again.
    EXPECT_EQ(F(u"h d m", Morning()), u"3 26 11");
    // mmm after an hour is still the month name.
    EXPECT_EQ(F(u"hh mmm", Morning()), u"03 Nov");
}

TEST(FormatDateTimeTest, AmPmSpecifiers) {
    EXPECT_EQ(F(u"h am/pm", Sample()), u"2 pm");
    EXPECT_EQ(F(u"h AM/PM", Morning()), u"3 AM");
    EXPECT_EQ(F(u"h Am/Pm", Sample()), u"2 Pm");
    EXPECT_EQ(F(u"hh a/p", Sample()), u"02 p");
    EXPECT_EQ(F(u"hh A/P", Morning()), u"03 A");
    EXPECT_EQ(F(u"h ampm", Sample()), u"2 PM");
    EXPECT_EQ(F(u"h:nn ampm", EncodeTime(0, 30, 0, 0)), u"12:30 AM");
    EXPECT_EQ(F(u"h:nn ampm", EncodeTime(12, 0, 0, 0)), u"12:00 PM");
    // Without a specifier the clock is 24-hour; a specifier anywhere switches it.
    EXPECT_EQ(F(u"h", Sample()), u"14");
    EXPECT_EQ(F(u"ampm h", Sample()), u"PM 2");
    TFormatSettings s;
    s.TimeAMString = u"vorm.";
    s.TimePMString = u"nachm.";
    EXPECT_EQ(F(u"h ampm", Sample(), s), u"2 nachm.");
}

TEST(FormatDateTimeTest, CompositeLetters) {
    EXPECT_EQ(F(u"c", Sample()), u"3/5/2024 2:07:09 PM");
    EXPECT_EQ(F(u"c", EncodeDate(2024, 3, 5)), u"3/5/2024");
    EXPECT_EQ(F(u"t", Sample()), u"2:07 PM");
    EXPECT_EQ(F(u"tt", Sample()), u"2:07:09 PM");
    EXPECT_EQ(F(u"ddddd t", Morning()), u"11/26/2005 3:04 AM");
}

TEST(FormatDateTimeTest, SeparatorsAndLiterals) {
    TFormatSettings s;
    s.DateSeparator = u'-';
    s.TimeSeparator = u'.';
    EXPECT_EQ(F(u"yyyy/mm/dd hh:nn", Sample(), s), u"2024-03-05 14.07");
    EXPECT_EQ(F(u"'at' hh \"o'clock\"", Sample()), u"at 14 o'clock");
    EXPECT_EQ(F(u"'d/m'", Sample()), u"d/m");
    EXPECT_EQ(F(u"'unclosed d", Sample()), u"unclosed d");
    EXPECT_EQ(F(u"[d] - x!", Sample()), u"[5] - x!");
    EXPECT_EQ(F(u"", Sample()), u"");
}

TEST(FormatDateTimeTest, SelfReferentialLocaleFormatsTerminate) {
    TFormatSettings s;
    s.ShortDateFormat = u"ddddd c";
    s.LongTimeFormat = u"tt";
    // Nesting is cut off; the call returns instead of recursing without end.
    const UString r = F(u"c", Sample(), s);
    EXPECT_LT(r.length(), 200);
}

TEST(FormatDateTimeTest, ModifiedNames) {
    TFormatSettings s;
    s.LongDayNames = {u"Sonntag", u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag"};
    s.ShortMonthNames[2] = u"Mrz";
    EXPECT_EQ(F(u"dddd, d. mmm", Sample(), s), u"Dienstag, 5. Mrz");
}
