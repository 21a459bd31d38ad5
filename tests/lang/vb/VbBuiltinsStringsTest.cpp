// String built-ins.
#include <gtest/gtest.h>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsStrings.h"

namespace xan::vb::bitest {
namespace {

TEST(VbStrings, ChrAndAscUseTheAnsiCodePage) {
    EXPECT_EQ(Str(Call<TChr>({Variant(65)})), "A");
    EXPECT_EQ(Str(Call<TChr>({Variant(0x80)})), "\u20AC");
    EXPECT_EQ(Str(Call<TChr>({Variant(0xE9)})), "\u00E9");
    EXPECT_EQ(CallError<TChr>({Variant(256)}), ConversionError);
    EXPECT_EQ(CallError<TChr>({Variant(-1)}), ConversionError);
    EXPECT_EQ(Int(Call<TAsc>({Variant(u"Abc")})), 65);
    EXPECT_EQ(Int(Call<TAsc>({Variant(u"\u20AC")})), 0x80);
    EXPECT_EQ(Int(Call<TAsc>({Variant(7)})), '7');
    EXPECT_EQ(CallError<TAsc>({Variant(u"")}), ConversionError);
}

TEST(VbStrings, ChrAndAscFollowTheSettingsCodePage) {
    const ScopedSettings cyrillic([](plat::TFormatSettings& s) { s.AnsiCodePage = 1251; });
    EXPECT_EQ(Str(Call<TChr>({Variant(0xC0)})), "\u0410");
    EXPECT_EQ(Int(Call<TAsc>({Variant(u"\u0410")})), 0xC0);
    EXPECT_EQ(Str(Call<TString>({Variant(2), Variant(0xC0)})), "\u0410\u0410");
}

TEST(VbStrings, CaseAndLength) {
    EXPECT_EQ(Str(Call<TUCase>({Variant(u"abc\u00E9")})), "ABC\u00C9");
    EXPECT_EQ(Str(Call<TLCase>({Variant(u"ABC")})), "abc");
    EXPECT_EQ(Int(Call<TLen>({Variant(u"abc")})), 3);
    EXPECT_EQ(Int(Call<TLen>({Variant(12345)})), 5);
    EXPECT_EQ(Int(Call<TLen>({Variant()})), 0);
    for (auto* result : {&Call<TUCase>, &Call<TLCase>, &Call<TLen>, &Call<TLTrim>, &Call<TRTrim>, &Call<TTrim>})
        EXPECT_TRUE((*result)({Variant::Null()}).IsNull());
}

TEST(VbStrings, TrimmingBlanksAndControls) {
    EXPECT_EQ(Str(Call<TLTrim>({Variant(u" \t a b \n")})), "a b \n");
    EXPECT_EQ(Str(Call<TRTrim>({Variant(u" \t a b \n")})), " \t a b");
    EXPECT_EQ(Str(Call<TTrim>({Variant(u" \t a b \n")})), "a b");
}

TEST(VbStrings, SpaceAndString) {
    EXPECT_EQ(Str(Call<TSpace>({Variant(3)})), "   ");
    EXPECT_EQ(Str(Call<TSpace>({Variant(0)})), "");
    EXPECT_EQ(CallError<TSpace>({Variant(-1)}), ConversionError);
    EXPECT_EQ(Str(Call<TString>({Variant(3), Variant(65)})), "AAA");
    EXPECT_EQ(Str(Call<TString>({Variant(2), Variant(65 + 256)})), "AA");
    EXPECT_TRUE(Call<TString>({Variant::Null(), Variant(65)}).IsNull());
    EXPECT_TRUE(Call<TString>({Variant(2), Variant::Null()}).IsNull());
    EXPECT_EQ(CallError<TString>({Variant(-1), Variant(65)}), ConversionError);
    EXPECT_EQ(CallError<TString>({Variant(3), Variant(u"A")}), ConversionError);
}

TEST(VbStrings, StrReverse) {
    EXPECT_EQ(Str(Call<TStrReverse>({Variant(u"abc")})), "cba");
    EXPECT_EQ(Str(Call<TStrReverse>({Variant(u"")})), "");
    EXPECT_EQ(CallError<TStrReverse>({Variant::Null()}), ConversionError);
}

TEST(VbStrings, StrCompAnswersTheUsualOrder) {
    EXPECT_EQ(Int(Call<TStrComp>({Variant(u"a"), Variant(u"b")})), -1);
    EXPECT_EQ(Int(Call<TStrComp>({Variant(u"b"), Variant(u"a")})), 1);
    EXPECT_EQ(Int(Call<TStrComp>({Variant(u"a"), Variant(u"a")})), 0);
    EXPECT_EQ(Int(Call<TStrComp>({Variant(u"A"), Variant(u"a"), Variant(1)})), 0);
    EXPECT_NE(Int(Call<TStrComp>({Variant(u"A"), Variant(u"a"), Variant(0)})), 0);
    EXPECT_NE(Int(Call<TStrComp>({Variant(u"A"), Variant(u"a")})), 0);
    EXPECT_EQ(Int(Call<TStrComp>({Variant(u"abc"), Variant(u"ABD"), Variant(u"1")})), -1);
    EXPECT_TRUE(Call<TStrComp>({Variant(u"a"), Variant::Null()}).IsNull());
    EXPECT_TRUE(Call<TStrComp>({Variant::Null(), Variant(u"a")}).IsNull());
    EXPECT_EQ(CallError<TStrComp>({Variant(u"a")}), ParamCountError);
    EXPECT_EQ(CallError<TStrComp>({Variant(u"a"), Variant(u"a"), Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbStrings, LeftAndRight) {
    EXPECT_EQ(Str(Call<TLeft>({Variant(u"abcdef"), Variant(2)})), "ab");
    EXPECT_EQ(Str(Call<TLeft>({Variant(u"abc"), Variant(10)})), "abc");
    EXPECT_EQ(Str(Call<TRight>({Variant(u"abcdef"), Variant(2)})), "ef");
    EXPECT_EQ(Str(Call<TRight>({Variant(u"abc"), Variant(10)})), "abc");
    EXPECT_EQ(Str(Call<TRight>({Variant(u"abc"), Variant(0)})), "");
    EXPECT_TRUE(Call<TLeft>({Variant::Null(), Variant(2)}).IsNull());
    EXPECT_TRUE(Call<TRight>({Variant::Null(), Variant(-2)}).IsNull());
    EXPECT_EQ(CallError<TLeft>({Variant(u"abc"), Variant(-1)}), ConversionError);
    EXPECT_EQ(CallError<TRight>({Variant(u"abc"), Variant(-1)}), ConversionError);
}

TEST(VbStrings, Mid) {
    EXPECT_EQ(Str(Call<TMid>({Variant(u"abcdef"), Variant(2), Variant(3)})), "bcd");
    EXPECT_EQ(Str(Call<TMid>({Variant(u"abcdef"), Variant(4)})), "def");
    EXPECT_EQ(Str(Call<TMid>({Variant(u"abc"), Variant(5)})), "");
    EXPECT_EQ(Str(Call<TMid>({Variant(u"abc"), Variant(2), Variant(0)})), "");
    EXPECT_TRUE(Call<TMid>({Variant::Null(), Variant(0)}).IsNull());
    // The length is converted before the Null test.
    EXPECT_EQ(CallError<TMid>({Variant::Null(), Variant(1), Variant(u"x")}), ConversionError);
    EXPECT_EQ(CallError<TMid>({Variant(u"abc"), Variant(0)}), ConversionError);
    EXPECT_EQ(CallError<TMid>({Variant(u"abc"), Variant(1), Variant(-1)}), ConversionError);
    EXPECT_EQ(CallError<TMid>({Variant(u"abc"), Variant(1), Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbStrings, Replace) {
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"aaa"), Variant(u"a"), Variant(u"b"), Variant(2)})), "bb");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abcabc"), Variant(u"b"), Variant(u"X"), Variant(1), Variant(1)})), "aXcabc");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abc"), Variant(u""), Variant(u"X")})), "abc");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abc"), Variant(u""), Variant(u"X"), Variant(2)})), "bc");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abc"), Variant(u"b"), Variant(u"X"), Variant(9)})), "");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abc"), Variant(u"b"), Variant(u"X"), Variant(-5)})), "aXc");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"aAa"), Variant(u"a"), Variant(u"-"), Variant(1), Variant(-1), Variant(1)})), "---");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"aAa"), Variant(u"a"), Variant(u"-")})), "-A-");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abab"), Variant(u"ab"), Variant(u"")})), "");
    // The inserted text is never searched again.
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"aa"), Variant(u"a"), Variant(u"aa")})), "aaaa");
    EXPECT_EQ(Str(Call<TReplace>({Variant(u"abc"), Variant(u"b"), Variant(u"X"), Variant(1), Variant(0)})), "abc");
}

