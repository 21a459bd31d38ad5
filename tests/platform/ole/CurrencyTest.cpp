// Currency helpers and the text forms behind the string conversions.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/ole/Currency.h"
#include "platform/ole/VarText.h"

namespace xan::plat {
namespace {

TEST(Currency, FromDoubleRoundsHalfToEvenAndChecksTheRange) {
    Currency c;
    ASSERT_TRUE(TryDoubleToCurrency(2.5, c));
    EXPECT_EQ(c.scaled, 25000);
    ASSERT_TRUE(TryDoubleToCurrency(-0.00015, c));
    EXPECT_EQ(c.scaled, -2);
    ASSERT_TRUE(TryDoubleToCurrency(922337203685477.0, c));
    EXPECT_EQ(c.scaled, 9223372036854770000);
    EXPECT_FALSE(TryDoubleToCurrency(922337203685478.0, c));
    EXPECT_FALSE(TryDoubleToCurrency(-1e300, c));
    EXPECT_FALSE(TryDoubleToCurrency(std::nan(""), c));
    EXPECT_FALSE(TryDoubleToCurrency(INFINITY, c));
}

TEST(Currency, FromIntegerChecksTheRange) {
    Currency c;
    ASSERT_TRUE(TryIntToCurrency(-922337203685477, c));
    EXPECT_EQ(c.scaled, -9223372036854770000);
    EXPECT_FALSE(TryIntToCurrency(922337203685478, c));
    EXPECT_FALSE(TryIntToCurrency(INT64_MIN, c));
}

TEST(Currency, RoundToWholeNumbersHalfToEven) {
    EXPECT_EQ(CurrencyRoundToInt(Currency{25000}), 2);
    EXPECT_EQ(CurrencyRoundToInt(Currency{35000}), 4);
    EXPECT_EQ(CurrencyRoundToInt(Currency{25001}), 3);
    EXPECT_EQ(CurrencyRoundToInt(Currency{-25000}), -2);
    EXPECT_EQ(CurrencyRoundToInt(Currency{-35000}), -4);
    EXPECT_EQ(CurrencyRoundToInt(Currency{-24999}), -2);
    EXPECT_EQ(CurrencyRoundToInt(MaxCurrency), 922337203685478);
    EXPECT_EQ(CurrencyRoundToInt(MinCurrency), -922337203685478);
    EXPECT_EQ(Currency{12345}.ToDouble(), 1.2345);
    EXPECT_LT(Currency{1}, Currency{2});
}

TEST(VarText, BooleanWords) {
    bool b = false;
    EXPECT_TRUE(TryTextToBool(u"TRUE", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(TryTextToBool(u"\tfalse\n", b));
    EXPECT_FALSE(b);
    EXPECT_FALSE(TryTextToBool(u"1", b));
    EXPECT_FALSE(TryTextToBool(u"Truth", b));
    EXPECT_FALSE(TryTextToBool(u"", b));
}

TEST(VarText, CurrencyTextIsExact) {
    const TFormatSettings fs;
    Currency c;
    EXPECT_EQ(TryTextToCurrency(u" -12.3456 ", c, fs), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, -123456);
    EXPECT_EQ(TryTextToCurrency(u"+.5", c, fs), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, 5000);
    EXPECT_EQ(TryTextToCurrency(u"7.", c, fs), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, 70000);
    EXPECT_EQ(TryTextToCurrency(u"0.000250000001", c, fs), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, 3);
    EXPECT_EQ(TryTextToCurrency(u"0.00025", c, fs), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, 2);
    EXPECT_EQ(TryTextToCurrency(u"99999999999999999999999", c, fs), TextNumResult::Overflow);
    EXPECT_EQ(TryTextToCurrency(u"1e5", c, fs), TextNumResult::NotANumber);
    EXPECT_EQ(TryTextToCurrency(u".", c, fs), TextNumResult::NotANumber);
    EXPECT_EQ(TryTextToCurrency(u"1.2.3", c, fs), TextNumResult::NotANumber);
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(TryTextToCurrency(u"1,5", c, comma), TextNumResult::Ok);
    EXPECT_EQ(c.scaled, 15000);
}

TEST(VarText, SingleTextIsTheShortestThatReadsBack) {
    const TFormatSettings fs;
    EXPECT_EQ(SingleToStr(0.1f, fs), u"0.1");
    EXPECT_EQ(SingleToStr(16777216.0f, fs), u"16777216");
    EXPECT_EQ(SingleToStr(-1.5e-7f, fs), u"-1.5E-7");
    EXPECT_EQ(SingleToStr(INFINITY, fs), u"INF");
}

}  // namespace
}  // namespace xan::plat
