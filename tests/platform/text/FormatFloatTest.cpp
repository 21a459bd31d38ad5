#include "platform/text/FormatFloat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace xan::plat;

namespace {

UString FF(const char16_t* picture, double v) { return FormatFloat(picture, v, TFormatSettings::Invariant()); }

TFormatSettings Euro() {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ThousandSeparator = u'.';
    return s;
}

}  // namespace

TEST(FormatFloatTest, DigitPlaceholders) {
    EXPECT_EQ(FF(u"0", 1234.5), u"1235");
    EXPECT_EQ(FF(u"0.00", 1234.5), u"1234.50");
    EXPECT_EQ(FF(u"#.##", 1234.5), u"1234.5");
    EXPECT_EQ(FF(u"#.##", 0.5), u".5");
    EXPECT_EQ(FF(u"0.##", 0.5), u"0.5");
    EXPECT_EQ(FF(u"#", 0.0), u"");
    EXPECT_EQ(FF(u"0.##", 3.0), u"3");  // no separator without fraction digits
    EXPECT_EQ(FF(u"00000", 42), u"00042");
    EXPECT_EQ(FF(u"#0.0#", 7.1), u"7.1");
    EXPECT_EQ(FF(u"0.0#0", 7.1), u"7.100");  // a 0 after # still forces up to itself
    EXPECT_EQ(FF(u"0", -3.2), u"-3");
    EXPECT_EQ(FF(u"0.000", 1.0 / 3), u"0.333");
}

TEST(FormatFloatTest, RoundingOnTheDecimalForm) {
    EXPECT_EQ(FF(u"0.00", 1.005), u"1.01");
    EXPECT_EQ(FF(u"0.00", 2.675), u"2.68");
    EXPECT_EQ(FF(u"0", 0.5), u"1");
    EXPECT_EQ(FF(u"0", 2.5), u"3");
    EXPECT_EQ(FF(u"0", -2.5), u"-3");
    EXPECT_EQ(FF(u"0.0", 9.96), u"10.0");
    EXPECT_EQ(FF(u"0.0", -0.04), u"0.0");  // never "-0.0"
    EXPECT_EQ(FF(u"0", -0.0), u"0");
}

TEST(FormatFloatTest, Thousands) {
    EXPECT_EQ(FF(u"#,##0", 1234567), u"1,234,567");
    EXPECT_EQ(FF(u"#,##0.00", -1234.567), u"-1,234.57");
    EXPECT_EQ(FF(u"#,##0", 999), u"999");
    EXPECT_EQ(FF(u"0,", 1000), u"1,000");
    EXPECT_EQ(FF(u",0", 1234), u"1,234");
    EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891, Euro()), u"1.234.567,89");
    EXPECT_EQ(FormatFloat(u"0.0", 0.25, Euro()), u"0,3");
}

TEST(FormatFloatTest, ExponentForms) {
    EXPECT_EQ(FF(u"0.00E+00", 12345), u"1.23E+04");
    EXPECT_EQ(FF(u"0.00E+00", 0.00012345), u"1.23E-04");
    EXPECT_EQ(FF(u"0.00E-00", 12345), u"1.23E04");
    EXPECT_EQ(FF(u"0.00e-0", 0.00012345), u"1.23e-4");
    EXPECT_EQ(FF(u"0.###E+0", 1e300), u"1E+300");
    EXPECT_EQ(FF(u"0.00E+000", 5e-324), u"4.94E-324");
    EXPECT_EQ(FF(u"00.0E+0", 12345), u"12.3E+3");
    EXPECT_EQ(FF(u"0.0E+0", 0.0), u"0.0E+0");
    EXPECT_EQ(FF(u"0.0E+0", 9.99), u"1.0E+1");  // rounding carries into the exponent
    EXPECT_EQ(FF(u"0.0E+0", -5.0), u"-5.0E+0");
    EXPECT_EQ(FF(u"0E+0 'units'", 1500), u"2E+3 units");
    EXPECT_EQ(FF(u"0.0Ex", 1.5), u"1.5Ex");  // E without a sign is literal text
}

TEST(FormatFloatTest, Sections) {
    const char16_t* p = u"#,##0.00;(#,##0.00);'zero'";
    EXPECT_EQ(FF(p, 1234.5), u"1,234.50");
    EXPECT_EQ(FF(p, -1234.5), u"(1,234.50)");
    EXPECT_EQ(FF(p, 0), u"zero");
    EXPECT_EQ(FF(p, 0.001), u"zero");    // rounds to zero: the zero section
    EXPECT_EQ(FF(p, -0.001), u"zero");
    EXPECT_EQ(FF(u"0.0;(0.0)", -0.01), u"0.0");  // rounds to zero, no zero section: the first, unsigned
    EXPECT_EQ(FF(u"0;;'nothing'", -5), u"-5");   // empty negative section: the first with a sign
    EXPECT_EQ(FF(u"0;;'nothing'", 0), u"nothing");
    EXPECT_EQ(FF(u"0;-0;", 0), u"0");            // empty zero section: the first
    EXPECT_EQ(FF(u"0;'neg'", -3), u"neg");
    EXPECT_EQ(FF(u"0.0;'neg'", -0.3), u"neg");  // a literal section does not round the value away
    EXPECT_EQ(FF(u"0.0;'neg';'zero'", -0.01), u"neg");
    EXPECT_EQ(FF(u"0;0;0;extra", -3), u"3");     // a fourth section is ignored
    EXPECT_EQ(FF(u"'a;b' 0", 3), u"a;b 3");      // a quoted ';' does not split
}

TEST(FormatFloatTest, LiteralsAndPlacement) {
    EXPECT_EQ(FF(u"\"$\"#,##0.00", 5), u"$5.00");
    EXPECT_EQ(FF(u"0 'kg'", 12.4), u"12 kg");
    EXPECT_EQ(FF(u"00-00", 1234), u"12-34");
    EXPECT_EQ(FF(u"0-00", 123456), u"1234-56");  // extra digits go to the first placeholder
    EXPECT_EQ(FF(u"[0]", 7), u"[7]");
    EXPECT_EQ(FF(u"'price: 'x", 7), u"price: x");  // no placeholder: the text alone
    EXPECT_EQ(FF(u"'unclosed 0", 7), u"unclosed 0");
    EXPECT_EQ(FF(u".00", 12.5), u"12.50");
}

TEST(FormatFloatTest, SpecialValuesEmptyPictureAndCurrency) {
    EXPECT_EQ(FF(u"0.00", std::nan("")), u"NAN");
    EXPECT_EQ(FF(u"0.00", std::numeric_limits<double>::infinity()), u"INF");
    EXPECT_EQ(FF(u"0.00", -std::numeric_limits<double>::infinity()), u"-INF");
    EXPECT_EQ(FF(u"", 1.5e20), u"1.5E20");
    EXPECT_EQ(FF(u"", -0.25), u"-0.25");
    EXPECT_EQ(FF(u"0", 1e20), u"100000000000000000000");
    EXPECT_EQ(FormatCurr(u"#,##0.0000", std::numeric_limits<Int64>::min(), TFormatSettings::Invariant()),
              u"-922,337,203,685,477.5808");
    EXPECT_EQ(FormatCurr(u"0.00", 12345, TFormatSettings::Invariant()), u"1.23");
    EXPECT_EQ(FormatCurr(u"0.00", 12350, TFormatSettings::Invariant()), u"1.24");
}
