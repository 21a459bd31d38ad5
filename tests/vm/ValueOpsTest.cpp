#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/ole/ComIntf.h"
#include "platform/ole/VarErrors.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/interp/ValueOps.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::Raises;
using vmtest::RaisedMessage;

Variant Op(const Variant& l, const Variant& r, TXANBinaryOp op) {
    Variant res;
    TXANValueOps::BinaryOp(l, r, res, op);
    return res;
}

Variant Neg(const Variant& v) {
    Variant res;
    TXANValueOps::Negate(v, res);
    return res;
}

Variant NotOf(const Variant& v) {
    Variant res;
    TXANValueOps::Not(v, res);
    return res;
}

Variant Word(std::uint16_t v) { return Variant(v); }
Variant Byte(std::uint8_t v) { return Variant(v); }
Variant Int(std::int32_t v) { return Variant(v); }
Variant I64(std::int64_t v) { return Variant(v); }

#define EXPECT_VAR(actual, type, field, value) \
    do {                                       \
        const Variant v_ = (actual);           \
        EXPECT_EQ(v_.VType, type);             \
        if (v_.VType == type) {                \
            EXPECT_EQ(v_.field, value);        \
        }                                      \
    } while (0)

TEST(ValueOpsPaths, TableSelectsThePathByTypeClass) {
    EXPECT_EQ(TXANValueOps::PathOf(varInteger, varSmallint), op32);
    EXPECT_EQ(TXANValueOps::PathOf(varByte, varBoolean), op32);
    EXPECT_EQ(TXANValueOps::PathOf(varBoolean, varShortInt), op32);
    EXPECT_EQ(TXANValueOps::PathOf(varBoolean, varBoolean), opBoolean);
    EXPECT_EQ(TXANValueOps::PathOf(varInteger, varWord), op64);
    EXPECT_EQ(TXANValueOps::PathOf(varWord, varWord), op64);
    EXPECT_EQ(TXANValueOps::PathOf(varLongWord, varBoolean), op64);
    EXPECT_EQ(TXANValueOps::PathOf(varInt64, varInteger), op64);
    EXPECT_EQ(TXANValueOps::PathOf(varSingle, varInt64), opFloat);
    EXPECT_EQ(TXANValueOps::PathOf(varBoolean, varDouble), opFloat);
    EXPECT_EQ(TXANValueOps::PathOf(varDispatch, varDispatch), opObject);
    EXPECT_EQ(TXANValueOps::PathOf(varDispatch, varInteger), opGeneral);
    EXPECT_EQ(TXANValueOps::PathOf(varCurrency, varInteger), opGeneral);
    EXPECT_EQ(TXANValueOps::PathOf(varOleStr, varOleStr), opGeneral);
    EXPECT_EQ(TXANValueOps::PathOf(varEmpty, varInteger), opGeneral);
    EXPECT_EQ(TXANValueOps::PathOf(varInteger, varUInt64), opGeneral);
    EXPECT_EQ(TXANValueOps::PathOf(varInteger | varArray, varInteger), opGeneral);
}

TEST(ValueOps32, ResultsAreIntegerAndOverflowGoesGeneral) {
    EXPECT_VAR(Op(Int(2), Int(3), boMultiply), varInteger, VInteger, 6);
    EXPECT_VAR(Op(Byte(1), Byte(1), boAdd), varInteger, VInteger, 2);
    EXPECT_VAR(Op(Variant(std::int16_t(-5)), Variant(std::int8_t(3)), boSubtract), varInteger, VInteger, -8);
    const Variant big = Op(Int(2147483647), Int(1), boAdd);
    EXPECT_NE(big.VType, varInteger);  // the general operation widens it
    EXPECT_EQ(VarToInt64(big), 2147483648LL);
    EXPECT_EQ(VarToInt64(Op(Int(-2147483647 - 1), Int(1), boSubtract)), -2147483649LL);
    EXPECT_EQ(VarToInt64(Op(Int(65536), Int(65536), boMultiply)), 4294967296LL);
}

TEST(ValueOps32, DivisionTruncatesAndRejectsZero) {
    EXPECT_VAR(Op(Int(-7), Int(2), boIntDiv), varInteger, VInteger, -3);
    EXPECT_VAR(Op(Int(-7), Int(2), boMod), varInteger, VInteger, -1);
    EXPECT_VAR(Op(Int(7), Int(-2), boMod), varInteger, VInteger, 1);
    EXPECT_EQ(RaisedMessage<EDivByZero>([] { Op(Int(7), Int(0), boIntDiv); }), u"Division by zero");
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(Int(7), Int(0), boMod); }));
    const Variant minDiv = Op(Int(std::numeric_limits<std::int32_t>::min()), Int(-1), boIntDiv);
    EXPECT_EQ(VarToInt64(minDiv), 2147483648LL);
    EXPECT_VAR(Op(Int(std::numeric_limits<std::int32_t>::min()), Int(-1), boMod), varInteger, VInteger, 0);
    EXPECT_VAR(Op(Int(5), Int(-1), boIntDiv), varInteger, VInteger, -5);
}

