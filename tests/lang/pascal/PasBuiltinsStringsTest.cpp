// Case mapping, comparison, trimming, searching, editing, characters and codes.
#include <gtest/gtest.h>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsStrings.h"

namespace xan::pas::test {
namespace {

plat::Integer IntOf(const Variant& v) {
    EXPECT_EQ(v.VType, plat::varInteger);
    return v.VInteger;
}

TEST(PasStringBuiltins, PlainCaseMappingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(Text(Call<TLowerCase>({Variant(u"AbC \u00C4")})), u"abc \u00C4");
    EXPECT_EQ(Text(Call<TUpperCase>({Variant(u"aBc \u00E4")})), u"ABC \u00E4");
    EXPECT_EQ(Text(Call<TUpperCase>({Variant(12)})), u"12");
}

TEST(PasStringBuiltins, LocaleCaseMappingTouchesEveryLetter) {
    EXPECT_EQ(Text(Call<TAnsiUpperCase>({Variant(u"a\u00E4")})), u"A\u00C4");
    EXPECT_EQ(Text(Call<TAnsiLowerCase>({Variant(u"A\u00C4")})), u"a\u00E4");
}

TEST(PasStringBuiltins, OrdinalComparisons) {
    EXPECT_LT(IntOf(Call<TCompareStr>({Variant(u"A"), Variant(u"a")})), 0);
    EXPECT_EQ(IntOf(Call<TCompareStr>({Variant(u"abc"), Variant(u"abc")})), 0);
    EXPECT_GT(IntOf(Call<TCompareStr>({Variant(u"b"), Variant(u"abc")})), 0);
    EXPECT_EQ(IntOf(Call<TCompareText>({Variant(u"ABC"), Variant(u"abc")})), 0);
    EXPECT_LT(IntOf(Call<TCompareText>({Variant(u"abc"), Variant(u"ABD")})), 0);
    // Only ASCII case is folded.
    EXPECT_NE(IntOf(Call<TCompareText>({Variant(u"\u00C4"), Variant(u"\u00E4")})), 0);
}

TEST(PasStringBuiltins, LocaleComparisons) {
    EXPECT_EQ(IntOf(Call<TAnsiCompareText>({Variant(u"\u00C4"), Variant(u"\u00E4")})), 0);
    EXPECT_NE(IntOf(Call<TAnsiCompareStr>({Variant(u"\u00C4"), Variant(u"\u00E4")})), 0);
    EXPECT_LT(IntOf(Call<TAnsiCompareStr>({Variant(u"apple"), Variant(u"Banana")})), 0);
    EXPECT_EQ(IntOf(Call<TAnsiCompareStr>({Variant(u"x"), Variant(u"x")})), 0);
}

TEST(PasStringBuiltins, TrimRemovesBlanksAndControlCharacters) {
    const Variant padded(u" \t a b \r\n");
    EXPECT_EQ(Text(Call<TTrim>({padded})), u"a b");
    EXPECT_EQ(Text(Call<TTrimLeft>({padded})), u"a b \r\n");
    EXPECT_EQ(Text(Call<TTrimRight>({padded})), u" \t a b");
    EXPECT_EQ(Text(Call<TTrim>({Variant(u"   ")})), u"");
}

TEST(PasStringBuiltins, IsValidIdentAcceptsAsciiIdentifiersOnly) {
    EXPECT_TRUE(Call<TIsValidIdent>({Variant(u"_a1")}).AsBool());
    EXPECT_TRUE(Call<TIsValidIdent>({Variant(u"Name")}).AsBool());
    EXPECT_FALSE(Call<TIsValidIdent>({Variant(u"1a")}).AsBool());
    EXPECT_FALSE(Call<TIsValidIdent>({Variant(u"a.b")}).AsBool());
    EXPECT_FALSE(Call<TIsValidIdent>({Variant(u"")}).AsBool());
    EXPECT_FALSE(Call<TIsValidIdent>({Variant(u"\u00E4")}).AsBool());
}

TEST(PasStringBuiltins, PosFindsTheFirstOccurrence) {
    EXPECT_EQ(IntOf(Call<TPos>({Variant(u"lo"), Variant(u"hello lo")})), 4);
    EXPECT_EQ(IntOf(Call<TPos>({Variant(u"x"), Variant(u"hello")})), 0);
    EXPECT_EQ(IntOf(Call<TPos>({Variant(u""), Variant(u"hello")})), 0);
    EXPECT_EQ(IntOf(Call<TPos>({Variant(2), Variant(123)})), 2);
}

TEST(PasStringBuiltins, InsertPutsTextBeforeAPosition) {
    Variant s(u"Hello");
    std::vector<Variant> mid{Variant(u", "), Variant::RefTo(&s), Variant(6)};
    Perform<TInsert>(mid);
    EXPECT_EQ(Text(s), u"Hello, ");
    std::vector<Variant> front{Variant(u">"), Variant::RefTo(&s), Variant(-3)};
    Perform<TInsert>(front);
    EXPECT_EQ(Text(s), u">Hello, ");
    std::vector<Variant> past{Variant(u"!"), Variant::RefTo(&s), Variant(100)};
    Perform<TInsert>(past);
    EXPECT_EQ(Text(s), u">Hello, !");
}

TEST(PasStringBuiltins, InsertOfAVariableIntoItself) {
    Variant s(u"ab");
    std::vector<Variant> args{Variant::RefTo(&s), Variant::RefTo(&s), Variant(2)};
    Perform<TInsert>(args);
    EXPECT_EQ(Text(s), u"aabb");
}

TEST(PasStringBuiltins, InsertMakesTextOfNonStringVariables) {
    Variant n(123);
    std::vector<Variant> args{Variant(9), Variant::RefTo(&n), Variant(2)};
    Perform<TInsert>(args);
    EXPECT_EQ(Text(n), u"1923");
}

TEST(PasStringBuiltins, InsertIntoAValueThatIsNoVariableChangesNothing) {
    std::vector<Variant> args{Variant(u"x"), Variant(u"abc"), Variant(1)};
    Perform<TInsert>(args);
    EXPECT_EQ(Text(args[1]), u"abc");
}

TEST(PasStringBuiltins, DeleteRemovesUpToCountCharacters) {
    Variant s(u"abcdef");
    std::vector<Variant> args{Variant::RefTo(&s), Variant(2), Variant(3)};
    Perform<TDelete>(args);
    EXPECT_EQ(Text(s), u"aef");
    std::vector<Variant> tail{Variant::RefTo(&s), Variant(2), Variant(99)};
    Perform<TDelete>(tail);
    EXPECT_EQ(Text(s), u"a");
    std::vector<Variant> outside{Variant::RefTo(&s), Variant(5), Variant(1)};
    Perform<TDelete>(outside);
    EXPECT_EQ(Text(s), u"a");
    std::vector<Variant> before{Variant::RefTo(&s), Variant(0), Variant(1)};
    Perform<TDelete>(before);
    EXPECT_EQ(Text(s), u"a");
}

TEST(PasStringBuiltins, ProceduresRefuseUseOfTheirResultAndWrongCounts) {
    Variant s(u"abc");
    EXPECT_TRUE(RaisesRuntime([&] { Call<TDelete>({Variant::RefTo(&s), Variant(1), Variant(1)}); }, retTypeMismatch));
    std::vector<Variant> two{Variant::RefTo(&s), Variant(1)};
    EXPECT_TRUE(RaisesRuntime([&] { Perform<TDelete>(two); }, retInvalidParamCount));
    EXPECT_EQ(Text(s), u"abc");
}

TEST(PasStringBuiltins, ChrTakesTheLow16Bits) {
    EXPECT_EQ(Text(Call<TChr>({Variant(65)})), u"A");
    EXPECT_EQ(Text(Call<TChr>({Variant(0x10041)})), u"A");
    EXPECT_EQ(Text(Call<TChr>({Variant(0x20AC)})), u"\u20AC");
    const UString nul = Text(Call<TChr>({Variant(0)}));
    EXPECT_EQ(nul.length(), 1);
}

TEST(PasStringBuiltins, OrdOfTextIsItsFirstCodeAndOfOtherValuesTheInteger) {
    EXPECT_EQ(IntOf(Call<TOrd>({Variant(u"")})), 0);
    EXPECT_EQ(IntOf(Call<TOrd>({Variant(u"A")})), 65);
    EXPECT_EQ(IntOf(Call<TOrd>({Variant(u"\u20ACx")})), 0x20AC);
    EXPECT_EQ(IntOf(Call<TOrd>({Variant(true)})), -1);
    EXPECT_EQ(IntOf(Call<TOrd>({Variant(2.5)})), 2);
    Variant text(u"z");
    EXPECT_EQ(IntOf(Call<TOrd>({Variant::RefTo(&text)})), int(u'z'));
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TOrd>({Variant::Null()}); }, SInvalidCast));
}

}  // namespace
}  // namespace xan::pas::test
