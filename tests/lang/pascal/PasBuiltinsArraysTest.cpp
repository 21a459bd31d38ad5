// High, Low, Length and Copy over variant arrays and strings.
#include <gtest/gtest.h>

#include <limits>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsArrays.h"
#include "platform/ole/SafeArray.h"

namespace xan::pas::test {
namespace {

using plat::SafeArray;

// array[0..1, 0..2] of Integer
Variant Matrix() {
    const SafeArray::Bound bounds[] = {{0, 2}, {0, 3}};
    return Variant::FromArray(SafeArray::Create(plat::varInteger, bounds));
}

// A one-dimensional array of AType over ALow .. ALow + ACount - 1 holding 10, 20, 30, ...
Variant Vector(plat::VarType AType, std::int32_t ALow, std::int32_t ACount) {
    Variant v = Variant::FromArray(SafeArray::Create1(AType, ALow, ACount));
    for (std::int32_t i = 0; i < ACount; ++i) {
        const std::int32_t index = ALow + i;
        v.MutableArray().Put(std::span<const std::int32_t>(&index, 1), Variant((i + 1) * 10));
    }
    return v;
}

plat::Integer IntOf(const Variant& v) {
    EXPECT_EQ(v.VType, plat::varInteger);
    return v.VInteger;
}

TEST(PasArrayBuiltins, LengthOfTextCountsUtf16Units) {
    EXPECT_EQ(IntOf(Call<TLength>({Variant(u"abc")})), 3);
    EXPECT_EQ(IntOf(Call<TLength>({Variant(u"")})), 0);
    EXPECT_EQ(IntOf(Call<TLength>({Variant(u"\U0001F600")})), 2);
    EXPECT_EQ(IntOf(Call<TLength>({Variant(12345)})), 5);
    EXPECT_EQ(IntOf(Call<TLength>({Variant()})), 0);
}

TEST(PasArrayBuiltins, LengthOfAnArrayCountsADimension) {
    Variant a = Matrix();
    EXPECT_EQ(IntOf(Call<TLength>({Variant::RefTo(&a)})), 2);
    EXPECT_EQ(IntOf(Call<TLength>({Variant::RefTo(&a), Variant(2)})), 3);
    EXPECT_TRUE(Raises<plat::EVariantBadIndexError>([&] { Call<TLength>({a, Variant(3)}); },
                                                    u"Variant or safe array index out of bounds"));
}

TEST(PasArrayBuiltins, LengthRefusesOtherCounts) {
    Variant a = Matrix();
    EXPECT_TRUE(RaisesRuntime([] { Call<TLength>({}); }, retInvalidParamCount));
    EXPECT_TRUE(RaisesRuntime([] { Call<TLength>({Variant(u"ab"), Variant(1)}); }, retInvalidParamCount));
    EXPECT_TRUE(RaisesRuntime([&] { Call<TLength>({a, Variant(1), Variant(1)}); }, retInvalidParamCount));
}

TEST(PasArrayBuiltins, LengthOfNullIsTheConversionError) {
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([] { Call<TLength>({Variant::Null()}); }, SInvalidCast));
}

TEST(PasArrayBuiltins, HighAndLowGiveTheBoundsOfADimension) {
    Variant a = Matrix();
    EXPECT_EQ(IntOf(Call<THigh>({Variant::RefTo(&a)})), 1);
    EXPECT_EQ(IntOf(Call<THigh>({Variant::RefTo(&a), Variant(2)})), 2);
    EXPECT_EQ(IntOf(Call<TLow>({a, Variant(2)})), 0);
    Variant v = Vector(plat::varVariant, -3, 5);
    EXPECT_EQ(IntOf(Call<TLow>({v})), -3);
    EXPECT_EQ(IntOf(Call<THigh>({v})), 1);
}

TEST(PasArrayBuiltins, HighAndLowOfAnEmptyDimension) {
    Variant v = Vector(plat::varVariant, 0, 0);
    EXPECT_EQ(IntOf(Call<THigh>({v})), -1);
    EXPECT_EQ(IntOf(Call<TLow>({v})), 0);
    EXPECT_EQ(IntOf(Call<TLength>({v})), 0);
}

TEST(PasArrayBuiltins, HighAndLowOfANonArrayAreTheirOwnErrorsBeforeTheCount) {
    EXPECT_TRUE(RaisesRuntime([] { Call<THigh>({Variant(5)}); }, retHighOnlyArray));
    EXPECT_TRUE(RaisesRuntime([] { Call<TLow>({Variant(u"abc")}); }, retLowOnlyArray));
    EXPECT_TRUE(RaisesRuntime([] { Call<THigh>({Variant(5), Variant(1), Variant(1)}); }, retHighOnlyArray));
    EXPECT_TRUE(RaisesRuntime([] { Call<TLow>({}); }, retInvalidParamCount));
    EXPECT_TRUE(RaisesRuntime([] { Call<THigh>({}); }, retInvalidParamCount));
    Variant a = Matrix();
    EXPECT_TRUE(RaisesRuntime([&] { Call<THigh>({a, Variant(1), Variant(1)}); }, retInvalidParamCount));
}

TEST(PasArrayBuiltins, CopyOfTextTakesASubstring) {
    EXPECT_EQ(Text(Call<TCopy>({Variant(u"Hello"), Variant(2), Variant(3)})), u"ell");
    EXPECT_EQ(Text(Call<TCopy>({Variant(u"Hello"), Variant(0), Variant(2)})), u"He");
    EXPECT_EQ(Text(Call<TCopy>({Variant(u"Hello"), Variant(4), Variant(99)})), u"lo");
    EXPECT_EQ(Text(Call<TCopy>({Variant(u"Hello"), Variant(6), Variant(1)})), u"");
    EXPECT_EQ(Text(Call<TCopy>({Variant(u"Hello"), Variant(2), Variant(-1)})), u"");
    EXPECT_EQ(Text(Call<TCopy>({Variant(12345), Variant(2), Variant(2)})), u"23");
}

TEST(PasArrayBuiltins, CopyOfAnArrayTakesASliceRenumberedFromZero) {
    Variant v = Vector(plat::varInteger, 0, 4);  // 10 20 30 40
    const Variant slice = Call<TCopy>({Variant::RefTo(&v), Variant(1), Variant(2)});
    ASSERT_TRUE(slice.IsArray());
    const SafeArray& a = slice.Array();
    EXPECT_EQ(a.ElemType(), plat::varInteger);
    EXPECT_EQ(a.DimCount(), 1);
    EXPECT_EQ(a.Low(1), 0);
    EXPECT_EQ(a.High(1), 1);
    Variant element;
    const std::int32_t first = 0, second = 1;
    a.Get(std::span<const std::int32_t>(&first, 1), element);
    EXPECT_EQ(element.VInteger, 20);
    a.Get(std::span<const std::int32_t>(&second, 1), element);
    EXPECT_EQ(element.VInteger, 30);
}

TEST(PasArrayBuiltins, CopyOfAnArrayClipsToItsBounds) {
    Variant v = Vector(plat::varVariant, 5, 3);  // indexes 5..7: 10 20 30
    const Variant clipped = Call<TCopy>({v, Variant(0), Variant(100)});
    ASSERT_TRUE(clipped.IsArray());
    EXPECT_EQ(clipped.Array().ElemType(), plat::varVariant);
    EXPECT_EQ(clipped.Array().Count(1), 3);
    Variant element;
    const std::int32_t first = 0;
    clipped.Array().Get(std::span<const std::int32_t>(&first, 1), element);
    EXPECT_EQ(element.VInteger, 10);
    const Variant tail = Call<TCopy>({v, Variant(7), Variant(1000)});
    EXPECT_EQ(tail.Array().Count(1), 1);
}

TEST(PasArrayBuiltins, CopyOfAnArrayWithNothingLeftIsEmpty) {
    Variant v = Vector(plat::varInteger, 0, 4);
    EXPECT_TRUE(Call<TCopy>({v, Variant(5), Variant(2)}).IsEmpty());
    EXPECT_TRUE(Call<TCopy>({v, Variant(1), Variant(0)}).IsEmpty());
    EXPECT_TRUE(Call<TCopy>({v, Variant(1), Variant(std::numeric_limits<plat::Integer>::min())}).IsEmpty());
}

TEST(PasArrayBuiltins, CopyLeavesTheSourceUnchanged) {
    Variant v = Vector(plat::varInteger, 0, 2);
    Variant slice = Call<TCopy>({Variant::RefTo(&v), Variant(0), Variant(2)});
    const std::int32_t index = 0;
    slice.MutableArray().Put(std::span<const std::int32_t>(&index, 1), Variant(99));
    Variant element;
    v.Array().Get(std::span<const std::int32_t>(&index, 1), element);
    EXPECT_EQ(element.VInteger, 10);
}

TEST(PasArrayBuiltins, CopyOfAMultiDimensionalArrayIsATypeMismatch) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TCopy>({Matrix(), Variant(0), Variant(1)}); }, retTypeMismatch));
}

TEST(PasArrayBuiltins, CopyRefusesOtherCounts) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TCopy>({Variant(u"abc"), Variant(1)}); }, retInvalidParamCount));
}

}  // namespace
}  // namespace xan::pas::test
