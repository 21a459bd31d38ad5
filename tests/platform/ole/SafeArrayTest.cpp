// Safe arrays: creation, bounds, element access with conversion, copy-on-write sharing
// through Variants, resizing with preserved elements, and the errors.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/ole/SafeArray.h"

namespace xan::plat {
namespace {

using test::Raises;
using Bound = SafeArray::Bound;

Variant MakeArray(VarType elem, std::initializer_list<Bound> bounds) {
    return Variant::FromArray(SafeArray::Create(elem, std::span<const Bound>(bounds.begin(), bounds.size())));
}

Variant At(const Variant& arr, std::initializer_list<std::int32_t> idx) {
    Variant out;
    arr.Array().Get(std::span<const std::int32_t>(idx.begin(), idx.size()), out);
    return out;
}

void Put(Variant& arr, std::initializer_list<std::int32_t> idx, const Variant& v) {
    arr.MutableArray().Put(std::span<const std::int32_t>(idx.begin(), idx.size()), v);
}

TEST(SafeArray, CreateWithBoundsPerDimension) {
    const Variant a = MakeArray(varInteger, {{1, 3}, {-2, 5}});
    EXPECT_EQ(a.VType, varArray | varInteger);
    const SafeArray& s = a.Array();
    EXPECT_EQ(s.DimCount(), 2);
    EXPECT_EQ(s.Low(1), 1);
    EXPECT_EQ(s.High(1), 3);
    EXPECT_EQ(s.Low(2), -2);
    EXPECT_EQ(s.High(2), 2);
    EXPECT_EQ(s.Count(2), 5);
    EXPECT_EQ(s.ElementCount(), 15);
    EXPECT_EQ(s.ElemType(), varInteger);
    EXPECT_EQ(At(a, {2, 0}).VType, varInteger);
    EXPECT_EQ(At(a, {2, 0}).VInteger, 0);
}

TEST(SafeArray, EmptyDimensionsAreValid) {
    const Variant a = MakeArray(varVariant, {{0, 0}});
    EXPECT_EQ(a.Array().Low(1), 0);
    EXPECT_EQ(a.Array().High(1), -1);
    EXPECT_TRUE(a.Array().HasEmptyDimension());
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { At(a, {0}); }, u"Variant or safe array index out of bounds"));
}

TEST(SafeArray, CreationErrors) {
    const auto create = [](VarType t, std::initializer_list<Bound> b) {
        return [=] { MakeArray(t, b); };
    };
    const char16_t* msg = u"Error creating variant or safe array";
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varInteger, {{0, -1}}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varDecimal, {{0, 1}}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varString, {{0, 1}}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varInteger, {}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varInteger, {{INT32_MAX, 2}}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varByte, {{0, 70000}, {0, 70000}}), msg));
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(create(varVariant, {{0, 200000000}}), msg));  // 3.2 GB
    std::vector<Bound> tooMany(SafeArray::MaxDims + 1, Bound{0, 1});
    EXPECT_TRUE(Raises<EVariantArrayCreateError>(
        [&] { SafeArray::Create(varInteger, tooMany); }, msg));
    std::vector<Bound> most(29, Bound{0, 1});
    EXPECT_NO_THROW(Variant::FromArray(SafeArray::Create(varInteger, most)));
}

TEST(SafeArray, ElementsAreConvertedToTheElementType) {
    Variant a = MakeArray(varInteger, {{0, 3}});
    Put(a, {0}, Variant(u"42"));
    Put(a, {1}, Variant(2.5));
    Put(a, {2}, Variant(true));
    EXPECT_EQ(At(a, {0}).VInteger, 42);
    EXPECT_EQ(At(a, {1}).VInteger, 2);
    EXPECT_EQ(At(a, {2}).VInteger, -1);
    EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { Put(a, {0}, Variant(u"x")); }, u"Invalid variant type conversion"));
    Variant b = MakeArray(varByte, {{0, 1}});
    EXPECT_TRUE(Raises<EVariantOverflowError>([&] { Put(b, {0}, Variant(300)); }, u"Overflow"));
    Variant s = MakeArray(varOleStr, {{0, 1}});
    Put(s, {0}, Variant(12));
    EXPECT_EQ(At(s, {0}).StrView(), u"12");
    Variant d = MakeArray(varDouble, {{0, 1}});
    Put(d, {0}, Variant(std::int64_t{3}));
    EXPECT_EQ(At(d, {0}).VDouble, 3.0);
}

