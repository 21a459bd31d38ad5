// The general binary operations: result types and values, promotion, Null and Empty rules,
// string coercion, dates and currency, and the error cases.
#include <gtest/gtest.h>

#include <cmath>

#include "OleTestSupport.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/SafeArray.h"

namespace xan::plat {
namespace {

using test::Raises;

Variant Op(const Variant& l, const Variant& r, VarOp op) {
    Variant res;
    VarBinaryOp(res, l, r, op);
    return res;
}

struct Case {
    Variant l, r;
    VarOp op;
    VarType type;
    double value;
};

void CheckTable(const std::vector<Case>& cases) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const Variant res = Op(c.l, c.r, c.op);
        EXPECT_EQ(res.VType, c.type) << "case " << i;
        EXPECT_EQ(VarToDouble(res), c.value) << "case " << i;
    }
}

const Variant I(std::int32_t v) { return Variant(v); }
const Variant S16(std::int16_t v) { return Variant(v); }
const Variant B8(std::uint8_t v) { return Variant(v); }
const Variant I8(std::int8_t v) { return Variant(v); }
const Variant W(std::uint16_t v) { return Variant(v); }
const Variant LW(std::uint32_t v) { return Variant(v); }
const Variant I64(std::int64_t v) { return Variant(v); }
const Variant U64(std::uint64_t v) { return Variant(v); }
const Variant Cy(double v) { return Variant(Currency{static_cast<Int64>(std::llround(v * 10000))}); }
const Variant Dt(double v) { return Variant::FromDate(v); }

TEST(VarArith, IntegerResultTypesKeepTheNarrowestCommonType) {
    CheckTable({
        {B8(1), B8(2), VarOp::Add, varByte, 3},
        {I8(1), I8(2), VarOp::Add, varShortInt, 3},
        {B8(1), I8(2), VarOp::Add, varSmallint, 3},
        {S16(1), B8(2), VarOp::Add, varSmallint, 3},
        {W(1), W(1), VarOp::Add, varWord, 2},
        {W(1), S16(1), VarOp::Add, varInteger, 2},
        {I(2), I(3), VarOp::Mul, varInteger, 6},
        {LW(1), I(1), VarOp::Add, varInt64, 2},
        {LW(1), W(1), VarOp::Add, varLongWord, 2},
        {I64(5), I(1), VarOp::Sub, varInt64, 4},
        {U64(5), U64(1), VarOp::Sub, varUInt64, 4},
        {U64(5), I(1), VarOp::Add, varInt64, 6},
        {Variant(true), Variant(true), VarOp::Add, varSmallint, -2},
        {Variant(true), I(1), VarOp::Add, varInteger, 0},
        {Variant(true), B8(1), VarOp::Add, varSmallint, 0},
    });
}

TEST(VarArith, OverflowClimbsToTheNextWiderType) {
    CheckTable({
        {B8(200), B8(100), VarOp::Add, varSmallint, 300},
        {B8(1), B8(2), VarOp::Sub, varSmallint, -1},
        {I8(100), I8(100), VarOp::Add, varSmallint, 200},
        {S16(32767), S16(1), VarOp::Add, varInteger, 32768},
        {W(65535), W(1), VarOp::Add, varInteger, 65536},
        {I(2147483647), I(1), VarOp::Add, varInt64, 2147483648.0},
        {I(-2147483647 - 1), I(1), VarOp::Sub, varInt64, -2147483649.0},
        {I(65536), I(65536), VarOp::Mul, varInt64, 4294967296.0},
        {LW(0), LW(1), VarOp::Sub, varInt64, -1},
        {I64(INT64_MAX), I64(1), VarOp::Add, varDouble, 9223372036854775808.0},
        {I64(INT64_MAX), I64(2), VarOp::Mul, varDouble, 18446744073709551614.0},
        {U64(UINT64_MAX), U64(UINT64_MAX), VarOp::Mul, varDouble, 18446744073709551615.0 * 18446744073709551615.0},
        {U64(0), U64(1), VarOp::Sub, varInt64, -1},
    });
}

