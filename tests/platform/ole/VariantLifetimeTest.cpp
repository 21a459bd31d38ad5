// Variant storage: layout, copy, move, clear, typed construction and by-reference chains.
#include <gtest/gtest.h>

#include "OleTestSupport.h"
#include "platform/ole/SafeArray.h"

namespace xan::plat {
namespace {

using test::TTestDispatch;

TEST(VariantLayout, SixteenBytesAndTrivialRawForm) {
    static_assert(sizeof(Variant) == 16);
    static_assert(std::is_trivially_copyable_v<VarData>);
    Variant v;
    EXPECT_EQ(v.VType, varEmpty);
    EXPECT_TRUE(v.IsEmpty());
}

TEST(VariantLayout, ManagedTypeBitPattern) {
    for (VarType t : {varOleStr, varDispatch, varUnknown, varString}) EXPECT_TRUE(VarIsManagedType(t)) << t;
    EXPECT_TRUE(VarIsManagedType(varArray | varInteger));
    EXPECT_TRUE(VarIsManagedType(varArray | varVariant));
    for (VarType t : std::initializer_list<VarType>{varEmpty, varNull, varSmallint, varInteger, varSingle, varDouble, varCurrency, varDate, varError,
                      varBoolean, varVariant, varDecimal, varShortInt, varByte, varWord, varLongWord, varInt64,
                      varUInt64, varAny, VarType(258)})
        EXPECT_FALSE(VarIsManagedType(t)) << t;
    // By-reference values never own their target.
    EXPECT_FALSE(VarIsManagedType(varByRef | varOleStr));
    EXPECT_FALSE(VarIsManagedType(varRefVariant));
    EXPECT_FALSE(VarIsManagedType(varByRef | varArray | varInteger));
}

TEST(VariantConstruct, TypedConstructorsPickTheTypeCode) {
    EXPECT_EQ(Variant(true).VType, varBoolean);
    EXPECT_EQ(Variant(true).VBoolean, -1);
    EXPECT_EQ(Variant(false).VBoolean, 0);
    EXPECT_EQ(Variant(std::int8_t{-5}).VType, varShortInt);
    EXPECT_EQ(Variant(std::uint8_t{200}).VType, varByte);
    EXPECT_EQ(Variant(std::int16_t{-5}).VType, varSmallint);
    EXPECT_EQ(Variant(std::uint16_t{60000}).VType, varWord);
    EXPECT_EQ(Variant(7).VType, varInteger);
    EXPECT_EQ(Variant(7u).VType, varLongWord);
    EXPECT_EQ(Variant(7LL).VType, varInt64);
    EXPECT_EQ(Variant(std::int64_t{7}).VType, varInt64);
    EXPECT_EQ(Variant(std::uint64_t{7}).VType, varUInt64);
    EXPECT_EQ(Variant(1.5f).VType, varSingle);
    EXPECT_EQ(Variant(1.5).VType, varDouble);
    EXPECT_EQ(Variant(Currency{15000}).VType, varCurrency);
    EXPECT_EQ(Variant::FromDate(2.5).VType, varDate);
    EXPECT_EQ(Variant::FromError(-3).VError, -3);
    EXPECT_EQ(Variant::Null().VType, varNull);
    EXPECT_EQ(Variant(u"abc").VType, varOleStr);
}

TEST(VariantConstruct, NarrowFieldsReadBack) {
    EXPECT_EQ(Variant(std::int8_t{-5}).VShortInt, -5);
    EXPECT_EQ(Variant(std::uint8_t{200}).VByte, 200);
    EXPECT_EQ(Variant(std::int16_t{-30000}).VSmallInt, -30000);
    EXPECT_EQ(Variant(std::uint16_t{60000}).VWord, 60000);
    EXPECT_EQ(Variant(-7).VInteger, -7);
    EXPECT_EQ(Variant(0xFFFFFFFFu).VLongWord, 0xFFFFFFFFu);
    EXPECT_EQ(Variant(std::uint64_t{0xFFFFFFFFFFFFFFFFull}).VUInt64, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_FLOAT_EQ(Variant(1.5f).VSingle, 1.5f);
}

TEST(VariantString, CopySharesTheBufferAndMoveEmptiesTheSource) {
    const UString s(u"shared text");
    Variant a(s);
    Variant b = a;
    EXPECT_TRUE(a.AsUString().SharesBufferWith(s));
    EXPECT_TRUE(b.AsUString().SharesBufferWith(s));
    EXPECT_EQ(b.StrView(), u"shared text");
    Variant c = std::move(b);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(c.StrView(), u"shared text");
    c.Clear();
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(a.StrView(), u"shared text");
}

TEST(VariantString, EmptyStringOwnsNoBuffer) {
    Variant e(UString{});
    EXPECT_EQ(e.VType, varOleStr);
    EXPECT_EQ(e.VOleStr, nullptr);
    EXPECT_EQ(e.StrView(), u"");
    Variant copy = e;
    EXPECT_EQ(copy.StrView(), u"");
}

TEST(VariantInterface, CopyAddRefsAndClearReleases) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    EXPECT_EQ(obj->RefCount(), 1);
    {
        Variant v(static_cast<IDispatch*>(obj.Get()));
        EXPECT_EQ(obj->RefCount(), 2);
        Variant w = v;
        EXPECT_EQ(obj->RefCount(), 3);
        Variant m = std::move(w);
        EXPECT_EQ(obj->RefCount(), 3);  // a move touches no count
        m = Variant(5);
        EXPECT_EQ(obj->RefCount(), 2);
    }
    EXPECT_EQ(obj->RefCount(), 1);
}

TEST(VariantInterface, NilDispatchIsAValue) {
    Variant nil(static_cast<IDispatch*>(nullptr));
    EXPECT_EQ(nil.VType, varDispatch);
    Variant copy = nil;
    EXPECT_EQ(copy.Dispatch(), nullptr);
}

TEST(VariantInterface, LastReferenceFreesTheObject) {
    const int before = test::gLiveTestObjects;
    {
        Variant v(static_cast<IDispatch*>(new TTestDispatch));
        EXPECT_EQ(test::gLiveTestObjects, before + 1);
        Variant w = v;
        v.Clear();
        EXPECT_EQ(test::gLiveTestObjects, before + 1);
    }
    EXPECT_EQ(test::gLiveTestObjects, before);
}

TEST(VariantAssign, SelfAssignmentAndSelfMoveKeepTheValue) {
    Variant s(u"keep");
    Variant& alias = s;
    s = alias;
    EXPECT_EQ(s.StrView(), u"keep");
    s.MoveFrom(alias);
    EXPECT_EQ(s.StrView(), u"keep");
    s = std::move(alias);
    EXPECT_EQ(s.StrView(), u"keep");
}

TEST(VariantAssign, AssigningAnElementOfTheHeldArrayIsSafe) {
    // The value assigned lives inside the array the target releases.
    SafeArray* a = SafeArray::Create1(varVariant, 0, 1);
    Variant text(u"inner");
    a->Put(std::array{0}, text);
    Variant v = Variant::FromArray(a);
    const Variant& element = *static_cast<Variant*>(v.MutableArray().ElementPtr(std::array{0}));
    v.Assign(element);
    EXPECT_EQ(v.StrView(), u"inner");
}

TEST(VariantAssign, DetachAndAdoptHandOverOwnership) {
    Variant v(u"owned");
    VarData raw = v.Detach();
    EXPECT_TRUE(v.IsEmpty());
    Variant back = Variant::Adopt(raw);
    EXPECT_EQ(back.StrView(), u"owned");
}

TEST(VariantAssign, TypedSettersReleaseTheOldValue) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    Variant v(static_cast<IDispatch*>(obj.Get()));
    v.SetInteger(3);
    EXPECT_EQ(obj->RefCount(), 1);
    EXPECT_EQ(v.VInteger, 3);
    v.SetString(u"x");
    v.SetDouble(2.5);
    EXPECT_EQ(v.VDouble, 2.5);
    v.SetBool(true);
    EXPECT_EQ(v.VBoolean, -1);
    v.SetNull();
    EXPECT_TRUE(v.IsNull());
}

TEST(VariantReference, DerefFollowsChainsToTheFirstNonReference) {
    Variant target(42);
    Variant r1 = Variant::RefTo(&target);
    Variant r2 = Variant::RefTo(&r1);
    EXPECT_EQ(r2.VType, varRefVariant);
    EXPECT_EQ(&r2.Deref(), static_cast<const VarData*>(&target));
    r2.DerefMut() = Variant(u"written");
    EXPECT_EQ(target.StrView(), u"written");
    EXPECT_EQ(VarTypeOf(r2), varOleStr);
    EXPECT_EQ(VarToUString(r2), u"written");
}

TEST(VariantReference, ReferencesOwnNothing) {
    ComPtr<TTestDispatch> obj(new TTestDispatch);
    Variant target(static_cast<IDispatch*>(obj.Get()));
    {
        Variant ref = Variant::RefTo(&target);
        Variant copy = ref;
        EXPECT_EQ(obj->RefCount(), 2);
    }
    EXPECT_EQ(obj->RefCount(), 2);
}

TEST(VariantReference, ForeignByRefFormsAreReadThrough) {
    std::int32_t i = 17;
    VarData r(varByRef | varInteger, 0);
    r.VPointer = &i;
    EXPECT_EQ(VarTypeOf(r), varInteger);
    EXPECT_EQ(VarToInt32(r), 17);
    double d = 2.5;
    VarData rd(varByRef | varDouble, 0);
    rd.VPointer = &d;
    EXPECT_EQ(VarToDouble(rd), 2.5);
    UString s(u"by ref");
    void* raw = s.ReleaseRaw();
    VarData rs(varByRef | varOleStr, 0);
    rs.VPointer = &raw;
    EXPECT_EQ(VarToUString(rs), u"by ref");
    UString::ReleaseRawRef(raw);
}

}  // namespace
}  // namespace xan::plat