// Values of the element's own type are stored bit for bit; every width keeps its sign and
// its neighbours intact.
TEST(SafeArray, ValuesOfTheElementTypeRoundTripAtEveryWidth) {
    Variant bytes = MakeArray(varByte, {{0, 3}});
    Put(bytes, {1}, Variant(std::uint8_t{255}));
    EXPECT_EQ(At(bytes, {1}).VByte, 255);
    EXPECT_EQ(At(bytes, {0}).VByte, 0);
    EXPECT_EQ(At(bytes, {2}).VByte, 0);
    Variant small = MakeArray(varSmallint, {{0, 3}});
    Put(small, {1}, Variant(std::int16_t{-2}));
    EXPECT_EQ(At(small, {1}).VType, varSmallint);
    EXPECT_EQ(At(small, {1}).VSmallInt, -2);
    EXPECT_EQ(At(small, {2}).VSmallInt, 0);
    Variant ints = MakeArray(varInteger, {{-1, 3}});
    Put(ints, {-1}, Variant(-7));
    Put(ints, {1}, Variant(std::int32_t{0x7FFFFFFF}));
    EXPECT_EQ(At(ints, {-1}).VInteger, -7);
    EXPECT_EQ(At(ints, {0}).VInteger, 0);
    EXPECT_EQ(At(ints, {1}).VInteger, 0x7FFFFFFF);
    Variant wide = MakeArray(varInt64, {{0, 2}});
    Put(wide, {0}, Variant(std::int64_t{-5000000000}));
    EXPECT_EQ(At(wide, {0}).VInt64, -5000000000);
    Variant doubles = MakeArray(varDouble, {{0, 2}});
    Put(doubles, {1}, Variant(-0.25));
    EXPECT_EQ(At(doubles, {1}).VDouble, -0.25);
    Variant flags = MakeArray(varBoolean, {{0, 2}});
    Put(flags, {0}, Variant(true));
    EXPECT_TRUE(At(flags, {0}).AsBool());
    EXPECT_FALSE(At(flags, {1}).AsBool());
}

TEST(SafeArray, VariantElementsStoreWhatReferencesPointTo) {
    Variant a = MakeArray(varVariant, {{0, 2}});
    Variant target(u"through ref");
    Put(a, {0}, Variant::RefTo(&target));
    target = Variant(1);
    const Variant e = At(a, {0});
    EXPECT_EQ(e.VType, varOleStr);
    EXPECT_EQ(e.StrView(), u"through ref");
    EXPECT_TRUE(At(a, {1}).IsEmpty());
}

