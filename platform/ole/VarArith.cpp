// The general binary operations on variants.
//
// Operand classes after following references:
//   Null     propagates (three-valued And/Or: Null And 0 is 0, Null Or -1 / True is -1 / True)
//   Empty    takes the other operand's type with value 0 ("" beside a string in an addition,
//            False beside a Boolean); Empty with Empty is Smallint 0
//   string   string + string concatenates; otherwise a string must hold a number
//   arrays   invalid operation; objects, Error, Decimal and unknown codes: type mismatch
// Numeric result types:
//   add, sub, mul  Date involved: Date (Date - Date and products: Double); Single with small
//                  integers stays Single, other floating-point mixes are Double; Currency with
//                  integers or Currency is Currency (overflow error); integers keep the
//                  narrowest type that holds both operands and climb
//                  Byte/ShortInt -> Smallint -> Integer -> Int64 -> Double on overflow
//   divide         Double (Single / Single stays Single, Currency / integer stays Currency);
//                  a zero divisor raises the division error
//   div, mod       integers keep their type (overflow error beyond 64 bits), other operands
//                  round half to even and give Integer or, when too large, Int64
//   shl, shr       Integer with the count taken modulo 32 when both operands are 32-bit signed
//                  classes, else Int64 modulo 64; shr is logical
//   and, or, xor   Boolean for two Booleans, else as div
#include <cmath>
#include <new>

#include "platform/core/DateUtils.h"
#include "platform/ole/VarErrors.h"
#include "platform/ole/VarIntTypes.h"
#include "platform/ole/VarNum.h"

