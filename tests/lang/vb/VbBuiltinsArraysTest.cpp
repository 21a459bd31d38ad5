// Array built-ins: Array, LBound, UBound, Join, Filter and Split.
#include <gtest/gtest.h>

#include <array>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsArrays.h"

namespace xan::vb::bitest {
namespace {

using Strings = std::vector<std::string>;

Variant Matrix() {
    const std::array<plat::SafeArray::Bound, 2> bounds{{{1, 3}, {-2, 5}}};
    return Variant::FromArray(plat::SafeArray::Create(plat::varVariant, bounds));
}

TEST(VbArrays, ArrayHoldsTheArgumentsInOrder) {
    Variant text(u"b");
    const Variant a = Call<TArray>({Variant(1), Variant::RefTo(&text), Variant::Null()});
    EXPECT_EQ(Texts(Call<TArray>({Variant(1), Variant(u"b")})), (Strings{"1", "b"}));
    ASSERT_TRUE(a.IsArray());
    Variant element;
    const std::array<std::int32_t, 1> second{1};
    a.Array().Get(second, element);
    // A variable argument is stored as its value, not as a reference to the variable.
    EXPECT_EQ(element.VType, plat::varOleStr);
    const Variant empty = Call<TArray>();
    EXPECT_EQ(empty.VType, plat::varArray | plat::varVariant);
    EXPECT_EQ(empty.Array().Low(1), 0);
    EXPECT_EQ(empty.Array().High(1), -1);
}

TEST(VbArrays, Bounds) {
    const Variant a = Call<TArray>({Variant(1), Variant(2), Variant(3)});
    EXPECT_EQ(Int(Call<TLBound>({a})), 0);
    EXPECT_EQ(Int(Call<TUBound>({a})), 2);
    const Variant m = Matrix();
    EXPECT_EQ(Int(Call<TLBound>({m, Variant(2)})), -2);
    EXPECT_EQ(Int(Call<TUBound>({m, Variant(2)})), 2);
    EXPECT_EQ(Int(Call<TUBound>({m, Variant(1)})), 3);
    Variant viaRef = m;
    EXPECT_EQ(Int(Call<TUBound>({Variant::RefTo(&viaRef)})), 3);
}

TEST(VbArrays, BoundsErrors) {
    const Variant m = Matrix();
    EXPECT_EQ(CallError<TUBound>({m, Variant(3)}), "EVariantBadIndexError: Variant or safe array index out of bounds");
    EXPECT_EQ(CallError<TLBound>({m, Variant(0)}), "EVariantBadIndexError: Variant or safe array index out of bounds");
    EXPECT_EQ(CallError<TLBound>({Variant(1)}), "EVariantNotAnArrayError: Variant is not an array");
    EXPECT_EQ(CallError<TUBound>({}), ParamCountError);
    EXPECT_EQ(CallError<TUBound>({m, Variant(1), Variant(1)}), ParamCountError);
}

TEST(VbArrays, Join) {
    const Variant a = Call<TArray>({Variant(1), Variant(2), Variant(3)});
    EXPECT_EQ(Str(Call<TJoin>({a})), "1 2 3");
    EXPECT_EQ(Str(Call<TJoin>({a, Variant(u", ")})), "1, 2, 3");
    EXPECT_EQ(Str(Call<TJoin>({a, Variant(u"")})), "123");
    EXPECT_EQ(Str(Call<TJoin>({Call<TArray>()})), "");
    EXPECT_EQ(CallError<TJoin>({Variant(5)}), ConversionError);
    EXPECT_EQ(CallError<TJoin>({Matrix()}), ConversionError);
    EXPECT_EQ(CallError<TJoin>({Call<TArray>({Variant::Null()})}), ConversionError);
    EXPECT_EQ(CallError<TJoin>({}), ParamCountError);
    EXPECT_EQ(CallError<TJoin>({a, Variant(u","), Variant(1)}), ParamCountError);
}

TEST(VbArrays, FilterMatchesWholeElements) {
    const Variant list = ArrayOf({Variant(u"a"), Variant(u"B"), Variant(u"ab")});
    EXPECT_EQ(Texts(Call<TFilter>({list, Variant(u"b"), Variant(true), Variant(1)})), (Strings{"B"}));
    EXPECT_EQ(Texts(Call<TFilter>({list, Variant(u"b"), Variant(false), Variant(1)})), (Strings{"a", "ab"}));
    EXPECT_EQ(Texts(Call<TFilter>({list, Variant(u"b")})), (Strings{}));
    EXPECT_EQ(Texts(Call<TFilter>({list, Variant(u"B")})), (Strings{"B"}));
    EXPECT_EQ(Texts(Call<TFilter>({ArrayOf({Variant(1), Variant(2), Variant(1)}), Variant(1)})), (Strings{"1", "1"}));
}

TEST(VbArrays, FilterErrors) {
    EXPECT_EQ(CallError<TFilter>({ArrayOf({})}), ParamCountError);
    EXPECT_EQ(CallError<TFilter>({ArrayOf({}), Variant(u"a"), Variant(true), Variant(1), Variant(1)}), ParamCountError);
    EXPECT_EQ(CallError<TFilter>({Variant(u"abc"), Variant(u"a")}), ConversionError);
}

TEST(VbArrays, SplitPieces) {
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a b")})), (Strings{"a", "b"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,,b,"), Variant(u",")})), (Strings{"a", "", "b", ""}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"aXbxc"), Variant(u"x"), Variant(-1), Variant(1)})), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"aXbxc"), Variant(u"x")})), (Strings{"aXb", "c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a::b"), Variant(u"::")})), (Strings{"a", "b"}));
}

TEST(VbArrays, SplitLimitKeepsTheRestInTheLastPiece) {
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,b,c"), Variant(u","), Variant(2)})), (Strings{"a", "b,c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,b,c"), Variant(u","), Variant(1)})), (Strings{"a,b,c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,b,c"), Variant(u","), Variant(3)})), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,b,c"), Variant(u","), Variant(9)})), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"a,b,c"), Variant(u","), Variant(0)})), (Strings{}));
}

TEST(VbArrays, SplitEdges) {
    const Variant empty = Call<TSplit>({Variant(u""), Variant(u",")});
    EXPECT_EQ(Texts(empty), (Strings{}));
    EXPECT_EQ(empty.Array().High(1), -1);
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"abc"), Variant(u"")})), (Strings{"abc"}));
    EXPECT_EQ(Texts(Call<TSplit>({Variant(u"abc"), Variant(u",")})), (Strings{"abc"}));
    EXPECT_EQ(CallError<TSplit>({Variant(u"a,b"), Variant(u","), Variant(-2)}), ConversionError);
    EXPECT_EQ(CallError<TSplit>({}), ParamCountError);
    EXPECT_EQ(CallError<TSplit>({Variant(u"a"), Variant(u","), Variant(1), Variant(0), Variant(0)}), ParamCountError);
}

}  // namespace
}  // namespace xan::vb::bitest