TEST(VarArith, FloatingPointTypes) {
    CheckTable({
        {Variant(1.5f), I(1), VarOp::Add, varDouble, 2.5},
        {Variant(1.5f), S16(1), VarOp::Add, varSingle, 2.5},
        {Variant(1.5f), Variant(2.0f), VarOp::Mul, varSingle, 3.0},
        {Variant(1.5f), Variant(1.5), VarOp::Add, varDouble, 3.0},
        {Variant(3e38f), Variant(3e38f), VarOp::Add, varDouble, static_cast<double>(3e38f) * 2},
        {Variant(0.5), I64(2), VarOp::Mul, varDouble, 1.0},
        {Variant(1.5), Cy(2), VarOp::Add, varDouble, 3.5},
        {Variant(1.0), Variant(4.0), VarOp::Div, varDouble, 0.25},
        {Variant(1.0f), Variant(4.0f), VarOp::Div, varSingle, 0.25},
    });
}

TEST(VarArith, DivideGivesDoubleAndRefusesZero) {
    CheckTable({
        {I(7), I(2), VarOp::Div, varDouble, 3.5},
        {B8(1), B8(4), VarOp::Div, varDouble, 0.25},
        {Cy(7), I(2), VarOp::Div, varCurrency, 3.5},
        {Cy(1), I(3), VarOp::Div, varCurrency, 0.3333},
        {Cy(7), Cy(2), VarOp::Div, varDouble, 3.5},
        {Dt(10), I(4), VarOp::Div, varDouble, 2.5},
    });
    for (const Variant& zero : {I(0), Variant(0.0), Cy(0), Variant(u"0"), Variant(), Variant(false)})
        EXPECT_TRUE(Raises<EDivByZero>([&] { Op(I(1), zero, VarOp::Div); }, u"Division by zero"));
}

TEST(VarArith, IntegerDivideAndModulo) {
    CheckTable({
        {I(7), I(2), VarOp::IntDiv, varInteger, 3},
        {I(-7), I(2), VarOp::IntDiv, varInteger, -3},
        {I(-7), I(2), VarOp::Mod, varInteger, -1},
        {I(7), I(-2), VarOp::Mod, varInteger, 1},
        {B8(7), B8(2), VarOp::IntDiv, varByte, 3},
        {I64(7), I(2), VarOp::Mod, varInt64, 1},
        {Variant(7.5), I(2), VarOp::IntDiv, varInteger, 4},   // 7.5 rounds to 8
        {Variant(6.5), I(4), VarOp::Mod, varInteger, 2},      // 6.5 rounds to 6
        {Variant(1e10), I(1), VarOp::IntDiv, varInt64, 1e10},
        {Variant(u"9"), Variant(u"4"), VarOp::IntDiv, varInteger, 2},
        {Cy(9), I(4), VarOp::Mod, varInteger, 1},
        {S16(-32768), S16(-1), VarOp::IntDiv, varInteger, 32768},
        {I(-2147483647 - 1), I(-1), VarOp::IntDiv, varInt64, 2147483648.0},
        {I(-2147483647 - 1), I(-1), VarOp::Mod, varInteger, 0},
        {I64(INT64_MIN), I64(-1), VarOp::Mod, varInt64, 0},
    });
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Op(I64(INT64_MIN), I64(-1), VarOp::IntDiv); }, u"Overflow"));
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(I(7), I(0), VarOp::IntDiv); }, u"Division by zero"));
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(I(7), Variant(0.4), VarOp::Mod); }, u"Division by zero"));
}

TEST(VarArith, ShiftsMaskTheCountInsteadOfOverflowing) {
    CheckTable({
        {I(1), I(4), VarOp::Shl, varInteger, 16},
        {I(1), I(33), VarOp::Shl, varInteger, 2},
        {I(1), I(31), VarOp::Shl, varInteger, -2147483648.0},
        {I(-1), I(28), VarOp::Shr, varInteger, 15},
        {B8(1), S16(3), VarOp::Shl, varInteger, 8},
        {I64(1), I(40), VarOp::Shl, varInt64, 1099511627776.0},
        {I64(1), I(64), VarOp::Shl, varInt64, 1},
        {I64(-1), I(60), VarOp::Shr, varInt64, 15},
        {W(1), I(20), VarOp::Shl, varInt64, 1048576},
        {Variant(2.0), I(1), VarOp::Shl, varInt64, 4},
        {I(1), I(-1), VarOp::Shl, varInteger, -2147483648.0},
    });
}