TEST(SafeArray, IndexErrors) {
    Variant a = MakeArray(varInteger, {{1, 2}, {1, 2}});
    const char16_t* msg = u"Variant or safe array index out of bounds";
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { At(a, {0, 1}); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { At(a, {1, 3}); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { At(a, {1}); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { At(a, {1, 1, 1}); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { Put(a, {3, 1}, Variant(1)); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { a.Array().Low(0); }, msg));
    EXPECT_TRUE(Raises<EVariantBadIndexError>([&] { a.Array().High(3); }, msg));
}

TEST(SafeArray, MultiDimensionalIndexingIsDistinct) {
    Variant a = MakeArray(varInteger, {{0, 2}, {0, 3}});
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) Put(a, {i, j}, Variant(i * 10 + j));
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(At(a, {i, j}).VInteger, i * 10 + j);
}

TEST(SafeArrayFastAccess, OneIndexInsideReadsAndWritesInPlace) {
    Variant a = MakeArray(varInteger, {{-1, 3}});
    EXPECT_TRUE(a.VArray->TryPut1(-1, Variant(7)));
    EXPECT_TRUE(a.VArray->TryPut1(1, Variant(9)));
    Variant out(u"replaced");  // whatever the target held is released
    EXPECT_TRUE(a.Array().TryGet1(-1, out));
    EXPECT_EQ(out.VType, varInteger);
    EXPECT_EQ(out.VInteger, 7);
    EXPECT_EQ(At(a, {1}).VInteger, 9);
    Variant bytes = MakeArray(varByte, {{0, 2}});
    Variant b;
    b.SetRaw(varByte, 200);
    EXPECT_TRUE(bytes.VArray->TryPut1(1, b));
    EXPECT_TRUE(bytes.Array().TryGet1(1, out));
    EXPECT_EQ(out.VType, varByte);
    EXPECT_EQ(out.VByte, 200);
    Variant v = MakeArray(varVariant, {{0, 2}});
    EXPECT_TRUE(v.VArray->TryPut1(0, Variant(u"text")));
    EXPECT_TRUE(v.Array().TryGet1(0, out));
    EXPECT_EQ(out.StrView(), u"text");
}

TEST(SafeArrayFastAccess, EveryOtherCaseIsLeftToTheGeneralWay) {
    Variant a = MakeArray(varInteger, {{0, 2}});
    Variant out(5);
    EXPECT_FALSE(a.Array().TryGet1(2, out));   // past the end
    EXPECT_FALSE(a.Array().TryGet1(-1, out));  // before the start
    EXPECT_FALSE(a.VArray->TryPut1(2, Variant(1)));
    EXPECT_FALSE(a.VArray->TryPut1(0, Variant(1.5)));       // needs a conversion
    EXPECT_FALSE(a.VArray->TryPut1(0, Variant(u"1")));
    Variant target(3);
    EXPECT_FALSE(a.VArray->TryPut1(0, Variant::RefTo(&target)));  // a reference
    EXPECT_EQ(out.VInteger, 5);  // untouched by the refusals
    EXPECT_EQ(At(a, {0}).VInteger, 0);
    Variant shared = a;
    EXPECT_FALSE(a.VArray->TryPut1(0, Variant(1)));  // shared: the write must copy first
    EXPECT_EQ(At(shared, {0}).VInteger, 0);
    Variant m = MakeArray(varInteger, {{0, 2}, {0, 2}});
    EXPECT_FALSE(m.Array().TryGet1(0, out));  // two dimensions
    EXPECT_FALSE(m.VArray->TryPut1(0, Variant(1)));
    Variant strings = MakeArray(varOleStr, {{0, 1}});
    EXPECT_FALSE(strings.Array().TryGet1(0, out));  // elements that own something
    Variant v = MakeArray(varVariant, {{0, 1}});
    EXPECT_FALSE(v.VArray->TryPut1(0, Variant::RefTo(&target)));  // stored as its target, the long way
}

TEST(SafeArrayCopyOnWrite, CopyIsConstantTimeYetIndependent) {
    Variant a = MakeArray(varVariant, {{0, 2}});
    Put(a, {0}, Variant(u"one"));
    Variant b = a;
    EXPECT_EQ(a.VArray, b.VArray);  // shared until written
    EXPECT_EQ(a.Array().RefCount(), 2);
    Put(b, {0}, Variant(u"changed"));
    EXPECT_NE(a.VArray, b.VArray);
    EXPECT_EQ(At(a, {0}).StrView(), u"one");
    EXPECT_EQ(At(b, {0}).StrView(), u"changed");
    EXPECT_EQ(a.Array().RefCount(), 1);
    EXPECT_EQ(b.Array().RefCount(), 1);
}

TEST(SafeArrayCopyOnWrite, UnsharedWritesDoNotCopy) {
    Variant a = MakeArray(varInteger, {{0, 2}});
    SafeArray* before = a.VArray;
    Put(a, {1}, Variant(5));
    EXPECT_EQ(a.VArray, before);
}

TEST(SafeArrayCopyOnWrite, WritingASharedArrayDirectlyIsRefused) {
    Variant a = MakeArray(varInteger, {{0, 2}});
    Variant b = a;
    EXPECT_TRUE(Raises<EVariantArrayLockedError>([&] { a.VArray->Put(std::array{0}, Variant(1)); },
                                                  u"Variant or safe array is locked"));
}

TEST(SafeArrayCopyOnWrite, CloneCopiesStringsAndObjects) {
    ComPtr<test::TTestDispatch> obj(new test::TTestDispatch);
    Variant a = MakeArray(varDispatch, {{0, 2}});
    Put(a, {0}, Variant(static_cast<IDispatch*>(obj.Get())));
    EXPECT_EQ(obj->RefCount(), 2);
    {
        Variant b = a;
        Put(b, {1}, Variant(static_cast<IDispatch*>(obj.Get())));
        EXPECT_EQ(obj->RefCount(), 4);  // the clone holds its own reference to element 0
    }
    EXPECT_EQ(obj->RefCount(), 2);
    a.Clear();
    EXPECT_EQ(obj->RefCount(), 1);
}

TEST(SafeArrayCopyOnWrite, NestedArraysStayIndependent) {
    Variant inner = MakeArray(varInteger, {{0, 1}});
    Variant outer = MakeArray(varVariant, {{0, 1}});
    Put(outer, {0}, inner);
    Put(inner, {0}, Variant(9));
    EXPECT_EQ(At(At(outer, {0}), {0}).VInteger, 0);
}

TEST(SafeArrayResize, PreservesTheCommonIndexRange) {
    Variant a = MakeArray(varInteger, {{0, 10}});
    for (int i = 0; i < 10; ++i) Put(a, {i}, Variant(i));
    const Bound nb[] = {{5, 16}};
    Variant b = Variant::FromArray(SafeArray::CreateResized(a.Array(), varInteger, nb));
    EXPECT_EQ(b.Array().Low(1), 5);
    EXPECT_EQ(b.Array().High(1), 20);
    for (int i = 5; i <= 9; ++i) EXPECT_EQ(At(b, {i}).VInteger, i);
    EXPECT_EQ(At(b, {10}).VInteger, 0);
    const Bound far[] = {{20, 11}};
    Variant c = Variant::FromArray(SafeArray::CreateResized(a.Array(), varInteger, far));
    for (int i = 20; i <= 30; ++i) EXPECT_EQ(At(c, {i}).VInteger, 0);
}

TEST(SafeArrayResize, ConvertsToTheNewElementType) {
    Variant a = MakeArray(varVariant, {{0, 2}, {0, 2}});
    Put(a, {1, 1}, Variant(u"5"));
    Put(a, {0, 1}, Variant(2.5));
    const Bound nb[] = {{0, 3}, {1, 1}};
    Variant b = Variant::FromArray(SafeArray::CreateResized(a.Array(), varInteger, nb));
    EXPECT_EQ(b.VType, varArray | varInteger);
    EXPECT_EQ(At(b, {1, 1}).VInteger, 5);
    EXPECT_EQ(At(b, {0, 1}).VInteger, 2);
    EXPECT_EQ(At(b, {2, 1}).VInteger, 0);
    const Bound wrongDims[] = {{0, 3}};
    EXPECT_TRUE(Raises<EVariantInvalidArgError>(
        [&] { SafeArray::CreateResized(a.Array(), varInteger, wrongDims); }, u"Invalid argument"));
    Put(a, {1, 1}, Variant(u"x"));  // inside the common range
    EXPECT_TRUE(Raises<EVariantTypeCastError>(
        [&] { SafeArray::CreateResized(a.Array(), varInteger, nb); }, u"Invalid variant type conversion"));
}

TEST(SafeArrayResize, RedimLastKeepsElementsInPlace) {
    Variant a = MakeArray(varOleStr, {{0, 2}, {0, 2}});
    Put(a, {0, 0}, Variant(u"a"));
    Put(a, {1, 1}, Variant(u"d"));
    a.MutableArray().RedimLast({0, 4});
    EXPECT_EQ(a.Array().High(2), 3);
    EXPECT_EQ(At(a, {0, 0}).StrView(), u"a");
    EXPECT_EQ(At(a, {1, 1}).StrView(), u"d");
    EXPECT_EQ(At(a, {1, 3}).StrView(), u"");
    a.MutableArray().RedimLast({0, 1});
    EXPECT_EQ(a.Array().ElementCount(), 2);
    EXPECT_EQ(At(a, {0, 0}).StrView(), u"a");
    Variant shared = a;
    EXPECT_TRUE(Raises<EVariantArrayLockedError>([&] { a.VArray->RedimLast({0, 2}); },
                                                  u"Variant or safe array is locked"));
}

}  // namespace
}  // namespace xan::plat

