// Conversions between every pair of scalar types, with their range and type failures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "OleTestSupport.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat {
namespace {

using test::Raises;

template <class F>
::testing::AssertionResult Mismatch(F&& f) {
    return Raises<EVariantTypeCastError>(f, u"Invalid variant type conversion");
}
template <class F>
::testing::AssertionResult Overflows(F&& f) {
    return Raises<EVariantOverflowError>(f, u"Overflow");
}

Variant Cast(const VarData& v, VarType t) {
    Variant out;
    VarCast(out, v, t);
    return out;
}

// One sample of every scalar type.
Variant Sample(VarType t) {
    switch (t) {
    case varSmallint: return Variant(std::int16_t{12});
    case varInteger: return Variant(12);
    case varSingle: return Variant(12.0f);
    case varDouble: return Variant(12.0);
    case varCurrency: return Variant(Currency{120000});
    case varDate: return Variant::FromDate(12.0);
    case varOleStr: return Variant(u"12");
    case varError: return Variant::FromError(12);
    case varBoolean: return Variant(true);
    case varShortInt: return Variant(std::int8_t{12});
    case varByte: return Variant(std::uint8_t{12});
    case varWord: return Variant(std::uint16_t{12});
    case varLongWord: return Variant(12u);
    case varInt64: return Variant(std::int64_t{12});
    case varUInt64: return Variant(std::uint64_t{12});
    default: return Variant();
    }
}

constexpr VarType kScalars[] = {varSmallint, varInteger, varSingle, varDouble, varCurrency,
                                varDate,     varOleStr,  varError,  varBoolean, varShortInt,
                                varByte,     varWord,    varLongWord, varInt64, varUInt64};

bool ErrorPairFails(VarType from, VarType to) {
    // Error codes convert to and from integers and the numeric types only.
    if (from == varError) return to == varBoolean || to == varDate || to == varOleStr;
    if (to == varError) return !(from == varSmallint || from == varInteger || from == varShortInt || from == varByte ||
                                 from == varWord || from == varLongWord || from == varInt64 || from == varUInt64);
    return false;
}

TEST(VarCastPairs, EveryScalarPairConvertsOrFailsByTheRule) {
    for (VarType from : kScalars)
        for (VarType to : kScalars) {
            const Variant src = Sample(from);
            if (ErrorPairFails(from, to)) {
                EXPECT_TRUE(Mismatch([&] { Cast(src, to); })) << from << " -> " << to;
                continue;
            }
            Variant out;
            ASSERT_NO_THROW(out = Cast(src, to)) << from << " -> " << to;
            EXPECT_EQ(out.VType, to) << from << " -> " << to;
            if (to == varBoolean) {
                EXPECT_TRUE(out.AsBool()) << from;
            } else if (to == varOleStr) {
                EXPECT_EQ(out.StrView(), from == varBoolean ? u"True" : from == varDate ? u"1/11/1900" : u"12") << from;
            } else if (from == varBoolean && (to == varByte || to == varWord || to == varLongWord || to == varUInt64)) {
                // True is all bits set: an unsigned target gets its maximum.
                const int bits = to == varByte ? 8 : to == varWord ? 16 : to == varLongWord ? 32 : 64;
                EXPECT_EQ(VarToUInt64(out), ~0ull >> (64 - bits)) << to;
            } else {
                EXPECT_EQ(VarToDouble(out), from == varBoolean ? -1.0 : 12.0) << from << " -> " << to;
            }
        }
}

TEST(VarToBool, NumbersStringsAndObjects) {
    EXPECT_FALSE(VarToBool(Variant()));
    EXPECT_FALSE(VarToBool(Variant(0)));
    EXPECT_TRUE(VarToBool(Variant(-3)));
    EXPECT_TRUE(VarToBool(Variant(0.25)));
    EXPECT_FALSE(VarToBool(Variant(Currency{0})));
    EXPECT_TRUE(VarToBool(Variant(u"True")));
    EXPECT_TRUE(VarToBool(Variant(u" tRUE ")));
    EXPECT_FALSE(VarToBool(Variant(u"FALSE")));
    EXPECT_TRUE(VarToBool(Variant(u"2")));
    EXPECT_FALSE(VarToBool(Variant(u"0")));
    EXPECT_FALSE(VarToBool(Variant(static_cast<IDispatch*>(nullptr))));
    EXPECT_TRUE(Mismatch([] { VarToBool(Variant::Null()); }));
    EXPECT_TRUE(Mismatch([] { VarToBool(Variant(u"yes")); }));
    EXPECT_TRUE(Mismatch([] { VarToBool(Variant::FromError(1)); }));
    ComPtr<test::TTestDispatch> obj(new test::TTestDispatch);
    EXPECT_TRUE(Mismatch([&] { VarToBool(Variant(static_cast<IDispatch*>(obj.Get()))); }));
}

TEST(VarToInt, RoundingIsHalfToEven) {
    EXPECT_EQ(VarToInt32(Variant(2.5)), 2);
    EXPECT_EQ(VarToInt32(Variant(3.5)), 4);
    EXPECT_EQ(VarToInt32(Variant(-2.5)), -2);
    EXPECT_EQ(VarToInt32(Variant(-2.6)), -3);
    EXPECT_EQ(VarToInt32(Variant(Currency{25000})), 2);
    EXPECT_EQ(VarToInt32(Variant(Currency{35000})), 4);
    EXPECT_EQ(VarToInt32(Variant(Currency{-25001})), -3);
    EXPECT_EQ(VarToInt32(Variant(u"2.5")), 2);
    EXPECT_EQ(VarToInt64(Variant::FromDate(1.5)), 2);
}

TEST(VarToInt, RangesAreChecked) {
    EXPECT_EQ(VarToInt32(Variant(std::int64_t{INT32_MAX})), INT32_MAX);
    EXPECT_TRUE(Overflows([] { VarToInt32(Variant(std::int64_t{INT32_MAX} + 1)); }));
    EXPECT_TRUE(Overflows([] { VarToInt32(Variant(std::uint64_t{1} << 63)); }));
    EXPECT_TRUE(Overflows([] { VarToInt32(Variant(3e9)); }));
    EXPECT_TRUE(Overflows([] { VarToInt64(Variant(1e19)); }));
    EXPECT_TRUE(Overflows([] { VarToInt64(Variant(std::nan(""))); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(256), varByte); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(-1), varByte); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(128), varShortInt); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(40000), varSmallint); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(70000), varWord); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(-1), varLongWord); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(-1), varUInt64); }));
    EXPECT_TRUE(Overflows([] { Cast(Variant(u"99999999999999999999"), varInt64); }));
    EXPECT_EQ(Cast(Variant(255), varByte).VByte, 255);
    EXPECT_EQ(Cast(Variant(-128), varShortInt).VShortInt, -128);
    EXPECT_EQ(Cast(Variant(4294967295.0), varLongWord).VLongWord, 4294967295u);
    EXPECT_EQ(VarToUInt64(Variant(1.8e19)), 18000000000000000000ull);
    EXPECT_EQ(VarToInt64(Variant(std::int64_t{INT64_MIN})), INT64_MIN);
}