TEST(VarArith, LogicOperators) {
    CheckTable({
        {Variant(true), Variant(false), VarOp::And, varBoolean, 0},
        {Variant(true), Variant(false), VarOp::Or, varBoolean, -1},
        {Variant(true), Variant(true), VarOp::Xor, varBoolean, 0},
        {I(12), I(10), VarOp::And, varInteger, 8},
        {I(12), I(10), VarOp::Or, varInteger, 14},
        {I(12), I(10), VarOp::Xor, varInteger, 6},
        {B8(0xF0), B8(0x3C), VarOp::And, varByte, 0x30},
        {Variant(true), I(6), VarOp::And, varInteger, 6},
        {Variant(true), B8(6), VarOp::And, varSmallint, 6},
        {Variant(2.5), I(3), VarOp::And, varInteger, 2},
        {Variant(), Variant(true), VarOp::Or, varBoolean, -1},
        {Variant(u"12"), I(10), VarOp::And, varInteger, 8},
    });
}

TEST(VarArith, NullPropagatesExceptWhereTheOtherOperandDecides) {
    const Variant null = Variant::Null();
    for (VarOp op : {VarOp::Add, VarOp::Sub, VarOp::Mul, VarOp::Div, VarOp::IntDiv, VarOp::Mod, VarOp::Shl,
                     VarOp::Shr, VarOp::Xor}) {
        EXPECT_TRUE(Op(null, I(1), op).IsNull());
        EXPECT_TRUE(Op(I(1), null, op).IsNull());
        EXPECT_TRUE(Op(null, null, op).IsNull());
        EXPECT_TRUE(Op(null, Variant(u"x"), op).IsNull());
    }
    EXPECT_TRUE(Op(null, I(0), VarOp::Div).IsNull());  // Null wins over the zero divisor
    const Variant f = Op(null, Variant(false), VarOp::And);
    EXPECT_EQ(f.VType, varBoolean);
    EXPECT_FALSE(f.AsBool());
    EXPECT_TRUE(Op(null, Variant(true), VarOp::And).IsNull());
    const Variant t = Op(Variant(true), null, VarOp::Or);
    EXPECT_EQ(t.VType, varBoolean);
    EXPECT_TRUE(t.AsBool());
    EXPECT_TRUE(Op(null, Variant(false), VarOp::Or).IsNull());
    EXPECT_EQ(Op(null, I(0), VarOp::And).VType, varInteger);
    EXPECT_EQ(Op(null, I(-1), VarOp::Or).VInteger, -1);
    EXPECT_TRUE(Op(null, I(5), VarOp::Or).IsNull());
}

TEST(VarArith, EmptyActsAsZeroOfTheOtherType) {
    CheckTable({
        {Variant(), Variant(), VarOp::Add, varSmallint, 0},
        {Variant(), I(5), VarOp::Add, varInteger, 5},
        {Variant(), B8(5), VarOp::Sub, varSmallint, -5},
        {I64(5), Variant(), VarOp::Mul, varInt64, 0},
        {Variant(), Variant(2.5), VarOp::Add, varDouble, 2.5},
        {Variant(), Cy(2.5), VarOp::Add, varCurrency, 2.5},
        {Variant(), Dt(3), VarOp::Add, varDate, 3},
        {Variant(), Variant(true), VarOp::Add, varSmallint, -1},
        {Variant(), Variant(u"4"), VarOp::Sub, varDouble, -4},
    });
    const Variant s = Op(Variant(), Variant(u"ab"), VarOp::Add);
    EXPECT_EQ(s.VType, varOleStr);
    EXPECT_EQ(s.StrView(), u"ab");
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(I(1), Variant(), VarOp::IntDiv); }, u"Division by zero"));
}

TEST(VarArith, StringsConcatenateOrCoerceToNumbers) {
    const Variant cat = Op(Variant(u"ab"), Variant(u"cd"), VarOp::Add);
    EXPECT_EQ(cat.VType, varOleStr);
    EXPECT_EQ(cat.StrView(), u"abcd");
    CheckTable({
        {Variant(u"1"), I(2), VarOp::Add, varDouble, 3},
        {I(2), Variant(u"1.5"), VarOp::Add, varDouble, 3.5},
        {Variant(u"6"), Variant(u"4"), VarOp::Sub, varDouble, 2},
        {Variant(u"6"), Variant(u"4"), VarOp::Mul, varDouble, 24},
        {Variant(u"6"), Variant(u"4"), VarOp::Div, varDouble, 1.5},
        {Variant(u"2"), Variant(true), VarOp::Add, varDouble, 1},
        {Dt(1), Variant(u"2"), VarOp::Add, varDate, 3},
    });
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Op(Variant(u"abc"), I(1), VarOp::Add); },
                                              u"Invalid variant type conversion"));
    EXPECT_TRUE(Raises<EVariantTypeCastError>([] { Op(Variant(u"ab"), Variant(u"cd"), VarOp::Sub); },
                                              u"Invalid variant type conversion"));
}