namespace xan::plat {
namespace {

TEST(VarArray, VariantLevelAccessFollowsReferences) {
    const SafeArray::Bound b[] = {{1, 3}};
    Variant arr = VarArrayCreate(varVariant, b);
    Variant ref = Variant::RefTo(&arr);
    EXPECT_TRUE(VarIsArray(ref));
    EXPECT_EQ(VarArrayDimCount(ref), 1);
    EXPECT_EQ(VarArrayLowBound(ref, 1), 1);
    EXPECT_EQ(VarArrayHighBound(ref, 1), 3);
    const std::int32_t i2[] = {2};
    Variant copy = arr;  // shared; writing through the reference must not change it
    VarArrayPut(ref, i2, Variant(u"two"));
    EXPECT_EQ(VarArrayGet(arr, i2).StrView(), u"two");
    EXPECT_TRUE(VarArrayGet(copy, i2).IsEmpty());
    EXPECT_TRUE(test::Raises<EVariantBadIndexError>([&] { VarArrayLowBound(arr, 2); },
                                                     u"Variant or safe array index out of bounds"));
}

TEST(VarArray, NonArraysAreRefused) {
    Variant n(5);
    const std::int32_t i0[] = {0};
    const char16_t* msg = u"Variant is not an array";
    EXPECT_FALSE(VarIsArray(n));
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { VarArrayDimCount(n); }, msg));
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { VarArrayHighBound(Variant(), 1); }, msg));
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { VarArrayGet(Variant(u"s"), i0); }, msg));
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { VarArrayPut(n, i0, Variant(1)); }, msg));
}

}  // namespace
}  // namespace xan::plat
