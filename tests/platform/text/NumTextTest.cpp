#include "platform/text/NumText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/Exception.h"

using namespace xan::plat;

namespace {

TFormatSettings CommaSettings() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    return s;
}

// The message of the EConvertError `f` raises; fails the test when it raises nothing else.
template <class F>
std::string ConvertErrorOf(F&& f) {
    try {
        f();
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        EXPECT_TRUE(e->InheritsFrom(EConvertError::StaticClass()));
        return e->Message().ToUtf8();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

}  // namespace

TEST(IntText, DecimalAndHex) {
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToStr(-42), u"-42");
    EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), u"-9223372036854775808");
    EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::max()), u"9223372036854775807");
    EXPECT_EQ(UIntToStr(~UInt64(0)), u"18446744073709551615");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(0xABCDEF, 2), u"ABCDEF");
    EXPECT_EQ(IntToHex(0, 0), u"0");
    EXPECT_EQ(IntToHex(1, -5), u"1");
    EXPECT_EQ(IntToHex(static_cast<UInt64>(Int64(-1)), 1), u"FFFFFFFFFFFFFFFF");
}

TEST(FloatText, GeneralFormat) {
    EXPECT_EQ(FloatToStr(0.0), u"0");
    EXPECT_EQ(FloatToStr(-0.0), u"0");
    EXPECT_EQ(FloatToStr(1.5), u"1.5");
    EXPECT_EQ(FloatToStr(-2.25), u"-2.25");
    EXPECT_EQ(FloatToStr(0.1), u"0.1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), u"0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3.0), u"0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3.0), u"0.666666666666667");
    EXPECT_EQ(FloatToStr(100), u"100");
    EXPECT_EQ(FloatToStr(123456789012345.0), u"123456789012345");
    EXPECT_EQ(FloatToStr(1e15), u"1E15");
    EXPECT_EQ(FloatToStr(1.5e20), u"1.5E20");
    EXPECT_EQ(FloatToStr(-1.5e-20), u"-1.5E-20");
    EXPECT_EQ(FloatToStr(0.0001), u"0.0001");
    EXPECT_EQ(FloatToStr(0.00001), u"1E-5");
    EXPECT_EQ(FloatToStr(1.7976931348623157e308), u"1.79769313486232E308");
    EXPECT_EQ(FloatToStr(5e-324), u"4.94065645841247E-324");
    // Rounding to 15 digits can carry into a new leading digit.
    EXPECT_EQ(FloatToStr(999999999999999.9), u"1E15");
    EXPECT_EQ(FloatToStr(0.99999999999999999), u"1");
}

TEST(FloatText, SpecialValuesAndLocale) {
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), u"NAN");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), u"INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), u"-INF");
    EXPECT_EQ(FloatToStr(1234.5, CommaSettings()), u"1234,5");
    EXPECT_EQ(FloatToStr(2.5e-7, CommaSettings()), u"2,5E-7");
}

TEST(CurrText, ScaledValues) {
    EXPECT_EQ(CurrToStr(0), u"0");
    EXPECT_EQ(CurrToStr(12345), u"1.2345");
    EXPECT_EQ(CurrToStr(15000), u"1.5");
    EXPECT_EQ(CurrToStr(-10000), u"-1");
    EXPECT_EQ(CurrToStr(1), u"0.0001");
    EXPECT_EQ(CurrToStr(std::numeric_limits<Int64>::min()), u"-922337203685477.5808");
    EXPECT_EQ(CurrToStr(std::numeric_limits<Int64>::max()), u"922337203685477.5807");
    EXPECT_EQ(CurrToStr(25000, CommaSettings()), u"2,5");
}

TEST(StrToIntTest, AcceptedSpellings) {
    EXPECT_EQ(StrToInt(u"0"), 0);
    EXPECT_EQ(StrToInt(u"  +17 "), 17);
    EXPECT_EQ(StrToInt(u"\t-17\n"), -17);
    EXPECT_EQ(StrToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(StrToInt(u"-2147483648"), std::numeric_limits<Integer>::min());
    EXPECT_EQ(StrToInt(u"$ff"), 255);
    EXPECT_EQ(StrToInt(u"0x7FFFFFFF"), 2147483647);
    EXPECT_EQ(StrToInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt(u"$80000000"), std::numeric_limits<Integer>::min());
    EXPECT_EQ(StrToInt(u"-$10"), -16);
    EXPECT_EQ(StrToInt(u"007"), 7);
}

TEST(StrToIntTest, Rejections) {
    for (const char16_t* bad : {u"", u"   ", u"+", u"-", u"$", u"0x", u"12a", u"1 2", u"2147483648",
                                u"-2147483649", u"$100000000", u"1.0", u"--1", u"x10", u"$-1"}) {
        Integer v = 99;
        EXPECT_FALSE(TryStrToInt(bad, v)) << UString(bad).ToUtf8();
        EXPECT_EQ(v, 99);
        EXPECT_EQ(StrToIntDef(bad, -5), -5);
    }
    EXPECT_EQ(ConvertErrorOf([] { StrToInt(u"abc"); }), "'abc' is not a valid integer value");
    EXPECT_EQ(ConvertErrorOf([] { StrToInt64(u"9223372036854775808"); }),
              "'9223372036854775808' is not a valid integer value");
}

TEST(StrToIntTest, SixtyFourBit) {
    EXPECT_EQ(StrToInt64(u"9223372036854775807"), std::numeric_limits<Int64>::max());
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), std::numeric_limits<Int64>::min());
    EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64(u"4294967296"), 4294967296LL);
    Int64 v = 0;
    EXPECT_FALSE(TryStrToInt64(u"$1FFFFFFFFFFFFFFFF", v));
    EXPECT_EQ(StrToInt64Def(u"nope", 3), 3);
}