TEST(VarToInt, StringsParseDecimalHexAndFloat) {
    EXPECT_EQ(VarToInt32(Variant(u" 42 ")), 42);
    EXPECT_EQ(VarToInt32(Variant(u"-17")), -17);
    EXPECT_EQ(VarToInt32(Variant(u"&H1F")), 31);
    EXPECT_EQ(VarToInt32(Variant(u"&o17")), 15);
    EXPECT_EQ(VarToInt32(Variant(u"$10")), 16);
    EXPECT_EQ(VarToInt32(Variant(u"1e3")), 1000);
    EXPECT_EQ(VarToInt64(Variant(u"9223372036854775807")), INT64_MAX);
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant(u"abc")); }));
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant(u"")); }));
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant(u"True")); }));
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant(u"&HZZ")); }));
}

TEST(VarToInt, EmptyBooleanNullAndObjects) {
    EXPECT_EQ(VarToInt32(Variant()), 0);
    EXPECT_EQ(VarToInt32(Variant(true)), -1);
    EXPECT_EQ(VarToInt32(Variant(false)), 0);
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant::Null()); }));
    EXPECT_TRUE(Mismatch([] { VarToInt32(Variant(static_cast<IDispatch*>(nullptr))); }));
    EXPECT_TRUE(Mismatch([] { VarToInt64(Variant(varDecimal, 0, std::in_place)); }));
    Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 1));
    EXPECT_TRUE(Mismatch([&] { VarToInt32(arr); }));
}

