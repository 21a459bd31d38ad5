// Negate and Not.
//
// Negate keeps the operand's type where it can (integers wrap like the machine does, without
// undefined behaviour): Smallint, Integer, ShortInt and Int64 wrap; Single, Double, Currency
// (overflow error for its minimum) and Date stay; Boolean gives Smallint -1 for True and 0
// for False; Byte gives Smallint; Word gives Integer; LongWord gives Integer below 2^31 and
// Int64 above; UInt64 gives Int64 (overflow error beyond); Empty gives Smallint 0; Null stays
// Null; a numeric string gives the negated Double.
//
// Not complements the bits: integer types keep their type, Boolean is a logical not;
// Single, Double, Date, Currency and numeric strings round half to even to a 64-bit integer
// and give Integer when the complement fits 32 bits, else Int64; Empty gives Smallint -1;
// Null stays Null; "True"/"False" give the other Boolean.
#include <cmath>

#include "platform/ole/VarErrors.h"
#include "platform/ole/VarNum.h"
#include "platform/ole/VarText.h"

namespace xan::plat {

namespace {

template <class S, class U>
S WrapNeg(S v) noexcept {
    return static_cast<S>(static_cast<U>(0) - static_cast<U>(v));
}

void RequireScalar(const VarData& d) {
    if (d.VType & varArray) RaiseVarInvalidOp();
}

Variant NegOf(const VarData& d) {
    switch (d.VType) {
    case varEmpty: return Variant(std::int16_t{0});
    case varNull: return Variant::Null();
    case varSmallint: return Variant(WrapNeg<std::int16_t, std::uint16_t>(d.VSmallInt));
    case varInteger: return Variant(WrapNeg<std::int32_t, std::uint32_t>(d.VInteger));
    case varShortInt: return Variant(WrapNeg<std::int8_t, std::uint8_t>(d.VShortInt));
    case varInt64: return Variant(WrapNeg<std::int64_t, std::uint64_t>(d.VInt64));
    case varSingle: return Variant(-d.VSingle);
    case varDouble: return Variant(-d.VDouble);
    case varDate: return Variant::FromDate(-d.VDate);
    case varCurrency:
        if (d.VCurrency == INT64_MIN) RaiseVarOverflow();
        return Variant(Currency{-d.VCurrency});
    case varBoolean: return Variant(static_cast<std::int16_t>(d.VBoolean ? -1 : 0));
    case varByte: return Variant(static_cast<std::int16_t>(-static_cast<int>(d.VByte)));
    case varWord: return Variant(-static_cast<std::int32_t>(d.VWord));
    case varLongWord:
        if (d.VLongWord < 0x80000000u) return Variant(-static_cast<std::int32_t>(d.VLongWord));
        return Variant(-static_cast<std::int64_t>(d.VLongWord));
    case varUInt64:
        if (d.VUInt64 > 0x8000000000000000ull) RaiseVarOverflow();
        return Variant(static_cast<std::int64_t>(0 - d.VUInt64));
    case varOleStr:
    case varString: return Variant(-VarToDouble(d));
    default: RequireScalar(d); RaiseVarTypeCast();
    }
}

Variant ComplementOfRounded(const VarData& d) {
    const Int64 v = detail::NumToIntRange(detail::NumOf(d, FormatSettings()), INT64_MIN, INT64_MAX);
    const Int64 c = ~v;
    if (c >= INT32_MIN && c <= INT32_MAX) return Variant(static_cast<std::int32_t>(c));
    return Variant(c);
}

Variant NotOf(const VarData& d) {
    switch (d.VType) {
    case varEmpty: return Variant(std::int16_t{-1});
    case varNull: return Variant::Null();
    case varSmallint: return Variant(static_cast<std::int16_t>(~d.VSmallInt));
    case varInteger: return Variant(~d.VInteger);
    case varShortInt: return Variant(static_cast<std::int8_t>(~d.VShortInt));
    case varByte: return Variant(static_cast<std::uint8_t>(~d.VByte));
    case varWord: return Variant(static_cast<std::uint16_t>(~d.VWord));
    case varLongWord: return Variant(static_cast<std::uint32_t>(~d.VLongWord));
    case varInt64: return Variant(~d.VInt64);
    case varUInt64: return Variant(static_cast<std::uint64_t>(~d.VUInt64));
    case varBoolean: return Variant(d.VBoolean == 0);
    case varSingle:
    case varDouble:
    case varDate:
    case varCurrency: return ComplementOfRounded(d);
    case varOleStr:
    case varString: {
        bool b;
        if (TryTextToBool(d.StrView(), b)) return Variant(!b);
        return ComplementOfRounded(d);
    }
    default: RequireScalar(d); RaiseVarTypeCast();
    }
}

}  // namespace

void VarNeg(Variant& res, const VarData& v) {
    Variant out = NegOf(VarDerefAll(v));
    res.MoveFrom(out);
}

void VarNot(Variant& res, const VarData& v) {
    Variant out = NotOf(VarDerefAll(v));
    res.MoveFrom(out);
}

}  // namespace xan::plat
