// The clock, calendar arithmetic, encoding, decoding and date text.
#include <gtest/gtest.h>

#include <cmath>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsDates.h"
#include "platform/core/DateUtils.h"

namespace xan::pas::test {
namespace {

double DateOf(const Variant& v) {
    EXPECT_EQ(v.VType, plat::varDate);
    return v.VDate;
}

Variant DateValue(int y, int m, int d) { return Variant::FromDate(plat::EncodeDate(y, m, d)); }

TEST(PasDateBuiltins, ClockValuesAreDatesWithTheRightParts) {
    const double before = plat::Now();
    const double now = DateOf(Call<TNow>({}));
    const double after = plat::Now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);
    const double today = DateOf(Value<TDate>());
    EXPECT_EQ(today, std::floor(today));
    EXPECT_LE(std::fabs(today - std::floor(now)), 1.0);
    const double time = DateOf(Call<TTime>({}));
    EXPECT_GE(time, 0.0);
    EXPECT_LT(time, 1.0);
}

TEST(PasDateBuiltins, NowWorksWithAndWithoutBrackets) {
    TNow now;
    std::vector<Variant> none;
    EXPECT_EQ(RunCall(now, none, bkNon).VType, plat::varDate);
    EXPECT_EQ(RunCall(now, none, bkRound).VType, plat::varDate);
    EXPECT_TRUE(RaisesRuntime([] { Call<TNow>({Variant(1)}); }, retInvalidParamCount));
}

TEST(PasDateBuiltins, DateIsAConstantAndRefusesBrackets) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TDate>({}); }, retTypeMismatch));
}

TEST(PasDateBuiltins, DayOfWeekCountsFromSunday) {
    const Variant r = Call<TDayOfWeek>({DateValue(2024, 1, 7)});  // a Sunday
    EXPECT_EQ(r.VType, plat::varInteger);
    EXPECT_EQ(r.VInteger, 1);
    EXPECT_EQ(Call<TDayOfWeek>({DateValue(2024, 1, 13)}).VInteger, 7);
    EXPECT_EQ(Call<TDayOfWeek>({Variant(0)}).VInteger, 7);  // 1899-12-30 was a Saturday
}

TEST(PasDateBuiltins, IsLeapYearFollowsTheGregorianRules) {
    EXPECT_TRUE(Call<TIsLeapYear>({Variant(2000)}).AsBool());
    EXPECT_TRUE(Call<TIsLeapYear>({Variant(2024)}).AsBool());
    EXPECT_FALSE(Call<TIsLeapYear>({Variant(1900)}).AsBool());
    EXPECT_FALSE(Call<TIsLeapYear>({Variant(u"2023")}).AsBool());
}

TEST(PasDateBuiltins, IncMonthMovesByOneOrNMonthsClampingTheDay) {
    EXPECT_EQ(DateOf(Call<TIncMonth>({DateValue(2024, 1, 31)})), plat::EncodeDate(2024, 2, 29));
    EXPECT_EQ(DateOf(Call<TIncMonth>({DateValue(2024, 1, 31), Variant(-2)})), plat::EncodeDate(2023, 11, 30));
    const double withTime = plat::EncodeDate(2024, 5, 15) + 0.5;
    EXPECT_EQ(DateOf(Call<TIncMonth>({Variant(withTime), Variant(12)})), plat::EncodeDate(2025, 5, 15) + 0.5);
}

TEST(PasDateBuiltins, IncMonthRefusesOtherCounts) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TIncMonth>({}); }, retInvalidParamCount));
    EXPECT_TRUE(RaisesRuntime([] { Call<TIncMonth>({Variant(0), Variant(1), Variant(1)}); }, retInvalidParamCount));
}

