#include "lang/vb/VbDateLiteral.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/DateUtils.h"
#include "platform/core/UString.h"

namespace xan::vb {
namespace {

constexpr int ThisYear = 2031;  // what the tests pass as the current year

struct Result {
    bool ok;
    double value;
    int stoppedAt;  // offset from the character after the opening '#'
};

// `text` is what follows the opening '#'.
Result Scan(const std::u16string& text) {
    const char16_t* p = text.c_str();
    double value = -1;
    const bool ok = ScanVbDateLiteral(p, ThisYear, value);
    return {ok, value, static_cast<int>(p - text.c_str())};
}

double DateOf(int y, int m, int d) { return plat::EncodeDate(y, m, d); }
double At(int y, int m, int d, int h, int n, int s = 0) {
    return plat::EncodeDate(y, m, d) + plat::EncodeTime(h, n, s, 0);
}

void ExpectDate(const std::u16string& text, double expected) {
    const Result r = Scan(text);
    EXPECT_TRUE(r.ok) << plat::Utf16ToUtf8(text);
    EXPECT_DOUBLE_EQ(r.value, expected) << plat::Utf16ToUtf8(text);
    EXPECT_EQ(r.stoppedAt, static_cast<int>(text.size())) << plat::Utf16ToUtf8(text);
}

void ExpectError(const std::u16string& text, int stoppedAt) {
    const Result r = Scan(text);
    EXPECT_FALSE(r.ok) << plat::Utf16ToUtf8(text);
    EXPECT_EQ(r.stoppedAt, stoppedAt) << plat::Utf16ToUtf8(text);
}

TEST(VbDateLiteral, DateFirstWithThreeComponentsIsYearMonthDay) {
    ExpectDate(u"2016/12/15#", DateOf(2016, 12, 15));
    ExpectDate(u"16-12-15#", DateOf(2016, 12, 15));
    ExpectDate(u"2016,12,15#", DateOf(2016, 12, 15));
    ExpectDate(u"1/2/3#", DateOf(2001, 2, 3));
    ExpectDate(u" 2016 / 12 / 15 #", DateOf(2016, 12, 15));
    // The separators are optional between the components.
    ExpectDate(u"2016 12 15#", DateOf(2016, 12, 15));
    ExpectDate(u"2016/12 15#", DateOf(2016, 12, 15));
}

TEST(VbDateLiteral, TwoComponentsAreMonthAndDayOfTheCurrentYear) {
    ExpectDate(u"12/15#", DateOf(ThisYear, 12, 15));
    ExpectDate(u"12-15#", DateOf(ThisYear, 12, 15));
    // Whether 29 February exists depends on the year passed in.
    const std::u16string leapDay = u"2/29#";
    const char16_t* p = leapDay.c_str();
    double value = 0;
    EXPECT_TRUE(ScanVbDateLiteral(p, 2032, value));
    EXPECT_DOUBLE_EQ(value, DateOf(2032, 2, 29));
    p = leapDay.c_str();
    EXPECT_FALSE(ScanVbDateLiteral(p, 2031, value));
}

TEST(VbDateLiteral, TwoDigitYears) {
    ExpectDate(u"29/1/1#", DateOf(2029, 1, 1));
    ExpectDate(u"30/1/1#", DateOf(1930, 1, 1));
    ExpectDate(u"99/1/1#", DateOf(1999, 1, 1));
    ExpectDate(u"0/1/1#", DateOf(2000, 1, 1));
    ExpectDate(u"100/1/1#", DateOf(100, 1, 1));
    ExpectDate(u"1899/12/30#", 0.0);
}

TEST(VbDateLiteral, DateThenTime) {
    ExpectDate(u"2016/12/15 10:30#", At(2016, 12, 15, 10, 30));
    ExpectDate(u"2016/12/15 10:30:15#", At(2016, 12, 15, 10, 30, 15));
    ExpectDate(u"2016/12/15 10:30 PM#", At(2016, 12, 15, 22, 30));
    ExpectDate(u"2016/12/15 10.30pm#", At(2016, 12, 15, 22, 30));
    // A two-component date followed by a time: the number before ':' is the hour.
    ExpectDate(u"12/15 10:30#", At(ThisYear, 12, 15, 10, 30));
}

TEST(VbDateLiteral, TimeThenDate) {
    ExpectDate(u"22.30 2016/12/15#", At(2016, 12, 15, 22, 30));
    ExpectDate(u"10:30 PM 2016/12/15#", At(2016, 12, 15, 22, 30));
    ExpectDate(u"1:02:03 AM 2016-1-1#", At(2016, 1, 1, 1, 2, 3));
}

TEST(VbDateLiteral, TwelveOClockOnTheTwelveHourClock) {
    // 12 AM is midnight, 12 PM is noon.
    ExpectDate(u"12:00 AM 2016/1/1#", At(2016, 1, 1, 0, 0));
    ExpectDate(u"12:00 PM 2016/1/1#", At(2016, 1, 1, 12, 0));
    ExpectDate(u"12:30 am 2016/1/1#", At(2016, 1, 1, 0, 30));
    // Hours above 12 are left alone by both suffixes.
    ExpectDate(u"13:00 PM 2016/1/1#", At(2016, 1, 1, 13, 0));
    ExpectDate(u"13:00 AM 2016/1/1#", At(2016, 1, 1, 13, 0));
}

TEST(VbDateLiteral, DatesBeforeTheEpochKeepTheTimeOfDay) {
    const Result r = Scan(u"1899/12/29 06:00#");
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.value, -1.25);
}

TEST(VbDateLiteral, InvalidValuesStopAfterTheClosingHash) {
    ExpectError(u"2016/02/30#", 11);
    ExpectError(u"2015/02/29#", 11);
    ExpectError(u"2016/13/1#", 10);
    ExpectError(u"2016/12/0#", 10);
    ExpectError(u"10:30#", 6);  // no date part: month and day are 0
    ExpectError(u"2016/1/1 24:00#", 15);
    ExpectError(u"2016/1/1 23:60#", 15);
    ExpectError(u"2016/1/1 23:59:60#", 18);
    ExpectError(u"10000/1/1#", 10);
}

TEST(VbDateLiteral, MalformedLiteralsStopWhereTheScanDid) {
    ExpectError(u"#", 1);              // no number first
    ExpectError(u"/2016/1/1#", 1);
    ExpectError(u"2016#", 5);          // a date needs a second component
    ExpectError(u"2016/#", 6);
    ExpectError(u"2016/12/#", 9);      // a separator must be followed by the day
    ExpectError(u"2016/12/15", 10);    // the end of the text
    ExpectError(u"2016/12/15 10#", 14);   // a time needs minutes
    ExpectError(u"10:#", 4);
    ExpectError(u"10:30:#", 7);
    ExpectError(u"2016/12/15 x#", 11);  // stops on the foreign character
    ExpectError(u"2016/12/15 10:30 AX#", 18);  // stops on the letter after A
    ExpectError(u"2016/12/15 10:30 PM PM#", 22);  // the next item must be '#'
    ExpectError(u"2016/12/15 2016/12/15#", 16);   // two date parts
    ExpectError(u"10:30 11:30#", 9);              // two time parts
    ExpectError(u"99999999999/1/1#", 11);         // a number that does not convert
    ExpectError(u"2016/12/15\n#", 10);            // a line end is not a blank
}

TEST(VbDateLiteral, LongestLiteralHasTwelveItems) {
    ExpectDate(u" 2016 / 12 / 15  10 : 30 : 15  PM #", At(2016, 12, 15, 22, 30, 15));
    // A run of numbers is read as a date (1/2/3) and then fails at the time part's separator.
    ExpectError(u"1 2 3 4 5 6 7 8 9 10 11 12 13#", 9);
}

}  // namespace
}  // namespace xan::vb