TEST(ValueOps32, ShiftsUseTheLowFiveBitsAndAreLogical) {
    EXPECT_VAR(Op(Int(1), Int(33), boShl), varInteger, VInteger, 2);
    EXPECT_VAR(Op(Int(-1), Int(28), boShr), varInteger, VInteger, 15);
    EXPECT_VAR(Op(Int(1), Int(31), boShl), varInteger, VInteger, std::numeric_limits<std::int32_t>::min());
}

TEST(ValueOps32, LogicIsBitwise) {
    EXPECT_VAR(Op(Int(12), Int(10), boAnd), varInteger, VInteger, 8);
    EXPECT_VAR(Op(Int(12), Int(10), boOr), varInteger, VInteger, 14);
    EXPECT_VAR(Op(Int(12), Int(10), boXor), varInteger, VInteger, 6);
    EXPECT_VAR(Op(Int(12), Int(10), boEqv), varInteger, VInteger, ~6);
    EXPECT_VAR(Op(Int(12), Int(10), boImp), varInteger, VInteger, ~12 | 10);
}

TEST(ValueOps64, WordsAndInt64sGiveInt64) {
    EXPECT_VAR(Op(Word(1), Word(1), boAdd), varInt64, VInt64, 2);
    EXPECT_VAR(Op(Variant(std::uint32_t(4000000000u)), Int(1), boAdd), varInt64, VInt64, 4000000001LL);
    EXPECT_VAR(Op(I64(std::numeric_limits<std::int64_t>::max()), Int(1), boAdd), varInt64, VInt64,
               std::numeric_limits<std::int64_t>::min());
    EXPECT_VAR(Op(I64(std::numeric_limits<std::int64_t>::min()), Int(1), boSubtract), varInt64, VInt64,
               std::numeric_limits<std::int64_t>::max());
    EXPECT_VAR(Op(I64(10), I64(-3), boIntDiv), varInt64, VInt64, -3);
    EXPECT_VAR(Op(I64(10), I64(-3), boMod), varInt64, VInt64, 1);
    EXPECT_VAR(Op(Variant(true), Word(5), boAdd), varInt64, VInt64, 4);
}

TEST(ValueOps64, EdgesRaiseInsteadOfTrapping) {
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(I64(1), I64(0), boIntDiv); }));
    EXPECT_TRUE(Raises<EDivByZero>([] { Op(Word(1), Int(0), boMod); }));
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { Op(I64(std::numeric_limits<std::int64_t>::min()), I64(-1), boIntDiv); }));
    EXPECT_VAR(Op(I64(std::numeric_limits<std::int64_t>::min()), I64(-1), boMod), varInt64, VInt64, 0);
    const Variant product = Op(I64(std::int64_t(1) << 62), I64(4), boMultiply);  // overflow: general
    EXPECT_NE(product.VType, varInt64);
    EXPECT_DOUBLE_EQ(VarToDouble(product), std::ldexp(1.0, 64));
}

TEST(ValueOps64, ShiftCountsWrapModulo64) {
    EXPECT_VAR(Op(I64(1), Int(40), boShl), varInt64, VInt64, std::int64_t(1) << 40);
    EXPECT_VAR(Op(I64(1), Int(64), boShl), varInt64, VInt64, 1);
    EXPECT_VAR(Op(I64(1), Int(65), boShl), varInt64, VInt64, 2);
    EXPECT_VAR(Op(I64(-1), Int(60), boShr), varInt64, VInt64, 15);
    EXPECT_VAR(Op(I64(-1), I64((std::int64_t(1) << 32) | 4), boShr), varInt64, VInt64,
               std::int64_t(0x0FFFFFFFFFFFFFFFLL));  // only the low 32 bits count
}

TEST(ValueOpsFloat, MixedNumbersGiveDouble) {
    EXPECT_VAR(Op(Variant(1.5f), Int(1), boAdd), varDouble, VDouble, 2.5);
    EXPECT_VAR(Op(Variant(7.0), Int(2), boDivide), varDouble, VDouble, 3.5);
    EXPECT_VAR(Op(I64(3), Variant(0.5), boMultiply), varDouble, VDouble, 1.5);
    const Variant inf = Op(Variant(1.0), Int(0), boDivide);
    ASSERT_EQ(inf.VType, varDouble);
    EXPECT_TRUE(std::isinf(inf.VDouble));
}