TEST(VarArith, ConcatenationSharesNothingWithItsOperands) {
    Variant a(u"left"), b(u"right");
    Variant res = a;
    VarBinaryOp(res, res, b, VarOp::Add);  // the result slot is the left operand
    EXPECT_EQ(res.StrView(), u"leftright");
    EXPECT_EQ(a.StrView(), u"left");
    VarBinaryOp(res, Variant(UString()), Variant(UString()), VarOp::Add);
    EXPECT_EQ(res.StrView(), u"");
}

TEST(VarArith, DatesAndCurrency) {
    CheckTable({
        {Dt(100), I(2), VarOp::Add, varDate, 102},
        {I(2), Dt(100), VarOp::Add, varDate, 102},
        {Dt(100), Variant(0.5), VarOp::Sub, varDate, 99.5},
        {Dt(100), Dt(40), VarOp::Sub, varDouble, 60},
        {Dt(100), Dt(40), VarOp::Add, varDate, 140},
        {Dt(10), I(2), VarOp::Mul, varDouble, 20},
        {Dt(100), Cy(1.5), VarOp::Add, varDate, 101.5},
        {Cy(1.25), Cy(2), VarOp::Add, varCurrency, 3.25},
        {Cy(1.25), I(2), VarOp::Mul, varCurrency, 2.5},
        {Cy(1.5), Cy(1.5), VarOp::Mul, varCurrency, 2.25},
        {Cy(0.0001), Cy(0.5), VarOp::Mul, varCurrency, 0},       // 0.00005 rounds to even
        {Cy(0.0003), Cy(0.5), VarOp::Mul, varCurrency, 0.0002},  // 0.00015 rounds to even
        {Cy(2), Variant(true), VarOp::Sub, varCurrency, 3},
        {Cy(2), Variant(0.5), VarOp::Add, varDouble, 2.5},
    });
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Op(Dt(2958465), I(10), VarOp::Add); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantOverflowError>(
        [] { Op(Variant(Currency{INT64_MAX}), Variant(Currency{1}), VarOp::Add); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Op(Cy(900000000000000), I(100), VarOp::Mul); }, u"Overflow"));
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Op(Cy(1), U64(UINT64_MAX), VarOp::Add); }, u"Overflow"));
}

TEST(VarArith, OperandsThatHaveNoArithmetic) {
    ComPtr<test::TTestDispatch> obj(new test::TTestDispatch);
    const Variant d(static_cast<IDispatch*>(obj.Get()));
    const Variant arr = Variant::FromArray(SafeArray::Create1(varInteger, 0, 2));
    for (VarOp op : {VarOp::Add, VarOp::Mul, VarOp::IntDiv, VarOp::And, VarOp::Shl}) {
        EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { Op(d, I(1), op); }, u"Invalid variant type conversion"));
        EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { Op(I(1), Variant::FromError(3), op); },
                                                  u"Invalid variant type conversion"));
        EXPECT_TRUE(Raises<EVariantTypeCastError>([&] { Op(Variant(varDecimal, 0, std::in_place), I(1), op); },
                                                  u"Invalid variant type conversion"));
        EXPECT_TRUE(Raises<EVariantInvalidOpError>([&] { Op(arr, I(1), op); }, u"Invalid variant operation"));
        EXPECT_TRUE(Raises<EVariantInvalidOpError>([&] { Op(Variant::Null(), arr, op); }, u"Invalid variant operation"));
    }
}

TEST(VarArith, OperandsAreDereferenced) {
    Variant a(40), b(2);
    Variant ra = Variant::RefTo(&a), rb = Variant::RefTo(&b);
    Variant rra = Variant::RefTo(&ra);
    const Variant res = Op(rra, rb, VarOp::Add);
    EXPECT_EQ(res.VType, varInteger);
    EXPECT_EQ(res.VInteger, 42);
}

TEST(VarArith, ResultMayBeTheRightOperand) {
    Variant l(u"x"), r(u"y");
    VarBinaryOp(r, l, r, VarOp::Add);
    EXPECT_EQ(r.StrView(), u"xy");
}

}  // namespace
}  // namespace xan::plat
