#include "platform/core/DateUtils.h"

#include <gtest/gtest.h>

#include "platform/core/Exception.h"

using namespace xan::plat;

TEST(DateUtils, KnownSerialNumbers) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), MinDateTime);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(DateUtils, InvalidDatesRaiseConversionError) {
    EXPECT_THROW(EncodeDate(2023, 2, 29), RaisedException);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeDate(1900, 2, 29), RaisedException);  // not a leap year
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_THROW(EncodeDate(0, 1, 1), RaisedException);
    EXPECT_THROW(EncodeDate(10000, 1, 1), RaisedException);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), RaisedException);
    try {
        EncodeDate(2023, 13, 1);
    } catch (const RaisedException& r) {
        EXPECT_TRUE(r.Object()->Is<EConvertError>());
    }
}

TEST(DateUtils, DecodeRoundTripsAndNegativeDatesKeepTimeOfDay) {
    const TDateTime dt = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 30, 250);
    const auto d = DecodeDate(dt);
    const auto t = DecodeTime(dt);
    EXPECT_EQ(d.year, 2024); EXPECT_EQ(d.month, 2); EXPECT_EQ(d.day, 29);
    EXPECT_EQ(t.hour, 13); EXPECT_EQ(t.minute, 45); EXPECT_EQ(t.second, 30); EXPECT_EQ(t.msec, 250);
    const auto nd = DecodeDate(-1.25);
    EXPECT_EQ(nd.day, 29);
    EXPECT_EQ(DecodeTime(-1.25).hour, 6);
    EXPECT_THROW(DecodeDate(1e10), RaisedException);
}

TEST(DateUtils, DayOfWeekAndMonthArithmetic) {
    EXPECT_EQ(DayOfWeek(0), 7);                          // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 9)), 4);    // Wednesday
    EXPECT_EQ(DayOfWeek(-1), 6);
    EXPECT_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IncMonth(EncodeDate(2023, 1, 31), 1), EncodeDate(2023, 2, 28));
    EXPECT_EQ(IncMonth(EncodeDate(2024, 3, 15), -15), EncodeDate(2022, 12, 15));
    const TDateTime withTime = EncodeDate(2024, 5, 31) + 0.5;
    EXPECT_EQ(IncMonth(withTime, 1), EncodeDate(2024, 6, 30) + 0.5);
    EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), RaisedException);
}