TEST(VarToDouble, NumbersStringsAndLocale) {
    EXPECT_EQ(VarToDouble(Variant(u"1.25")), 1.25);
    EXPECT_EQ(VarToDouble(Variant(Currency{12345})), 1.2345);
    EXPECT_EQ(VarToDouble(Variant(std::uint64_t{1} << 63)), 9223372036854775808.0);
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(VarToDouble(Variant(u"1,25"), comma), 1.25);
    EXPECT_TRUE(Mismatch([&] { VarToDouble(Variant(u"1.25"), comma); }));
    EXPECT_TRUE(Mismatch([] { VarToDouble(Variant(u"1/2/2000")); }));
}

TEST(VarToSingle, OverflowBeyondTheSingleRange) {
    EXPECT_EQ(VarToSingle(Variant(1.5)), 1.5f);
    EXPECT_TRUE(Overflows([] { VarToSingle(Variant(1e39)); }));
    EXPECT_TRUE(std::isinf(VarToSingle(Variant(std::numeric_limits<double>::infinity()))));
}

TEST(VarToCurrency, ScaledExactlyAndRoundedHalfToEven) {
    EXPECT_EQ(VarToCurrency(Variant(1.23456)).scaled, 12346);
    EXPECT_EQ(VarToCurrency(Variant(0.00005)).scaled, 0);
    EXPECT_EQ(VarToCurrency(Variant(7)).scaled, 70000);
    EXPECT_EQ(VarToCurrency(Variant(u"922337203685477.5807")).scaled, INT64_MAX);
    EXPECT_EQ(VarToCurrency(Variant(u"-922337203685477.5808")).scaled, INT64_MIN);
    EXPECT_EQ(VarToCurrency(Variant(u"0.00005")).scaled, 0);
    EXPECT_EQ(VarToCurrency(Variant(u"0.00015")).scaled, 2);
    EXPECT_EQ(VarToCurrency(Variant(u"0.000051")).scaled, 1);
    EXPECT_EQ(VarToCurrency(Variant(u"1.5e2")).scaled, 1500000);
    EXPECT_TRUE(Overflows([] { VarToCurrency(Variant(u"922337203685477.5808")); }));
    EXPECT_TRUE(Overflows([] { VarToCurrency(Variant(1e16)); }));
    EXPECT_TRUE(Overflows([] { VarToCurrency(Variant(std::int64_t{INT64_MAX})); }));
    EXPECT_TRUE(Mismatch([] { VarToCurrency(Variant(u"1.2.3")); }));
}

TEST(VarToDate, NumbersAndDateTexts) {
    EXPECT_EQ(VarToDate(Variant(36526)), 36526.0);
    EXPECT_EQ(VarToDate(Variant(u"1/1/2000")), EncodeDate(2000, 1, 1));
    EXPECT_EQ(VarToDate(Variant(u"36526.5")), 36526.5);
    EXPECT_TRUE(Mismatch([] { VarToDate(Variant(u"not a date")); }));
    EXPECT_TRUE(Mismatch([] { VarToDate(Variant::FromError(1)); }));
    EXPECT_TRUE(Overflows([] { VarToDate(Variant(1e10)); }));
    EXPECT_TRUE(Overflows([] { VarToDate(Variant(-1e7)); }));
}

TEST(VarToUString, TextOfEveryScalar) {
    EXPECT_EQ(VarToUString(Variant()), u"");
    EXPECT_EQ(VarToUString(Variant(true)), u"True");
    EXPECT_EQ(VarToUString(Variant(false)), u"False");
    EXPECT_EQ(VarToUString(Variant(-12)), u"-12");
    EXPECT_EQ(VarToUString(Variant(std::uint64_t{18446744073709551615ull})), u"18446744073709551615");
    EXPECT_EQ(VarToUString(Variant(0.1f)), u"0.1");
    EXPECT_EQ(VarToUString(Variant(2.5)), u"2.5");
    EXPECT_EQ(VarToUString(Variant(Currency{12345})), u"1.2345");
    EXPECT_EQ(VarToUString(Variant::FromDate(EncodeDate(2000, 1, 2))), u"1/2/2000");
    TFormatSettings comma;
    comma.DecimalSeparator = u',';
    EXPECT_EQ(VarToUString(Variant(2.5), comma), u"2,5");
    EXPECT_TRUE(Mismatch([] { VarToUString(Variant::Null()); }));
    EXPECT_TRUE(Mismatch([] { VarToUString(Variant::FromError(3)); }));
    EXPECT_TRUE(Mismatch([] { VarToUString(Variant(static_cast<IDispatch*>(nullptr))); }));
}

