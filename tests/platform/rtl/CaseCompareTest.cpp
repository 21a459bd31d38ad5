#include <gtest/gtest.h>

#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Locale.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

class InvariantLocale : public ::testing::Test {
protected:
    void SetUp() override { UseInvariantLocale(); }
    void TearDown() override { UseInvariantLocale(); }
};

using Collation = InvariantLocale;

TEST_F(Collation, OrdersAlphabeticallyNotByCodeUnit) {
    // Ordinal comparison puts every capital before every small letter; collation does not.
    EXPECT_LT(CompareStr(u"Zebra", u"apple"), 0);
    EXPECT_GT(AnsiCompareStr(u"Zebra", u"apple"), 0);
    EXPECT_LT(AnsiCompareStr(u"resume", u"résumé"), 0);
    EXPECT_LT(AnsiCompareStr(u"résumé", u"rf"), 0);
    EXPECT_EQ(AnsiCompareStr(u"abc", u"abc"), 0);
}

TEST_F(Collation, CaseSensitivityDiffersBetweenStrAndText) {
    EXPECT_NE(AnsiCompareStr(u"abc", u"ABC"), 0);
    EXPECT_EQ(AnsiCompareText(u"abc", u"ABC"), 0);
    EXPECT_NE(AnsiCompareText(u"resume", u"résumé"), 0);  // accents still count
    EXPECT_EQ(AnsiCompareText(u"ÉTÉ", u"été"), 0);
    EXPECT_LT(AnsiCompareText(u"a", u"B"), 0);
    EXPECT_GT(AnsiCompareText(u"b", u"A"), 0);
}

TEST_F(Collation, FollowsTheCurrentLocale) {
    // Swedish sorts "ö" after "z"; the root collation sorts it with "o".
    EXPECT_LT(AnsiCompareStr(u"öl", u"zon"), 0);
    UseLocale("sv_SE");
    EXPECT_GT(AnsiCompareStr(u"öl", u"zon"), 0);
}

TEST_F(Collation, AsciiCompareTextFoldsOnlyAsciiLetters) {
    EXPECT_EQ(CompareText(u"Hello", u"hELLO"), 0);
    EXPECT_NE(CompareText(u"é", u"É"), 0);
    EXPECT_LT(CompareText(u"abc", u"abcd"), 0);
    EXPECT_GT(CompareText(u"b", u"A"), 0);
    EXPECT_TRUE(SameText(u"x_Y", u"X_y"));
    EXPECT_FALSE(SameText(u"x", u"xx"));
    EXPECT_EQ(CompareStr(u"", u""), 0);
    EXPECT_GT(CompareStr(u"b", u"a"), 0);
}

using CaseMapping = InvariantLocale;

TEST_F(CaseMapping, AsciiRoutinesLeaveOtherLettersAlone) {
    EXPECT_EQ(UpperCase(u"abc-é-ß"), u"ABC-é-ß");
    EXPECT_EQ(LowerCase(u"ABC-É"), u"abc-É");
    UString same(u"ABC");
    EXPECT_TRUE(UpperCase(same).SharesBufferWith(same));
}

TEST_F(CaseMapping, WideRoutinesUseFullUnicodeMapping) {
    EXPECT_EQ(WideUpperCase(u"straße é"), u"STRASSE É");
    EXPECT_EQ(WideLowerCase(u"ÀÉÎ"), u"àéî");
    EXPECT_EQ(WideUpperCase(u"i"), u"I");
}

TEST_F(CaseMapping, AnsiRoutinesFollowTheLocale) {
    EXPECT_EQ(AnsiUpperCase(u"istanbul"), u"ISTANBUL");
    UseLocale("tr_TR");
    EXPECT_EQ(AnsiUpperCase(u"istanbul"), u"İSTANBUL");
    EXPECT_EQ(AnsiLowerCase(u"I"), u"ı");
    // Unicode and ASCII mappings ignore the locale.
    EXPECT_EQ(WideUpperCase(u"i"), u"I");
    EXPECT_EQ(UpperCase(u"i"), u"I");
}

TEST(CodePage1252, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        char16_t c = AnsiCharToWide(static_cast<std::uint8_t>(b));
        EXPECT_EQ(WideCharToAnsi(c), b) << "byte " << b;
    }
}

TEST(CodePage1252, MapsTheWindowsSpecificRange) {
    EXPECT_EQ(AnsiCharToWide(0x80), u'€');
    EXPECT_EQ(AnsiCharToWide(0x9F), u'Ÿ');
    EXPECT_EQ(AnsiCharToWide(0xE9), u'é');
    EXPECT_EQ(AnsiCharToWide(65), u'A');
    EXPECT_EQ(WideCharToAnsi(u'€'), 0x80);
    EXPECT_EQ(WideCharToAnsi(u'Ω'), '?');  // not in the page
}

TEST(CodePage1252, ConvertsWholeTexts) {
    std::string bytes = WideToAnsi(u"Grüße €5");
    EXPECT_EQ(bytes, "Gr\xFC\xDF" "e \x80" "5");
    EXPECT_EQ(AnsiToWide(bytes), u"Grüße €5");
    EXPECT_EQ(WideToAnsi(u"a\U0001F600b"), "a?b");  // a surrogate pair is one unknown character
    EXPECT_EQ(AnsiToWide(""), u"");
}

TEST(CodePage1252, OtherPagesAndUnknownPages) {
    EXPECT_EQ(AnsiCharToWide(0xC0, 1251), u'А');  // Cyrillic capital A
    EXPECT_EQ(testing::RaisedMessage<EConvertError>([] { AnsiToWide("x", 9999); }),
              u"Code page 9999 is not available");
}

}  // namespace
}  // namespace xan::plat