TEST(StrToFloatTest, Accepted) {
    EXPECT_EQ(StrToFloat(u"1.5"), 1.5);
    EXPECT_EQ(StrToFloat(u" -0.25 "), -0.25);
    EXPECT_EQ(StrToFloat(u"+3"), 3.0);
    EXPECT_EQ(StrToFloat(u".5"), 0.5);
    EXPECT_EQ(StrToFloat(u"5."), 5.0);
    EXPECT_EQ(StrToFloat(u"1e3"), 1000.0);
    EXPECT_EQ(StrToFloat(u"1.5E-3"), 0.0015);
    EXPECT_EQ(StrToFloat(u"2E+2"), 200.0);
    EXPECT_EQ(StrToFloat(u"1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(StrToFloat(u"-1e-400")));
    EXPECT_EQ(StrToFloat(u"0.000e999999"), 0.0);
    EXPECT_EQ(StrToFloat(u"1,5", CommaSettings()), 1.5);
    EXPECT_EQ(StrToFloat(u"0.1"), 0.1);
    EXPECT_EQ(StrToFloat(u"1.7976931348623157e308"), 1.7976931348623157e308);
}

TEST(StrToFloatTest, Rejected) {
    for (const char16_t* bad : {u"", u".", u"-", u"e5", u"1e", u"1e+", u"1.2.3", u"1,5", u"1 000", u"0x10",
                                u"$10", u"NAN", u"INF", u"1e400", u"-1e400", u"1.5x"}) {
        double v = 7;
        EXPECT_FALSE(TryStrToFloat(bad, v)) << UString(bad).ToUtf8();
        EXPECT_EQ(v, 7);
    }
    double v = 0;
    EXPECT_FALSE(TryStrToFloat(u"1.5", v, CommaSettings()));
    EXPECT_EQ(ConvertErrorOf([] { StrToFloat(u"x"); }), "'x' is not a valid floating point value");
    EXPECT_EQ(StrToFloatDef(u"x", 2.5), 2.5);
}

TEST(StrToFloatTest, RoundTripsFloatToStr) {
    for (double d : {0.5, -123.456, 1e-10, 6.02214076e23, 98765.4321, 3.0}) {
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(d)), d);
        EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(d, CommaSettings()), CommaSettings()), d);
    }
}

TEST(StrProcedureText, WidthsAndDecimals) {
    EXPECT_EQ(StrInt(42), u"42");
    EXPECT_EQ(StrInt(-42, 6), u"   -42");
    EXPECT_EQ(StrInt(123456, 3), u"123456");
    EXPECT_EQ(StrFloat(1.5), u" 1.50000000000000E+0000");
    EXPECT_EQ(StrFloat(-1234.5), u"-1.23450000000000E+0003");
    EXPECT_EQ(StrFloat(0.0), u" 0.00000000000000E+0000");
    EXPECT_EQ(StrFloat(1.5e-300), u" 1.50000000000000E-0300");
    EXPECT_EQ(StrFloat(1.5, 12), u" 1.500E+0000");
    EXPECT_EQ(StrFloat(-2.25, 3), u"-2.3E+0000");  // two digits at least
    EXPECT_EQ(StrFloat(3.14159, 8, 2), u"    3.14");
    EXPECT_EQ(StrFloat(-0.004, -1, 2), u"0.00");
    EXPECT_EQ(StrFloat(2.5, 0, 0), u"3");
    // The decimal point does not follow the locale.
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    SetFormatSettings(comma);
    EXPECT_EQ(StrFloat(0.5, -1, 1), u"0.5");
    SetFormatSettings(TFormatSettings::Invariant());
    EXPECT_EQ(StrFloat(std::numeric_limits<double>::infinity(), 5), u"  INF");
}