TEST(VarToError, IntegersOnly) {
    EXPECT_EQ(VarToError(Variant(-5)), -5);
    EXPECT_EQ(VarToError(Variant::FromError(7)), 7);
    EXPECT_TRUE(Overflows([] { VarToError(Variant(std::int64_t{1} << 40)); }));
    EXPECT_TRUE(Mismatch([] { VarToError(Variant(1.0)); }));
}

TEST(VarToDispatch, EmptyNilObjectsAndFailures) {
    EXPECT_EQ(VarToDispatch(Variant()), nullptr);
    EXPECT_EQ(VarToDispatch(Variant::Null()), nullptr);
    ComPtr<test::TTestDispatch> obj(new test::TTestDispatch);
    IDispatch* d = obj.Get();
    ComPtr<IDispatch> got = ComPtr<IDispatch>::Attach(VarToDispatch(Variant(d)));
    EXPECT_EQ(got.Get(), d);
    Variant unk(static_cast<IUnknown*>(d));
    ComPtr<IDispatch> viaQuery = ComPtr<IDispatch>::Attach(VarToDispatch(unk));
    EXPECT_EQ(viaQuery.Get(), d);
    EXPECT_TRUE(Mismatch([] { VarToDispatch(Variant(1)); }));
}

TEST(VarCast, SpecialTargets) {
    const Variant s(u"5");
    EXPECT_TRUE(Cast(s, varEmpty).IsEmpty());
    EXPECT_TRUE(Cast(s, varNull).IsNull());
    EXPECT_EQ(Cast(s, varVariant).StrView(), u"5");
    const Variant str8 = Cast(Variant(5), varString);
    EXPECT_EQ(str8.VType, varString);
    EXPECT_EQ(VarToUString(str8), u"5");
    EXPECT_TRUE(Mismatch([&] { Cast(s, varDecimal); }));
    EXPECT_TRUE(Raises<EVariantBadVarTypeError>([&] { Cast(s, VarType(99)); }, u"Invalid variant type"));
    EXPECT_TRUE(Raises<EVariantBadVarTypeError>([&] { Cast(s, varByRef | varInteger); }, u"Invalid variant type"));
}

TEST(VarCast, DestinationMayBeTheSource) {
    Variant v(u"12");
    VarCast(v, v, varInteger);
    EXPECT_EQ(v.VType, varInteger);
    EXPECT_EQ(v.VInteger, 12);
}

TEST(VarCast, FollowsReferences) {
    Variant target(u"3.5");
    Variant ref = Variant::RefTo(&target);
    EXPECT_EQ(Cast(ref, varDouble).VDouble, 3.5);
    EXPECT_EQ(Cast(ref, varVariant).VType, varOleStr);
}

TEST(VarCast, ArraysConvertElementByElement) {
    SafeArray* a = SafeArray::Create1(varVariant, 1, 2);
    a->Put(std::array{1}, Variant(u"7"));
    a->Put(std::array{2}, Variant(2.5));
    const Variant arr = Variant::FromArray(a);
    const Variant ints = Cast(arr, varArray | varInteger);
    ASSERT_EQ(ints.VType, varArray | varInteger);
    Variant e;
    ints.Array().Get(std::array{1}, e);
    EXPECT_EQ(e.VInteger, 7);
    ints.Array().Get(std::array{2}, e);
    EXPECT_EQ(e.VInteger, 2);
    EXPECT_EQ(ints.Array().Low(1), 1);
    EXPECT_TRUE(Mismatch([] { Cast(Variant(1), varArray | varInteger); }));
    EXPECT_TRUE(Mismatch([&] { Cast(arr, varInteger); }));
}

}  // namespace
}  // namespace xan::plat