TEST(ValueOpsBoolean, LogicStaysBooleanArithmeticCountsOneAndZero) {
    EXPECT_VAR(Op(Variant(true), Variant(false), boAnd), varBoolean, VBoolean, VarFalse);
    EXPECT_VAR(Op(Variant(true), Variant(false), boOr), varBoolean, VBoolean, VarTrue);
    EXPECT_VAR(Op(Variant(true), Variant(true), boXor), varBoolean, VBoolean, VarFalse);
    EXPECT_VAR(Op(Variant(false), Variant(false), boEqv), varBoolean, VBoolean, VarTrue);
    EXPECT_VAR(Op(Variant(true), Variant(false), boImp), varBoolean, VBoolean, VarFalse);
    EXPECT_VAR(Op(Variant(true), Variant(true), boAdd), varInteger, VInteger, 2);
    EXPECT_VAR(Op(Variant(true), Int(1), boAdd), varInteger, VInteger, 0);  // True stored as -1
    EXPECT_VAR(Op(Variant(true), Int(5), boAnd), varInteger, VInteger, 5);
}

TEST(ValueOpsGeneral, ConcatenationTreatsEmptyAndNullAsNothing) {
    const Variant a = Op(Variant::Null(), Variant(u"a"), boConcat);
    ASSERT_EQ(a.VType, varOleStr);
    EXPECT_EQ(a.AsUString(), u"a");
    const Variant e = Op(Variant(), Variant(), boConcat);
    ASSERT_EQ(e.VType, varOleStr);
    EXPECT_EQ(e.AsUString(), u"");
    EXPECT_EQ(Op(Int(1), Int(2), boConcat).AsUString(), u"12");
    EXPECT_EQ(Op(Variant(u"x="), Variant(true), boConcat).AsUString(), u"x=True");
}

// The interpreter computes into the left operand's slot; a text only that slot owns grows in
// place, and a text shared with a variable is left as it was.
TEST(ValueOpsGeneral, ConcatenationIntoTheLeftSlotKeepsSharedTextIntact) {
    Variant slot(UString(u"ab") + UString(u"c"));  // a temporary: the slot is its only owner
    TXANValueOps::BinaryOp(slot, Variant(u"de"), slot, boConcat);
    TXANValueOps::BinaryOp(slot, Int(7), slot, boConcat);
    TXANValueOps::BinaryOp(slot, Variant(u"!"), slot, boAdd);  // text + text concatenates too
    EXPECT_EQ(slot.AsUString(), u"abcde7!");

    const Variant variable(UString(u"keep") + UString(u"me"));
    Variant copy = variable;  // pushed copy of a variable: shared
    TXANValueOps::BinaryOp(copy, Variant(u"+more"), copy, boConcat);
    EXPECT_EQ(copy.AsUString(), u"keepme+more");
    EXPECT_EQ(variable.AsUString(), u"keepme");
    TXANValueOps::BinaryOp(copy, Variant::Null(), copy, boConcat);
    EXPECT_EQ(copy.AsUString(), u"keepme+more");
}

TEST(ValueOpsGeneral, PowerIsAlwaysDouble) {
    EXPECT_VAR(Op(Int(2), Int(10), boPower), varDouble, VDouble, 1024.0);
    EXPECT_VAR(Op(Variant(u"4"), Variant(0.5), boPower), varDouble, VDouble, 2.0);
}

TEST(ValueOpsGeneral, StringsAndCurrencyUseThePlatformOperations) {
    EXPECT_EQ(Op(Variant(u"ab"), Variant(u"cd"), boAdd).AsUString(), u"abcd");
    EXPECT_EQ(VarToInt32(Op(Variant(u"5"), Int(2), boMultiply)), 10);
    EXPECT_EQ(Op(Variant::Null(), Int(2), boAdd).VType, varNull);
}

TEST(ValueOpsGeneral, EqvWithNullAndMixedClasses) {
    EXPECT_EQ(Op(Variant::Null(), Variant(true), boEqv).VType, varNull);
    EXPECT_EQ(Op(Int(1), Variant::Null(), boEqv).VType, varNull);
    EXPECT_VAR(Op(Variant(u"12"), Int(10), boEqv), varInteger, VInteger, ~(12 ^ 10));
    EXPECT_TRUE(Raises<EVariantInvalidOpError>([] { Op(Variant(std::uint64_t(1)), Int(1), boEqv); }));
}