TEST(PasDateBuiltins, EncodeDateAndTimeMakeDates) {
    EXPECT_EQ(DateOf(Call<TEncodeDate>({Variant(1899), Variant(12), Variant(31)})), 1.0);
    EXPECT_EQ(DateOf(Call<TEncodeDate>({Variant(u"2024"), Variant(2), Variant(29)})), plat::EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(DateOf(Call<TEncodeTime>({Variant(12), Variant(0), Variant(0), Variant(0)})), 0.5);
    EXPECT_DOUBLE_EQ(DateOf(Call<TEncodeTime>({Variant(6), Variant(30), Variant(0), Variant(0)})), 6.5 / 24.0);
}

TEST(PasDateBuiltins, InvalidDatesAndTimesAreThePlatformConvertError) {
    const auto badDate = RaisedBy([] { Call<TEncodeDate>({Variant(2023), Variant(2), Variant(29)}); });
    ASSERT_TRUE(badDate);
    EXPECT_TRUE(badDate->Is<plat::EConvertError>());
    const auto badTime = RaisedBy([] { Call<TEncodeTime>({Variant(24), Variant(0), Variant(0), Variant(0)}); });
    ASSERT_TRUE(badTime);
    EXPECT_TRUE(badTime->Is<plat::EConvertError>());
}

TEST(PasDateBuiltins, DecodeDateWritesIntegersIntoVariables) {
    Variant y, m, d;
    std::vector<Variant> args{DateValue(2024, 3, 9), Variant::RefTo(&y), Variant::RefTo(&m), Variant::RefTo(&d)};
    Perform<TDecodeDate>(args);
    EXPECT_EQ(y.VType, plat::varInteger);
    EXPECT_EQ(y.VInteger, 2024);
    EXPECT_EQ(m.VInteger, 3);
    EXPECT_EQ(d.VInteger, 9);
}

TEST(PasDateBuiltins, DecodeDateDropsOutputsThatAreNoVariables) {
    Variant d(u"old");
    std::vector<Variant> args{DateValue(2024, 3, 9), Variant(0), Variant(0), Variant::RefTo(&d)};
    Perform<TDecodeDate>(args);
    EXPECT_EQ(args[1].VInteger, 0);
    EXPECT_EQ(d.VInteger, 9);
}

TEST(PasDateBuiltins, DecodeTimeWritesTheFourParts) {
    Variant h, n, s, ms;
    const double t = plat::EncodeTime(13, 45, 30, 250);
    std::vector<Variant> args{Variant(t), Variant::RefTo(&h), Variant::RefTo(&n), Variant::RefTo(&s),
                              Variant::RefTo(&ms)};
    Perform<TDecodeTime>(args);
    EXPECT_EQ(h.VInteger, 13);
    EXPECT_EQ(n.VInteger, 45);
    EXPECT_EQ(s.VInteger, 30);
    EXPECT_EQ(ms.VInteger, 250);
    EXPECT_EQ(ms.VType, plat::varInteger);
}

TEST(PasDateBuiltins, DecodeProceduresRefuseWrongCountsAndUseOfTheirResult) {
    Variant y;
    EXPECT_TRUE(RaisesRuntime([&] { Call<TDecodeDate>({Variant(0), Variant::RefTo(&y), Variant(), Variant()}); },
                              retTypeMismatch));
    std::vector<Variant> three{Variant(0), Variant::RefTo(&y), Variant()};
    EXPECT_TRUE(RaisesRuntime([&] { Perform<TDecodeDate>(three); }, retInvalidParamCount));
    EXPECT_TRUE(y.IsEmpty());
}

TEST(PasDateBuiltins, DateTextUsesTheLocaleFormats) {
    const double dt = plat::EncodeDate(2024, 3, 9) + plat::EncodeTime(14, 5, 6, 0);
    EXPECT_EQ(Text(Call<TDateToStr>({Variant(dt)})), u"3/9/2024");
    EXPECT_EQ(Text(Call<TTimeToStr>({Variant(dt)})), u"2:05:06 PM");
    EXPECT_EQ(Text(Call<TDateTimeToStr>({Variant(dt)})), u"3/9/2024 2:05:06 PM");
    EXPECT_EQ(Text(Call<TDateTimeToStr>({DateValue(2024, 3, 9)})), u"3/9/2024");
}

TEST(PasDateBuiltins, TextParsesBackToDates) {
    EXPECT_EQ(DateOf(Call<TStrToDate>({Variant(u"3/9/2024")})), plat::EncodeDate(2024, 3, 9));
    EXPECT_DOUBLE_EQ(DateOf(Call<TStrToTime>({Variant(u"18:00")})), 0.75);
    EXPECT_DOUBLE_EQ(DateOf(Call<TStrToDateTime>({Variant(u"3/9/2024 6:00 AM")})), plat::EncodeDate(2024, 3, 9) + 0.25);
}

TEST(PasDateBuiltins, BadDateTextIsTheConvertError) {
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToDate>({Variant(u"31/31/2024")}); },
                                            u"'31/31/2024' is not a valid date"));
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToTime>({Variant(u"noon")}); },
                                            u"'noon' is not a valid time"));
    EXPECT_TRUE(Raises<plat::EConvertError>([] { Call<TStrToDateTime>({Variant(u"x")}); },
                                            u"'x' is not a valid date and time"));
}

TEST(PasDateBuiltins, FormatDateTimeRendersAPicture) {
    const double dt = plat::EncodeDate(2024, 3, 9) + plat::EncodeTime(14, 5, 6, 0);
    EXPECT_EQ(Text(Call<TFormatDateTime>({Variant(u"yyyy-mm-dd hh:nn"), Variant(dt)})), u"2024-03-09 14:05");
    EXPECT_EQ(Text(Call<TFormatDateTime>({Variant(u"dddd"), Variant(dt)})), u"Saturday");
}

TEST(PasDateBuiltins, DateArgumentsOfTheWrongKindAreTheConversionError) {
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TDateToStr>({Variant::Null()}); }, SInvalidCast));
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TDayOfWeek>({Variant(u"monday")}); }, SInvalidCast));
}

}  // namespace
}  // namespace xan::pas::test