namespace xan::plat {
namespace {

TEST(VariantArray, AnArrayValueWithoutStorageIsHarmless) {
    // Hosts may hand in an array type with no array behind it.
    Variant v = Variant::Adopt(VarData(varArray | varInteger, 0));
    Variant copy = v;
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { v.MutableArray(); }, u"Variant is not an array"));
    EXPECT_TRUE(test::Raises<EVariantNotAnArrayError>([&] { VarArrayDimCount(copy); }, u"Variant is not an array"));
}

}  // namespace
}  // namespace xan::plat

#include <thread>

namespace xan::plat {
namespace {

TEST(VariantThreads, CopiesOnSeveralThreadsKeepCountsExact) {
    ComPtr<test::TTestDispatch> obj(new test::TTestDispatch);
    const Variant text(u"shared between threads");
    const Variant disp(static_cast<IDispatch*>(obj.Get()));
    const Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 4));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i) {
                Variant a = text, b = disp, c = arr;
                if (i % 100 == 0) VarArrayPut(c, std::array{t}, Variant(i));  // clones its own copy
            }
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(obj->RefCount(), 2);
    EXPECT_EQ(arr.Array().RefCount(), 1);
    EXPECT_EQ(VarArrayGet(arr, std::array{0}).VInteger, 0);
}

}  // namespace
}  // namespace xan::plat