TEST(ValueOpsGeneral, ImpTableByClassPair) {
    const Variant null = Variant::Null(), t(true), f(false);
    EXPECT_VAR(Op(null, t, boImp), varBoolean, VBoolean, VarTrue);
    EXPECT_EQ(Op(null, f, boImp).VType, varNull);
    EXPECT_EQ(Op(t, null, boImp).VType, varNull);
    EXPECT_VAR(Op(f, null, boImp), varBoolean, VBoolean, VarTrue);
    EXPECT_EQ(Op(null, null, boImp).VType, varNull);
    EXPECT_EQ(Op(null, Int(0), boImp).VType, varNull);
    EXPECT_VAR(Op(null, Int(6), boImp), varInteger, VInteger, 6);
    EXPECT_EQ(Op(Int(-1), null, boImp).VType, varNull);
    EXPECT_VAR(Op(Int(0), null, boImp), varInteger, VInteger, -1);
    EXPECT_VAR(Op(t, Variant(u"3"), boImp), varInteger, VInteger, 3);
    EXPECT_VAR(Op(Variant(u"3"), f, boImp), varInteger, VInteger, ~3);
}

TEST(ValueOpsCompare, NumericPathsCompareValues) {
    EXPECT_TRUE(TXANValueOps::Compare(Int(-1), Word(1), ckLT));
    EXPECT_TRUE(TXANValueOps::Compare(Variant(std::uint32_t(4000000000u)), Int(1), ckGT));
    EXPECT_TRUE(TXANValueOps::Compare(Variant(2.0f), Int(2), ckEQ));
    EXPECT_TRUE(TXANValueOps::Compare(Variant(true), Variant(false), ckGT));  // 1 > 0 in the Boolean path
    EXPECT_TRUE(TXANValueOps::Compare(Variant(true), Int(0), ckLT));          // -1 < 0 in the 32-bit path
    EXPECT_FALSE(TXANValueOps::Compare(Int(3), Int(3), ckNE));
    EXPECT_TRUE(TXANValueOps::Compare(Int(3), Int(3), ckGE));
}

TEST(ValueOpsCompare, NaNCountsAsEqualAndLess) {
    const Variant nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(TXANValueOps::Compare(nan, Int(1), ckEQ));
    EXPECT_TRUE(TXANValueOps::Compare(nan, Int(1), ckLT));
    EXPECT_TRUE(TXANValueOps::Compare(Int(1), nan, ckLE));
    EXPECT_FALSE(TXANValueOps::Compare(nan, Int(1), ckNE));
    EXPECT_FALSE(TXANValueOps::Compare(nan, Int(1), ckGT));
    EXPECT_FALSE(TXANValueOps::Compare(nan, Int(1), ckGE));
}

TEST(ValueOpsCompare, GeneralComparisonOfStringsAndNull) {
    EXPECT_TRUE(TXANValueOps::Compare(Variant(u"abc"), Variant(u"abd"), ckLT));
    EXPECT_TRUE(TXANValueOps::Compare(Variant(u"x"), Variant(u"x"), ckEQ));
    EXPECT_TRUE(TXANValueOps::Compare(Variant(), Int(0), ckEQ));
    EXPECT_TRUE(TXANValueOps::Compare(Variant::Null(), Variant::Null(), ckEQ));
    EXPECT_TRUE(Raises<EVariantInvalidOpError>([] { TXANValueOps::Compare(Int(1), Int(1), TXANCompareKind(9)); }));
}

// A minimal dispatch object: only identity matters to the comparisons.
using TDummyDispatch = vmtest::CountingDispatch;

TEST(ValueOpsCompare, ObjectsCompareByIdentity) {
    TDummyDispatch a, b;
    {
        Variant va(static_cast<IDispatch*>(&a)), va2(static_cast<IDispatch*>(&a)), vb(static_cast<IDispatch*>(&b));
        Variant refA = Variant::RefTo(&va), refA2 = Variant::RefTo(&va2);
        EXPECT_TRUE(TXANValueOps::Compare(refA, refA2, ckRefEQ));
        EXPECT_TRUE(TXANValueOps::Compare(va, va2, ckEQ));
        EXPECT_TRUE(TXANValueOps::Compare(va, vb, ckNE));
        EXPECT_TRUE(TXANValueOps::Compare(va, vb, ckRefNE));
        EXPECT_FALSE(TXANValueOps::Compare(va, vb, ckRefEQ));
        EXPECT_FALSE(TXANValueOps::Compare(va, Int(1), ckRefEQ));
        EXPECT_FALSE(TXANValueOps::Compare(va, Int(1), ckRefNE));
    }
    EXPECT_EQ(a.refs, 1u);
    EXPECT_FALSE(TXANValueOps::Compare(Int(1), Int(1), ckRefEQ));
    EXPECT_FALSE(TXANValueOps::Compare(Int(1), Int(2), ckRefNE));
}

