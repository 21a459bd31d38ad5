// Negate and Not: result types and values of every type, wrap-around without undefined
// behaviour, and the failures.
#include <gtest/gtest.h>

#include <cmath>

#include "OleTestSupport.h"
#include "platform/ole/SafeArray.h"

namespace xan::plat {
namespace {

using test::Raises;

Variant Neg(const Variant& v) {
    Variant r;
    VarNeg(r, v);
    return r;
}
Variant Not(const Variant& v) {
    Variant r;
    VarNot(r, v);
    return r;
}

void Expect(const Variant& r, VarType type, double value, int line) {
    EXPECT_EQ(r.VType, type) << "line " << line;
    EXPECT_EQ(VarToDouble(r), value) << "line " << line;
}
#define EXPECT_VAR(r, type, value) Expect(r, type, value, __LINE__)

TEST(VarNeg, ResultTypes) {
    EXPECT_VAR(Neg(Variant(std::int16_t{5})), varSmallint, -5);
    EXPECT_VAR(Neg(Variant(std::int16_t{-32768})), varSmallint, -32768);  // 16-bit wrap
    EXPECT_VAR(Neg(Variant(INT32_MIN)), varInteger, INT32_MIN);            // 32-bit wrap
    EXPECT_VAR(Neg(Variant(std::int8_t{-128})), varShortInt, -128);
    EXPECT_VAR(Neg(Variant(std::int64_t{INT64_MIN})), varInt64, -9223372036854775808.0);
    EXPECT_VAR(Neg(Variant(1.5f)), varSingle, -1.5);
    EXPECT_VAR(Neg(Variant(1.5)), varDouble, -1.5);
    EXPECT_VAR(Neg(Variant(Currency{15000})), varCurrency, -1.5);
    EXPECT_VAR(Neg(Variant::FromDate(3.25)), varDate, -3.25);
    EXPECT_VAR(Neg(Variant(true)), varSmallint, -1);
    EXPECT_VAR(Neg(Variant(false)), varSmallint, 0);
    EXPECT_VAR(Neg(Variant(std::uint8_t{200})), varSmallint, -200);
    EXPECT_VAR(Neg(Variant(std::uint16_t{60000})), varInteger, -60000);
    EXPECT_VAR(Neg(Variant(0x7FFFFFFFu)), varInteger, -2147483647);
    EXPECT_VAR(Neg(Variant(0x80000000u)), varInt64, -2147483648.0);
    EXPECT_VAR(Neg(Variant(std::uint64_t{1} << 63)), varInt64, -9223372036854775808.0);
    EXPECT_VAR(Neg(Variant()), varSmallint, 0);
    EXPECT_VAR(Neg(Variant(u"2.5")), varDouble, -2.5);
    EXPECT_TRUE(Neg(Variant::Null()).IsNull());
}

TEST(VarNeg, Failures) {
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Neg(Variant(Currency{INT64_MIN})); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Neg(Variant(std::uint64_t{UINT64_MAX})); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Neg(Variant(u"x")); }, u"Invalid variant type conversion"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Neg(Variant::FromError(1)); }, u"Invalid variant type conversion"));
    const Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 1));
    EXPECT_TRUE(Raises<EVariantInvalidOpError>([&] { Neg(arr); }, u"Invalid variant operation"));
}

TEST(VarNot, IntegersKeepTheirType) {
    EXPECT_VAR(Not(Variant(std::int16_t{0})), varSmallint, -1);
    EXPECT_VAR(Not(Variant(5)), varInteger, -6);
    EXPECT_VAR(Not(Variant(std::int8_t{0})), varShortInt, -1);
    EXPECT_VAR(Not(Variant(std::uint8_t{0x0F})), varByte, 0xF0);
    EXPECT_VAR(Not(Variant(std::uint16_t{0})), varWord, 65535);
    EXPECT_VAR(Not(Variant(0u)), varLongWord, 4294967295.0);
    EXPECT_VAR(Not(Variant(std::int64_t{0})), varInt64, -1);
    EXPECT_VAR(Not(Variant(std::uint64_t{0})), varUInt64, 18446744073709551615.0);
}

TEST(VarNot, BooleansAndRoundedNumbers) {
    EXPECT_VAR(Not(Variant(true)), varBoolean, 0);
    EXPECT_VAR(Not(Variant(false)), varBoolean, -1);
    EXPECT_VAR(Not(Variant(2.5)), varInteger, -3);  // 2.5 rounds to 2
    EXPECT_VAR(Not(Variant(3.5)), varInteger, -5);  // 3.5 rounds to 4
    EXPECT_VAR(Not(Variant(3.5f)), varInteger, -5);
    EXPECT_VAR(Not(Variant(Currency{25000})), varInteger, -3);
    EXPECT_VAR(Not(Variant::FromDate(1.0)), varInteger, -2);
    EXPECT_VAR(Not(Variant(4e9)), varInt64, -4000000001.0);
    EXPECT_VAR(Not(Variant()), varSmallint, -1);
    EXPECT_VAR(Not(Variant(u"7")), varInteger, -8);
    EXPECT_VAR(Not(Variant(u"True")), varBoolean, 0);
    EXPECT_TRUE(Not(Variant::Null()).IsNull());
}

TEST(VarNot, Failures) {
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Not(Variant(1e300)); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Not(Variant(u"x")); }, u"Invalid variant type conversion"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Not(Variant(static_cast<IDispatch*>(nullptr))); },
                                              u"Invalid variant type conversion"));
    const Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 1));
    EXPECT_TRUE(Raises<EVariantInvalidOpError>([&] { Not(arr); }, u"Invalid variant operation"));
}

TEST(VarUnary, ResultMayBeTheOperandAndReferencesAreFollowed) {
    Variant v(5);
    VarNeg(v, v);
    EXPECT_EQ(v.VInteger, -5);
    Variant ref = Variant::RefTo(&v);
    Variant r;
    VarNot(r, ref);
    EXPECT_EQ(r.VInteger, 4);
}

}  // namespace
}  // namespace xan::plat
