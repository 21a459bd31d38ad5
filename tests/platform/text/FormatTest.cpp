#include "platform/text/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/core/Exception.h"

using namespace xan::plat;

namespace {

TFormatSettings Euro() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    s.CurrencyString = u"€";
    s.CurrencyFormat = 3;   // "1 €"
    s.NegCurrFormat = 8;    // "-1 €"
    s.CurrencyDecimals = 2;
    return s;
}

template <class F>
bool RaisesFormatError(F&& f, const std::u16string& fmt) {
    try {
        f();
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        EXPECT_TRUE(e->InheritsFrom(EConvertError::StaticClass()));
        EXPECT_EQ(e->Message(), UString(u"Format '" + fmt + u"' invalid or incompatible with argument"));
        return true;
    }
    return false;
}

// A stand-in for a variant: a string that converts itself to whatever the specifier wants.
FormatArg ResolveText(const void* value, FormatArgClass wanted) {
    const auto& text = *static_cast<const std::u16string*>(value);
    switch (wanted) {
        case FormatArgClass::Integer: return std::stoi(std::string(text.begin(), text.end()));
        case FormatArgClass::Float: return std::stod(std::string(text.begin(), text.end()));
        default: return FormatArg(std::u16string_view(text));
    }
}

}  // namespace

TEST(FormatTest, SystemTexts) {
    EXPECT_EQ(Format(u"Undeclared identifier: '%s'", u"Foo"), u"Undeclared identifier: 'Foo'");
    EXPECT_EQ(Format(u"OLE error %.8x", static_cast<Integer>(0x80020009)), u"OLE error 80020009");
    EXPECT_EQ(Format(u"OLE error %.8x", 0x1F), u"OLE error 0000001F");
    EXPECT_EQ(Format(u"%s\r\nSource: $%x [line: %d, pos: %d]", u"Boom", 0xBEEF, 12, 3),
              u"Boom\r\nSource: $BEEF [line: 12, pos: 3]");
    EXPECT_EQ(Format(u"Illegal character: '%s' ($%x)", u"\u00A7", 0xA7), u"Illegal character: '\u00A7' ($A7)");
    EXPECT_EQ(Format(u"[%d]", 0), u"[0]");
    EXPECT_EQ(Format(u"'%s%s'", u'x', std::u16string_view(u"yz")), u"'xyz'");
    EXPECT_EQ(Format(u"100%% sure"), u"100% sure");
    EXPECT_TRUE(RaisesFormatError([] { Format(u"no args %d"); }, u"no args %d"));
}

TEST(FormatTest, Integers) {
    EXPECT_EQ(Format(u"%d", std::numeric_limits<Int64>::min()), u"-9223372036854775808");
    EXPECT_EQ(Format(u"%d", std::numeric_limits<UInt64>::max()), u"18446744073709551615");
    EXPECT_EQ(Format(u"%.5d|%.2d", -42, 12345), u"-00042|12345");
    EXPECT_EQ(Format(u"%u", -1), u"4294967295");
    EXPECT_EQ(Format(u"%u", Int64(-1)), u"18446744073709551615");
    EXPECT_EQ(Format(u"%x", -1), u"FFFFFFFF");
    EXPECT_EQ(Format(u"%x", Int64(-2)), u"FFFFFFFFFFFFFFFE");
    EXPECT_EQ(Format(u"%X", 255u), u"FF");
    EXPECT_EQ(Format(u"%x", 0), u"0");
    EXPECT_EQ(Format(u"%D", static_cast<short>(-7)), u"-7");
}

TEST(FormatTest, WidthAlignmentIndexAndStar) {
    EXPECT_EQ(Format(u"[%5d]", 42), u"[   42]");
    EXPECT_EQ(Format(u"[%-5d]", 42), u"[42   ]");
    EXPECT_EQ(Format(u"[%2d]", 12345), u"[12345]");
    EXPECT_EQ(Format(u"[%*d]", 4, 7), u"[   7]");
    EXPECT_EQ(Format(u"[%*d]", -4, 7), u"[7   ]");
    EXPECT_EQ(Format(u"[%-*.*f]", 8, 1, 2.25), u"[2.3     ]");
    EXPECT_EQ(Format(u"[%.*d]", -3, 7), u"[7]");
    EXPECT_EQ(Format(u"%1:s %0:s %s", u"a", u"b"), u"b a b");
    EXPECT_EQ(Format(u"%1:-4s|%0:3d", 5, u"x"), u"x   |  5");
    EXPECT_EQ(Format(u"%s-%0:s-%s", u"a", u"b"), u"a-a-b");
    EXPECT_EQ(Format(u"[%.2s]", u"abcdef"), u"[ab]");
    EXPECT_EQ(Format(u"[%6.2s]", u"abcdef"), u"[    ab]");
    const std::vector<FormatArg> args{1, u"two", 3.5};
    EXPECT_EQ(Format(u"%d %s %g", args), u"1 two 3.5");
}