TEST(VbStrings, ReplaceErrors) {
    EXPECT_EQ(CallError<TReplace>({Variant(u"abc"), Variant(u"b")}), ParamCountError);
    EXPECT_EQ(CallError<TReplace>({Variant(u"abc"), Variant(u"b"), Variant(u"c"), Variant(1), Variant(1), Variant(1),
                                   Variant(1)}),
              ParamCountError);
    EXPECT_EQ(CallError<TReplace>({Variant(u"abc"), Variant(u"b"), Variant(u"X"), Variant(1), Variant(-2)}), ConversionError);
    EXPECT_EQ(CallError<TReplace>({Variant::Null(), Variant(u"b"), Variant(u"X")}), ConversionError);
}

TEST(VbStrings, InStr) {
    EXPECT_EQ(Int(Call<TInStr>({Variant(u"abc"), Variant(u"c")})), 3);
    EXPECT_EQ(Int(Call<TInStr>({Variant(0), Variant(u"abc"), Variant(u"a")})), 1);
    EXPECT_EQ(Int(Call<TInStr>({Variant(5), Variant(u"abc"), Variant(u"a")})), 0);
    EXPECT_EQ(Int(Call<TInStr>({Variant(1), Variant(u"ABC"), Variant(u"b"), Variant(1)})), 2);
    EXPECT_EQ(Int(Call<TInStr>({Variant(1), Variant(u"ABC"), Variant(u"b")})), 0);
    EXPECT_EQ(Int(Call<TInStr>({Variant(3), Variant(u"abcabc"), Variant(u"b")})), 5);
    EXPECT_EQ(Int(Call<TInStr>({Variant(u"abc"), Variant(u"x")})), 0);
    EXPECT_EQ(Int(Call<TInStr>({Variant(u"12345"), Variant(34)})), 3);
    EXPECT_EQ(CallError<TInStr>({Variant(u"abc"), Variant::Null()}), ConversionError);
    EXPECT_EQ(CallError<TInStr>({Variant(u"abc")}), ParamCountError);
    EXPECT_EQ(CallError<TInStr>({Variant(1), Variant(u"a"), Variant(u"a"), Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbStrings, InStrWithAnEmptySearchTextAnswersTheStart) {
    EXPECT_EQ(Int(Call<TInStr>({Variant(u"abc"), Variant(u"")})), 1);
    EXPECT_EQ(Int(Call<TInStr>({Variant(2), Variant(u"abc"), Variant(u"")})), 2);
    EXPECT_EQ(Int(Call<TInStr>({Variant(-4), Variant(u"abc"), Variant(u"")})), 1);
    EXPECT_EQ(Int(Call<TInStr>({Variant(4), Variant(u"abc"), Variant(u"")})), 0);
    EXPECT_EQ(Int(Call<TInStr>({Variant(u""), Variant(u"")})), 0);
}

TEST(VbStrings, InStrRev) {
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abcabc"), Variant(u"b")})), 5);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abcabc"), Variant(u"b"), Variant(4)})), 2);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u"b"), Variant(0)})), 0);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u"bc"), Variant(2)})), 0);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u"b"), Variant(99)})), 2);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u"b"), Variant(-2)})), 0);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"aBcabc"), Variant(u"b"), Variant(4), Variant(1)})), 2);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"aBcabc"), Variant(u"b"), Variant(4)})), 0);
    EXPECT_EQ(CallError<TInStrRev>({Variant(u"abc")}), ParamCountError);
}

TEST(VbStrings, InStrRevWithAnEmptySearchTextAnswersTheStart) {
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u"")})), 3);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u""), Variant(2)})), 2);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u"abc"), Variant(u""), Variant(7)})), 3);
    EXPECT_EQ(Int(Call<TInStrRev>({Variant(u""), Variant(u"")})), 0);
}

}  // namespace
}  // namespace xan::vb::bitest