TEST(ValueOpsUnary, NegateKeepsOrChangesTypesAsListed) {
    EXPECT_VAR(Neg(Variant(std::int16_t(-32768))), varSmallint, VSmallInt, -32768);  // 16-bit wrap
    EXPECT_VAR(Neg(Int(std::numeric_limits<std::int32_t>::min())), varInteger, VInteger,
               std::numeric_limits<std::int32_t>::min());
    EXPECT_VAR(Neg(Variant(1.5f)), varSingle, VSingle, -1.5f);
    EXPECT_VAR(Neg(Variant(2.5)), varDouble, VDouble, -2.5);
    EXPECT_VAR(Neg(Variant(true)), varSmallint, VSmallInt, -1);
    EXPECT_VAR(Neg(Variant(false)), varSmallint, VSmallInt, 0);
    EXPECT_VAR(Neg(Variant(std::int8_t(-128))), varShortInt, VShortInt, -128);
    EXPECT_VAR(Neg(Byte(200)), varSmallint, VSmallInt, -200);
    EXPECT_VAR(Neg(Word(60000)), varInteger, VInteger, -60000);
    EXPECT_VAR(Neg(Variant(std::uint32_t(5))), varInteger, VInteger, -5);
    EXPECT_VAR(Neg(Variant(std::uint32_t(3000000000u))), varInt64, VInt64, -3000000000LL);
    EXPECT_VAR(Neg(I64(std::numeric_limits<std::int64_t>::min())), varInt64, VInt64,
               std::numeric_limits<std::int64_t>::min());
    EXPECT_VAR(Neg(Variant(Currency{12345})), varCurrency, VCurrency, -12345);
    EXPECT_VAR(Neg(Variant::FromDate(3.25)), varDate, VDate, -3.25);
    EXPECT_EQ(Neg(Variant::Null()).VType, varNull);
}

TEST(ValueOpsUnary, NotComplementsAndRoundsFloatsHalfToEven) {
    EXPECT_VAR(NotOf(Variant(std::int16_t(0))), varSmallint, VSmallInt, -1);
    EXPECT_VAR(NotOf(Int(5)), varInteger, VInteger, -6);
    EXPECT_VAR(NotOf(Byte(0)), varByte, VByte, 255);
    EXPECT_VAR(NotOf(Word(0)), varWord, VWord, 65535);
    EXPECT_VAR(NotOf(Variant(std::uint32_t(0))), varLongWord, VLongWord, 0xFFFFFFFFu);
    EXPECT_VAR(NotOf(Variant(std::int8_t(1))), varShortInt, VShortInt, -2);
    EXPECT_VAR(NotOf(I64(0)), varInt64, VInt64, -1);
    EXPECT_VAR(NotOf(Variant(true)), varBoolean, VBoolean, VarFalse);
    EXPECT_VAR(NotOf(Variant(false)), varBoolean, VBoolean, VarTrue);
    EXPECT_VAR(NotOf(Variant(2.5)), varInteger, VInteger, -3);
    EXPECT_VAR(NotOf(Variant(3.5)), varInteger, VInteger, -5);
    EXPECT_VAR(NotOf(Variant(-2.5)), varInteger, VInteger, 1);
    EXPECT_VAR(NotOf(Variant(1e12)), varInt64, VInt64, ~std::int64_t(1000000000000LL));
    EXPECT_VAR(NotOf(Variant(Currency{25000})), varInteger, VInteger, -3);   // 2.5 -> 2
    EXPECT_VAR(NotOf(Variant(Currency{-35000})), varInteger, VInteger, 3);   // -3.5 -> -4
    EXPECT_TRUE(Raises<EVariantOverflowError>([] { NotOf(Variant(1e300)); }));
}

TEST(ValueOpsReferences, OperandsAreDereferencedAndResultMayAliasTheLeftOperand) {
    Variant target(40);
    Variant ref = Variant::RefTo(&target);
    Variant refRef = Variant::RefTo(&ref);
    EXPECT_VAR(Op(refRef, Int(2), boAdd), varInteger, VInteger, 42);
    Variant slot(u"left");
    TXANValueOps::BinaryOp(slot, Variant(u"right"), slot, boConcat);
    EXPECT_EQ(slot.AsUString(), u"leftright");
    Variant n(7);
    TXANValueOps::Negate(n, n);
    EXPECT_VAR(n, varInteger, VInteger, -7);
}

}  // namespace
}  // namespace xan