TEST(FormatTest, Floats) {
    EXPECT_EQ(Format(u"%f", 1.005), u"1.01");  // half away from zero on the decimal form
    EXPECT_EQ(Format(u"%.0f|%.0f|%.0f", 0.5, 1.5, -2.5), u"1|2|-3");
    EXPECT_EQ(Format(u"%.2f", -0.001), u"0.00");  // no "-0.00"
    EXPECT_EQ(Format(u"%.3f", -0.0), u"0.000");
    EXPECT_EQ(Format(u"%.20f", 0.1), u"0.10000000000000000000");
    EXPECT_EQ(Format(u"%e", 12345.678), u"1.23456780000000E+004");
    EXPECT_EQ(Format(u"%.3e", -0.00012345), u"-1.23E-004");
    EXPECT_EQ(Format(u"%.2e", 1e300), u"1.0E+300");
    EXPECT_EQ(Format(u"%.1e", 0.0), u"0E+000");
    EXPECT_EQ(Format(u"%g|%g|%g", 0.1, 1e20, 1e-7), u"0.1|1E20|1E-7");
    EXPECT_EQ(Format(u"%.3g", 3.14159), u"3.14");
    EXPECT_EQ(Format(u"%n", 1234567.891), u"1,234,567.89");
    EXPECT_EQ(Format(u"%.0n", -999.5), u"-1,000");
    EXPECT_EQ(Format(u"%f|%e|%g", std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()),
              u"NAN|INF|-INF");
    EXPECT_EQ(Format(u"[%6f]", std::nan("")), u"[   NAN]");
    EXPECT_EQ(Format(u"%f", FormatArg::Currency(12345)), u"1.23");
    EXPECT_EQ(Format(u"%.4f", FormatArg::Currency(std::numeric_limits<Int64>::min())), u"-922337203685477.5808");
}

TEST(FormatTest, CurrencyAndLocale) {
    EXPECT_EQ(Format(u"%m", 1234.5), u"$1,234.50");
    EXPECT_EQ(Format(u"%m", -1234.5), u"($1,234.50)");
    EXPECT_EQ(Format(u"%.0m", FormatArg::Currency(-15000)), u"($2)");
    const TFormatSettings e = Euro();
    const FormatArg pos[] = {1234.5};
    const FormatArg neg[] = {-1234.5};
    EXPECT_EQ(Format(u"%m", pos, e), u"1.234,50 €");
    EXPECT_EQ(Format(u"%m", neg, e), u"-1.234,50 €");
    const FormatArg mixed[] = {2.5, 1234567.0};
    EXPECT_EQ(Format(u"%f %n", mixed, e), u"2,50 1.234.567,00");
    TFormatSettings odd;
    odd.CurrencyFormat = 200;  // unknown codes fall back to the first layout
    odd.NegCurrFormat = 99;
    const FormatArg one[] = {1.0};
    const FormatArg minusOne[] = {-1.0};
    EXPECT_EQ(Format(u"%m", one, odd), u"$1.00");
    EXPECT_EQ(Format(u"%m", minusOne, odd), u"($1.00)");
    for (std::uint8_t code = 0; code < 16; ++code) {
        odd.NegCurrFormat = code;
        const UString t = Format(u"%m", minusOne, odd);
        EXPECT_NE(t.Find(u"1.00"), -1);
        EXPECT_NE(t.Find(u"$"), -1);
    }
}

TEST(FormatTest, PointersAndDynamicArguments) {
    EXPECT_EQ(Format(u"%p", reinterpret_cast<const void*>(0xABC)), u"0000000000000ABC");
    const std::u16string n = u"42", f = u"2.5";
    EXPECT_EQ(Format(u"%d %x %s", FormatArg::Dynamic(&n, ResolveText), FormatArg::Dynamic(&n, ResolveText),
                     FormatArg::Dynamic(&n, ResolveText)),
              u"42 2A 42");
    EXPECT_EQ(Format(u"%.1f", FormatArg::Dynamic(&f, ResolveText)), u"2.5");
    // The resolver's own error reaches the caller unchanged.
    const auto refuse = [](const void*, FormatArgClass) -> FormatArg { Throw<EVariantTypeCastError>(u"Invalid variant type conversion"); };
    try {
        Format(u"%d", FormatArg::Dynamic(nullptr, refuse));
        ADD_FAILURE() << "no exception";
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        EXPECT_TRUE(e->InheritsFrom(EVariantTypeCastError::StaticClass()));
    }
    // A resolver that answers another late value is a broken contract, not a loop.
    const auto again = [](const void* v, FormatArgClass) { return FormatArg::Dynamic(v, nullptr); };
    EXPECT_TRUE(RaisesFormatError([&] { Format(u"%d", FormatArg::Dynamic(nullptr, again)); }, u"%d"));
}

TEST(FormatTest, ArgumentWidthFollowsTheCppType) {
    EXPECT_EQ(Format(u"%x", static_cast<signed char>(-1)), u"FFFFFFFF");
    EXPECT_EQ(Format(u"%x", -1LL), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format(u"%u", 4000000000u), u"4000000000");
    EXPECT_EQ(Format(u"%d", 4000000000u), u"4000000000");
    EXPECT_EQ(Format(u"%x", static_cast<UInt64>(1) << 63), u"8000000000000000");
    EXPECT_EQ(Format(u"%*d", static_cast<UInt64>(3), 1), u"  1");
    EXPECT_TRUE(RaisesFormatError([] { Format(u"%*d", ~UInt64(0), 1); }, u"%*d"));
}

TEST(FormatTest, MalformedAndMismatched) {
    struct Case {
        std::u16string fmt;
        std::vector<FormatArg> args;
    };
    const std::vector<Case> cases = {
        {u"%", {1}},          {u"abc %", {1}},     {u"%5", {1}},         {u"%q", {1}},
        {u"%d", {}},          {u"%d %d", {1}},     {u"%d", {1.5}},       {u"%d", {u"1"}},
        {u"%s", {1}},         {u"%f", {1}},        {u"%x", {2.0}},       {u"%p", {1}},
        {u"%3:d", {1, 2}},    {u"%*d", {u"x", 1}}, {u"%.*f", {2.0, 1.0}}, {u"%-", {1}},
        {u"%.", {1}},         {u"%99999999d", {1}}, {u"%m", {u"1"}},     {u"%1:", {1, 2}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(RaisesFormatError([&] { Format(c.fmt, c.args); }, c.fmt)) << UString(c.fmt).ToUtf8();
}
