#include "vm/interp/ValueOps.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <new>

#include "platform/ole/VarErrors.h"

namespace xan {

using namespace plat;

namespace {

// ---- The path table --------------------------------------------------------------------------

enum TTypeClass : std::uint8_t { tc32, tcBool, tc64, tcFloat, tcObject, tcOther };

constexpr TTypeClass ClassOf(VarType vt) noexcept {
    switch (vt) {
        case varSmallint: case varInteger: case varShortInt: case varByte: return tc32;
        case varBoolean: return tcBool;
        case varWord: case varLongWord: case varInt64: return tc64;
        case varSingle: case varDouble: return tcFloat;
        case varDispatch: return tcObject;
        default: return tcOther;
    }
}

constexpr TXANOpPath PathOfClasses(TTypeClass l, TTypeClass r) noexcept {
    if (l == tcObject || r == tcObject) return l == r ? opObject : opGeneral;
    if (l == tcOther || r == tcOther) return opGeneral;
    if (l == tcFloat || r == tcFloat) return opFloat;
    if (l == tcBool && r == tcBool) return opBoolean;
    if (l == tc64 || r == tc64) return op64;
    return op32;
}

constexpr int FastTypeCount = varInt64 + 1;  // the fast paths cover type codes 0..20

constexpr auto BuildPathTable() {
    std::array<std::array<TXANOpPath, FastTypeCount>, FastTypeCount> t{};
    for (int l = 0; l < FastTypeCount; ++l)
        for (int r = 0; r < FastTypeCount; ++r) t[l][r] = PathOfClasses(ClassOf(VarType(l)), ClassOf(VarType(r)));
    return t;
}
constexpr auto PathTable = BuildPathTable();

// ---- Reading operands ---------------------------------------------------------------------------

// A 32-bit-path operand: Boolean counts as its stored value (True = -1).
std::int32_t As32(const VarData& v) noexcept {
    switch (v.VType) {
        case varSmallint: return v.VSmallInt;
        case varShortInt: return v.VShortInt;
        case varByte: return v.VByte;
        case varBoolean: return v.VBoolean;
        default: return v.VInteger;
    }
}

std::int64_t As64(const VarData& v) noexcept {
    switch (v.VType) {
        case varWord: return v.VWord;
        case varLongWord: return v.VLongWord;  // zero-extended
        case varInt64: return v.VInt64;
        default: return As32(v);
    }
}

double AsFloat(const VarData& v) noexcept {
    switch (v.VType) {
        case varSingle: return v.VSingle;
        case varDouble: return v.VDouble;
        default: return double(As64(v));
    }
}

// ---- Fast paths ----------------------------------------------------------------------------------

VarOp GeneralOpOf(TXANBinaryOp op) noexcept {
    switch (op) {
        case boAdd: return VarOp::Add;
        case boSubtract: return VarOp::Sub;
        case boMultiply: return VarOp::Mul;
        case boDivide: return VarOp::Div;
        case boIntDiv: return VarOp::IntDiv;
        case boMod: return VarOp::Mod;
        case boShl: return VarOp::Shl;
        case boShr: return VarOp::Shr;
        case boAnd: return VarOp::And;
        case boOr: return VarOp::Or;
        default: return VarOp::Xor;
    }
}

void General(const VarData& l, const VarData& r, Variant& res, TXANBinaryOp op) {
    switch (op) {
        case boConcat: return TXANValueOps::Concat(l, r, res);
        case boPower: return TXANValueOps::Power(l, r, res);
        case boEqv: return TXANValueOps::Eqv(l, r, res);
        case boImp: return TXANValueOps::Imp(l, r, res);
        default: return VarBinaryOp(res, l, r, GeneralOpOf(op));
    }
}

// Answers false when the operation leaves the 32-bit path (overflow, divide, concatenate, power).
bool Try32(std::int32_t l, std::int32_t r, TXANBinaryOp op, std::int32_t& out) {
    const auto ul = std::uint32_t(l), ur = std::uint32_t(r);
    switch (op) {
        case boAdd: return VarInt32Op(VarOp::Add, l, r, out);
        case boSubtract: return VarInt32Op(VarOp::Sub, l, r, out);
        case boMultiply: return VarInt32Op(VarOp::Mul, l, r, out);
        case boIntDiv:
        case boMod:
            if (r == 0) RaiseDivByZero();
            if (r == -1) {  // INT_MIN div -1 does not fit; the general operation widens it
                if (op == boMod) return out = 0, true;
                if (l == std::numeric_limits<std::int32_t>::min()) return false;
                return out = -l, true;
            }
            out = op == boIntDiv ? l / r : l % r;
            return true;
        case boShl: out = std::int32_t(ul << (ur & 31)); return true;
        case boShr: out = std::int32_t(ul >> (ur & 31)); return true;
        case boAnd: return VarInt32Op(VarOp::And, l, r, out);
        case boOr: return VarInt32Op(VarOp::Or, l, r, out);
        case boXor: return VarInt32Op(VarOp::Xor, l, r, out);
        case boEqv: out = ~(l ^ r); return true;
        case boImp: out = ~l | r; return true;
        default: return false;
    }
}

// Answers false when the operation leaves the 64-bit path (multiply overflow, divide, ...).
bool Try64(std::int64_t l, std::int64_t r, TXANBinaryOp op, std::int64_t& out) {
    const auto ul = std::uint64_t(l), ur = std::uint64_t(r);
    switch (op) {
        case boAdd: out = std::int64_t(ul + ur); return true;  // wraps by definition
        case boSubtract: out = std::int64_t(ul - ur); return true;
        case boMultiply: return !__builtin_mul_overflow(l, r, &out);
        case boIntDiv:
        case boMod:
            if (r == 0) RaiseDivByZero();
            if (r == -1) {
                if (op == boMod) return out = 0, true;
                if (l == std::numeric_limits<std::int64_t>::min()) RaiseVarOverflow();
                return out = -l, true;
            }
            out = op == boIntDiv ? l / r : l % r;
            return true;
        // The count is the low 32 bits of the right operand; counts of 64 and more wrap
        // modulo 64 as the processor's shift does.
        case boShl: out = std::int64_t(ul << (std::uint32_t(ur) & 63)); return true;
        case boShr: out = std::int64_t(ul >> (std::uint32_t(ur) & 63)); return true;
        case boAnd: out = l & r; return true;
        case boOr: out = l | r; return true;
        case boXor: out = l ^ r; return true;
        case boEqv: out = ~(l ^ r); return true;
        case boImp: out = ~l | r; return true;
        default: return false;
    }
}

bool TryFloat(double l, double r, TXANBinaryOp op, double& out) noexcept {
    switch (op) {
        case boAdd: out = l + r; return true;
        case boSubtract: out = l - r; return true;
        case boMultiply: out = l * r; return true;
        case boDivide: out = l / r; return true;  // IEEE: x / 0 is an infinity or NaN
        default: return false;
    }
}

bool TryBoolean(bool l, bool r, TXANBinaryOp op, bool& out) noexcept {
    switch (op) {
        case boAnd: out = l && r; return true;
        case boOr: out = l || r; return true;
        case boXor: out = l != r; return true;
        case boEqv: out = l == r; return true;
        case boImp: out = !l || r; return true;
        default: return false;
    }
}

void Binary32(std::int32_t l, std::int32_t r, const VarData& lv, const VarData& rv, Variant& res, TXANBinaryOp op) {
    std::int32_t out;
    if (Try32(l, r, op, out))
        res.SetInteger(out);
    else
        General(lv, rv, res, op);
}

// ---- Comparison helpers ----------------------------------------------------------------------------

template <class T>
bool CompareOrdered(T l, T r, TXANCompareKind kind) noexcept {
    switch (kind) {
        case ckEQ: return l == r;
        case ckNE: return l != r;
        case ckLT: return l < r;
        case ckLE: return l <= r;
        case ckGT: return l > r;
        default: return l >= r;
    }
}

// An unordered pair (a NaN operand) counts as equal and less.
bool CompareFloat(double l, double r, TXANCompareKind kind) noexcept {
    if (std::isnan(l) || std::isnan(r)) return kind == ckEQ || kind == ckLT || kind == ckLE;
    return CompareOrdered(l, r, kind);
}

bool CompareByOrder(VarOrder order, TXANCompareKind kind) noexcept {
    switch (order) {
        case VarOrder::Less: return kind == ckNE || kind == ckLT || kind == ckLE;
        case VarOrder::Equal: return kind == ckEQ || kind == ckLE || kind == ckGE;
        case VarOrder::Greater: return kind == ckNE || kind == ckGT || kind == ckGE;
        default: return kind == ckEQ || kind == ckLT || kind == ckLE;
    }
}

// RefEQ / RefNE: only two dispatch objects (also by reference) are ever the same or different.
bool CompareRefs(const VarData& l, const VarData& r, TXANCompareKind kind) noexcept {
    const VarData dl = VarDerefAll(l), dr = VarDerefAll(r);
    if (dl.VType != varDispatch || dr.VType != varDispatch) return false;
    return (dl.VDispatch == dr.VDispatch) == (kind == ckRefEQ);
}

// ---- Not of floating values -----------------------------------------------------------------------

std::int64_t RoundHalfEven(double d) {
    constexpr double two63 = 9223372036854775808.0;
    if (!(d >= -two63 && d < two63)) RaiseVarOverflow();  // also NaN
    const double floor = std::floor(d);
    auto result = std::int64_t(floor);
    const double fraction = d - floor;
    if (fraction > 0.5 || (fraction == 0.5 && (result & 1) != 0)) ++result;
    return result;
}

std::int64_t RoundCurrencyHalfEven(std::int64_t scaled) noexcept {
    std::int64_t q = scaled / 10000;
    const std::int64_t rem = scaled % 10000;
    if (rem > 5000 || (rem == 5000 && (q & 1) != 0)) ++q;
    if (rem < -5000 || (rem == -5000 && (q & 1) != 0)) --q;
    return q;
}

void SetIntegerOrInt64(Variant& res, std::int64_t v) noexcept {
    if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
        res.SetInteger(std::int32_t(v));
    else
        res.SetInt64(v);
}

// ---- Eqv / Imp classes ---------------------------------------------------------------------------

enum TLogicClass { lcNull, lcBoolean, lcOther };

TLogicClass LogicClassOf(const VarData& v) {
    const VarType vt = VarTypeOf(v);
    if (vt > varInt64) RaiseVarInvalidOp();
    return vt == varNull ? lcNull : vt == varBoolean ? lcBoolean : lcOther;
}

}  // namespace

// ---- Public operations ------------------------------------------------------------------------------

TXANOpPath TXANValueOps::PathOf(VarType ALeft, VarType ARight) noexcept {
    if (ALeft >= FastTypeCount || ARight >= FastTypeCount) return opGeneral;
    return PathTable[ALeft][ARight];
}

void TXANValueOps::BinaryOp(const VarData& ALeft, const VarData& ARight, Variant& AResult, TXANBinaryOp AOp) {
    const VarData& l = XANDeref(ALeft);
    const VarData& r = XANDeref(ARight);
    switch (PathOf(l.VType, r.VType)) {
        case op32:
            return Binary32(As32(l), As32(r), l, r, AResult, AOp);
        case op64: {
            std::int64_t out;
            if (Try64(As64(l), As64(r), AOp, out)) return AResult.SetInt64(out);
            break;
        }
        case opFloat: {
            double out;
            if (TryFloat(AsFloat(l), AsFloat(r), AOp, out)) return AResult.SetDouble(out);
            break;
        }
        case opBoolean: {
            const bool bl = l.VBoolean != 0, br = r.VBoolean != 0;
            bool out;
            if (TryBoolean(bl, br, AOp, out)) return AResult.SetBool(out);
            // Booleans join as their text ("TrueFalse"), as they do beside any other value.
            if (AOp == boConcat) return Concat(l, r, AResult);
            // Arithmetic on two Booleans counts them as 1 and 0 (True + True = 2).
            const Variant il(std::int32_t(bl ? 1 : 0)), ir(std::int32_t(br ? 1 : 0));
            return Binary32(il.VInteger, ir.VInteger, il, ir, AResult, AOp);
        }
        default:
            // Two texts added are concatenated: the same operation, with its in-place growth.
            if (AOp == boAdd && l.VType == varOleStr && r.VType == varOleStr) return Concat(l, r, AResult);
            break;
    }
    General(l, r, AResult, AOp);
}

bool TXANValueOps::Compare(const VarData& ALeft, const VarData& ARight, TXANCompareKind AKind) {
    if (AKind == ckRefEQ || AKind == ckRefNE) return CompareRefs(ALeft, ARight, AKind);
    if (AKind > ckRefNE) RaiseVarInvalidOp();
    const VarData& l = XANDeref(ALeft);
    const VarData& r = XANDeref(ARight);
    switch (PathOf(l.VType, r.VType)) {
        case op32: return CompareOrdered(As32(l), As32(r), AKind);
        case op64: return CompareOrdered(As64(l), As64(r), AKind);
        case opFloat: return CompareFloat(AsFloat(l), AsFloat(r), AKind);
        case opBoolean: return CompareOrdered(l.VBoolean != 0 ? 1 : 0, r.VBoolean != 0 ? 1 : 0, AKind);
        case opObject:
            if (AKind == ckEQ) return l.VDispatch == r.VDispatch;
            if (AKind == ckNE) return l.VDispatch != r.VDispatch;
            break;
        default:
            break;
    }
    return CompareByOrder(VarCompare(l, r), AKind);
}

void TXANValueOps::Negate(const VarData& AValue, Variant& AResult) {
    const VarData& v = XANDeref(AValue);
    switch (v.VType) {
        case varSmallint: return AResult.SetRaw(varSmallint, std::int16_t(0u - std::uint16_t(v.VSmallInt)));
        case varInteger: return AResult.SetInteger(std::int32_t(0u - std::uint32_t(v.VInteger)));
        case varSingle: {
            const float f = -v.VSingle;
            AResult = Variant(f);
            return;
        }
        case varDouble: return AResult.SetDouble(-v.VDouble);
        case varCurrency: return AResult.SetRaw(varCurrency, std::int64_t(0u - std::uint64_t(v.VCurrency)));
        case varDate: {
            const double d = -v.VDate;
            AResult = Variant::FromDate(d);
            return;
        }
        case varBoolean: return AResult.SetRaw(varSmallint, v.VBoolean != 0 ? -1 : 0);
        case varShortInt: return AResult.SetRaw(varShortInt, std::int8_t(0u - std::uint8_t(v.VShortInt)));
        case varByte: return AResult.SetRaw(varSmallint, -std::int32_t(v.VByte));
        case varWord: return AResult.SetInteger(-std::int32_t(v.VWord));
        case varLongWord: return SetIntegerOrInt64(AResult, -std::int64_t(v.VLongWord));
        case varInt64: return AResult.SetInt64(std::int64_t(0u - std::uint64_t(v.VInt64)));
        default: return VarNeg(AResult, v);
    }
}

void TXANValueOps::Not(const VarData& AValue, Variant& AResult) {
    const VarData& v = XANDeref(AValue);
    switch (v.VType) {
        case varSmallint: return AResult.SetRaw(varSmallint, std::int16_t(~v.VSmallInt));
        case varInteger: return AResult.SetInteger(~v.VInteger);
        case varShortInt: return AResult.SetRaw(varShortInt, std::int8_t(~v.VShortInt));
        case varByte: return AResult.SetRaw(varByte, std::uint8_t(~v.VByte));
        case varWord: return AResult.SetRaw(varWord, std::uint16_t(~v.VWord));
        case varLongWord: return AResult.SetRaw(varLongWord, std::uint32_t(~v.VLongWord));
        case varInt64: return AResult.SetInt64(~v.VInt64);
        case varBoolean: return AResult.SetBool(v.VBoolean == 0);
        case varSingle: return SetIntegerOrInt64(AResult, ~RoundHalfEven(v.VSingle));
        case varDouble: return SetIntegerOrInt64(AResult, ~RoundHalfEven(v.VDouble));
        case varDate: return SetIntegerOrInt64(AResult, ~RoundHalfEven(v.VDate));
        case varCurrency: return SetIntegerOrInt64(AResult, ~RoundCurrencyHalfEven(v.VCurrency));
        default: return VarNot(AResult, v);
    }
}

// ---- General forms --------------------------------------------------------------------------------

namespace {

// Room a concatenation that copies its left operand leaves for the pieces a chain appends next.
constexpr std::int32_t ConcatRoom = 32;

// An operand of a concatenation as text: a string is read where it stands (AOwner stays
// empty); anything else is converted into AOwner.
std::u16string_view ConcatText(const VarData& AValue, UString& AOwner) {
    if (AValue.VType == varOleStr) return UString::RawView(AValue.VOleStr);
    if (!VarIsNullOrEmpty(AValue)) AOwner = VarToUString(AValue);
    return AOwner.view();
}

}  // namespace

void TXANValueOps::Concat(const VarData& ALeft, const VarData& ARight, Variant& AResult) {
    UString rightOwner;
    const std::u16string_view right = ConcatText(ARight, rightOwner);
    // A text on the left that only the result slot owns (the temporary of a & b & c) grows in
    // place: a chain of concatenations builds one buffer instead of one per operator.
    if (&AResult == &ALeft && ALeft.VType == varOleStr && UString::IsUniqueRaw(ALeft.VOleStr)) {
        UString joined = UString::AdoptRaw(AResult.Detach().VOleStr);
        joined.Append(right);
        AResult.SetString(std::move(joined));
        return;
    }
    UString leftOwner;
    const std::u16string_view left = ConcatText(ALeft, leftOwner);
    const std::int64_t total = std::int64_t(left.size()) + std::int64_t(right.size());
    if (total > INT32_MAX / 2) throw std::bad_alloc();
    char16_t* buffer;
    UString joined = UString::Uninitialized(std::int32_t(total), buffer, ConcatRoom);
    if (total > 0) {
        std::copy(left.begin(), left.end(), buffer);
        std::copy(right.begin(), right.end(), buffer + left.size());
    }
    AResult.SetString(std::move(joined));
}

void TXANValueOps::Power(const VarData& ALeft, const VarData& ARight, Variant& AResult) {
    const double base = VarToDouble(ALeft), exponent = VarToDouble(ARight);
    AResult.SetDouble(std::pow(base, exponent));
}

void TXANValueOps::Eqv(const VarData& ALeft, const VarData& ARight, Variant& AResult) {
    const TLogicClass lc = LogicClassOf(ALeft), rc = LogicClassOf(ARight);
    if (lc == lcNull || rc == lcNull) return AResult.SetNull();
    if (lc == lcBoolean && rc == lcBoolean) return AResult.SetBool(VarToBool(ALeft) == VarToBool(ARight));
    const std::int32_t l = VarToInt32(ALeft), r = VarToInt32(ARight);
    AResult.SetInteger(~(l ^ r));
}

void TXANValueOps::Imp(const VarData& ALeft, const VarData& ARight, Variant& AResult) {
    const TLogicClass lc = LogicClassOf(ALeft), rc = LogicClassOf(ARight);
    auto value = [](const VarData& v, TLogicClass c, std::int32_t nullValue) {
        if (c == lcNull) return nullValue;
        if (c == lcBoolean) return VarToBool(v) ? std::int32_t(-1) : std::int32_t(0);
        return VarToInt32(v);
    };
    const std::int32_t r = ~value(ALeft, lc, -1) | value(ARight, rc, 0);
    const bool anyNull = lc == lcNull || rc == lcNull;
    if (anyNull && r == 0) return AResult.SetNull();
    // A Boolean result needs a Boolean on one side and nothing but Null or Boolean on the other.
    const bool boolean = (lc == lcBoolean && rc != lcOther) || (rc == lcBoolean && lc != lcOther);
    if (boolean) return AResult.SetBool(r != 0);
    AResult.SetInteger(r);
}

}  // namespace xan