namespace xan::plat {

using detail::I128;

namespace {

enum class K { Empty, Null, Bool, Int, Float, Curr, Date, Str, Bad, Array };

K KindOf(VarType t) noexcept {
    switch (t) {
    case varEmpty: return K::Empty;
    case varNull: return K::Null;
    case varBoolean: return K::Bool;
    case varSingle:
    case varDouble: return K::Float;
    case varCurrency: return K::Curr;
    case varDate: return K::Date;
    case varOleStr:
    case varString: return K::Str;
    default:
        if (detail::IsIntType(t)) return K::Int;
        return (t & varArray) ? K::Array : K::Bad;
    }
}

struct Operand {
    VarData d;
    K k;
    void Set(const VarData& v) noexcept {
        d = v;
        k = KindOf(v.VType);
    }
};

bool IsIntegral(K k) noexcept { return k == K::Int || k == K::Bool; }

double AsDouble(const VarData& d) { return detail::NumToDouble(detail::NumOf(d, FormatSettings())); }

Variant MakeDate(double v) {
    if (!(v >= MinDateTime && v < MaxDateTime + 1e-8)) RaiseVarOverflow();
    return Variant::FromDate(v);
}

UString Concat(std::u16string_view a, std::u16string_view b) {
    const std::size_t total = a.size() + b.size();
    if (total > static_cast<std::size_t>(INT32_MAX)) Throw<EOutOfMemory>(u"Out of memory");
    char16_t* buf = nullptr;
    UString s = UString::Uninitialized(static_cast<std::int32_t>(total), buf);
    if (buf) {
        std::char_traits<char16_t>::copy(buf, a.data(), a.size());
        std::char_traits<char16_t>::copy(buf + a.size(), b.data(), b.size());
    }
    return s;
}

// ---- Null and Empty ----

bool IsZeroOf(const Operand& o) noexcept { return IsIntegral(o.k) && detail::IntValueOf(o.d) == 0; }
bool IsAllOnes(const Operand& o) noexcept { return IsIntegral(o.k) && detail::IntValueOf(o.d) == -1; }

Variant NullResult(const Operand& other, VarOp op) {
    // Null is "unknown": only an operand that decides the result alone gives a value.
    if (op == VarOp::And && IsZeroOf(other)) return Variant(other.d);
    if (op == VarOp::Or && IsAllOnes(other)) return Variant(other.d);
    return Variant::Null();
}

void SubstituteEmpty(Operand& e, const Operand& other, VarOp op) {
    switch (other.k) {
    case K::Empty: e.Set(VarData(varSmallint, 0)); break;
    case K::Str: e.Set(op == VarOp::Add ? VarData(varOleStr, 0) : VarData(varSmallint, 0)); break;
    case K::Bool: e.Set(VarData(varBoolean, 0)); break;
    case K::Date: {
        VarData z(varDouble, 0);
        z.VDouble = 0;
        e.Set(z);
        break;
    }
    default: {
        VarData z(other.d.VType, 0);  // all-zero bits are 0 in every numeric type
        e.Set(z);
    }
    }
}

// A string operand of an arithmetic operation as the Double it holds.
void StrToDouble(Operand& o) {
    if (o.k != K::Str) return;
    VarData z(varDouble, 0);
    z.VDouble = AsDouble(o.d);
    o.Set(z);
}

// ---- add, subtract, multiply, divide ----

bool SingleCompatible(const Operand& o) noexcept {
    switch (o.d.VType) {
    case varSingle:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord: return true;
    default: return false;
    }
}

Variant FloatResult(const Operand& l, const Operand& r, double v) {
    const bool single = (l.d.VType == varSingle || r.d.VType == varSingle) && SingleCompatible(l) && SingleCompatible(r);
    if (single) {
        const float f = static_cast<float>(v);
        if (!std::isinf(f) || std::isinf(v) || std::isnan(v)) return Variant(f);  // else: climb to Double
    }
    return Variant(v);
}

I128 CurrScaled(const Operand& o) {
    if (o.k == K::Curr) return o.d.VCurrency;
    return detail::IntValueOf(o.d) * Currency::Scale;
}

// Division rounding half to even (a and b not zero-divisor, magnitudes below 2^127).
I128 RoundDiv(I128 a, I128 b) noexcept {
    I128 q = a / b, rem = a % b;
    if (rem == 0) return q;
    const I128 absRem2 = (rem < 0 ? -rem : rem) * 2;
    const I128 absB = b < 0 ? -b : b;
    const bool negative = (a < 0) != (b < 0);
    if (absRem2 > absB || (absRem2 == absB && (q & 1))) q += negative ? -1 : 1;
    return q;
}

Variant MakeCurrency(I128 scaled) {
    if (scaled < INT64_MIN || scaled > INT64_MAX) RaiseVarOverflow();
    return Variant(Currency{static_cast<Int64>(scaled)});
}

Variant CurrArith(const Operand& l, const Operand& r, VarOp op) {
    const I128 a = CurrScaled(l), b = CurrScaled(r);
    switch (op) {
    case VarOp::Add: return MakeCurrency(a + b);
    case VarOp::Sub: return MakeCurrency(a - b);
    default:
        if (l.k == K::Curr && r.k == K::Curr) return MakeCurrency(RoundDiv(a * b, Currency::Scale));
        return MakeCurrency(l.k == K::Curr ? a * detail::IntValueOf(r.d) : detail::IntValueOf(l.d) * b);
    }
}

Variant IntArith(const Operand& l, const Operand& r, VarOp op) {
    const I128 a = detail::IntValueOf(l.d), b = detail::IntValueOf(r.d);
    const VarType start = detail::IntStartType(l.d.VType, r.d.VType);
    I128 v;
    switch (op) {
    case VarOp::Add: v = a + b; break;
    case VarOp::Sub: v = a - b; break;
    default:
        if (__builtin_mul_overflow(a, b, &v)) return Variant(static_cast<double>(a) * static_cast<double>(b));
    }
    return detail::IntResult(start, v, true);
}

Variant Arith(Operand l, Operand r, VarOp op) {
    StrToDouble(l);
    StrToDouble(r);
    if (l.k == K::Date || r.k == K::Date) {
        const double a = AsDouble(l.d), b = AsDouble(r.d);
        switch (op) {
        case VarOp::Add: return MakeDate(a + b);
        case VarOp::Sub: return (l.k == K::Date && r.k == K::Date) ? Variant(a - b) : MakeDate(a - b);
        default: return Variant(a * b);
        }
    }
    if (l.k == K::Float || r.k == K::Float) {
        const double a = AsDouble(l.d), b = AsDouble(r.d);
        return FloatResult(l, r, op == VarOp::Add ? a + b : op == VarOp::Sub ? a - b : a * b);
    }
    if (l.k == K::Curr || r.k == K::Curr) return CurrArith(l, r, op);
    return IntArith(l, r, op);
}

bool IsZero(const Operand& o) {
    switch (o.k) {
    case K::Int:
    case K::Bool: return detail::IntValueOf(o.d) == 0;
    case K::Curr: return o.d.VCurrency == 0;
    default: return AsDouble(o.d) == 0;
    }
}

Variant Divide(Operand l, Operand r) {
    StrToDouble(l);
    StrToDouble(r);
    if (IsZero(r)) RaiseDivByZero();
    if (l.k == K::Curr && IsIntegral(r.k)) return MakeCurrency(RoundDiv(l.d.VCurrency, detail::IntValueOf(r.d)));
    const double v = AsDouble(l.d) / AsDouble(r.d);
    if (l.k == K::Float || r.k == K::Float) return FloatResult(l, r, v);
    return Variant(v);
}

// ---- integer operations ----

// The integer value of an operand of div, mod, shifts and logic; non-integers round.
I128 IntOperand(const Operand& o) {
    if (IsIntegral(o.k)) return detail::IntValueOf(o.d);
    return detail::NumToIntRange(detail::NumOf(o.d, FormatSettings()), INT64_MIN, INT64_MAX);
}

// Result of an integer operation: in the operands' own type when both are integers,
// else Integer or Int64 by size.
Variant IntOpResult(const Operand& l, const Operand& r, I128 v) {
    if (IsIntegral(l.k) && IsIntegral(r.k)) return detail::IntResult(detail::IntStartType(l.d.VType, r.d.VType), v, false);
    return detail::IntResult(varInteger, v, false);
}

Variant IntDivMod(const Operand& l, const Operand& r, VarOp op) {
    const I128 a = IntOperand(l), b = IntOperand(r);
    if (b == 0) RaiseDivByZero();
    // 128-bit arithmetic: no 64-bit operand pair can trap (MIN div -1 included).
    return IntOpResult(l, r, op == VarOp::IntDiv ? a / b : a % b);
}

bool Is32BitClass(const Operand& o) noexcept {
    switch (o.d.VType) {
    case varShortInt:
    case varByte:
    case varSmallint:
    case varBoolean:
    case varInteger: return true;
    default: return false;
    }
}

Variant Shift(const Operand& l, const Operand& r, VarOp op) {
    const I128 a = IntOperand(l), b = IntOperand(r);
    if (Is32BitClass(l) && Is32BitClass(r)) {
        const std::uint32_t x = static_cast<std::uint32_t>(static_cast<std::int32_t>(a));
        const unsigned n = static_cast<unsigned>(static_cast<std::uint64_t>(b)) & 31u;
        const std::uint32_t v = op == VarOp::Shl ? x << n : x >> n;
        return Variant(static_cast<std::int32_t>(v));
    }
    const std::uint64_t x = static_cast<std::uint64_t>(a);
    const unsigned n = static_cast<unsigned>(static_cast<std::uint64_t>(b)) & 63u;
    const std::uint64_t v = op == VarOp::Shl ? x << n : x >> n;
    return Variant(static_cast<std::int64_t>(v));
}

Variant Logic(const Operand& l, const Operand& r, VarOp op) {
    if (l.k == K::Bool && r.k == K::Bool) {
        const bool a = l.d.VBoolean != 0, b = r.d.VBoolean != 0;
        return Variant(op == VarOp::And ? (a && b) : op == VarOp::Or ? (a || b) : (a != b));
    }
    const I128 a = IntOperand(l), b = IntOperand(r);
    return IntOpResult(l, r, op == VarOp::And ? (a & b) : op == VarOp::Or ? (a | b) : (a ^ b));
}

Variant BinaryGeneral(const VarData& left, const VarData& right, VarOp op) {
    Operand l, r;
    l.Set(left);
    r.Set(right);
    if (l.k == K::Array || r.k == K::Array) RaiseVarInvalidOp();
    if (l.k == K::Bad || r.k == K::Bad) RaiseVarTypeCast();
    if (l.k == K::Null) return r.k == K::Null ? Variant::Null() : NullResult(r, op);
    if (r.k == K::Null) return NullResult(l, op);
    if (l.k == K::Empty) SubstituteEmpty(l, r, op);
    if (r.k == K::Empty) SubstituteEmpty(r, l, op);
    if (op == VarOp::Add && l.k == K::Str && r.k == K::Str) return Variant(Concat(l.d.StrView(), r.d.StrView()));
    switch (op) {
    case VarOp::Add:
    case VarOp::Sub:
    case VarOp::Mul: return Arith(l, r, op);
    case VarOp::Div: return Divide(l, r);
    case VarOp::IntDiv:
    case VarOp::Mod: return IntDivMod(l, r, op);
    case VarOp::Shl:
    case VarOp::Shr: return Shift(l, r, op);
    default: return Logic(l, r, op);
    }
}

}  // namespace

namespace {

// Two Integers or two Doubles with the commonest operators skip the general machinery; the
// answers are the ones the general rules give.
bool TryFastPath(Variant& res, const VarData& l, const VarData& r, VarOp op) noexcept {
    if (l.VType != r.VType) return false;
    if (l.VType == varInteger) {
        std::int32_t v;
        if (!VarInt32Op(op, l.VInteger, r.VInteger, v)) return false;
        res.SetInteger(v);
        return true;
    }
    if (l.VType == varDouble) {
        double v;
        switch (op) {
        case VarOp::Add: v = l.VDouble + r.VDouble; break;
        case VarOp::Sub: v = l.VDouble - r.VDouble; break;
        case VarOp::Mul: v = l.VDouble * r.VDouble; break;
        default: return false;
        }
        res.SetDouble(v);
        return true;
    }
    return false;
}

}  // namespace

void VarBinaryOp(Variant& res, const VarData& left, const VarData& right, VarOp op) {
    if (TryFastPath(res, left, right, op)) return;
    Variant out = BinaryGeneral(VarDerefAll(left), VarDerefAll(right), op);
    res.MoveFrom(out);
}

}  // namespace xan::plat
