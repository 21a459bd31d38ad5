#pragma once
// The operators of both script languages on Variant values.
//
// Each operation first follows $400C references, then picks a path from the (left type, right
// type) table: 32-bit, 64-bit, floating, Boolean, object or general. The fast paths fix the
// result type (Integer, Int64, Double, Boolean), which scripts observe; every other pair goes to
// the platform's general variant operations. Concatenation, power, Eqv, Imp and the reference
// comparisons are defined here for every pair.
#include <cstdint>

#include "platform/ole/Variant.h"

namespace xan {

enum TXANBinaryOp : std::uint8_t {
    boAdd,
    boSubtract,
    boMultiply,
    boDivide,
    boIntDiv,
    boMod,
    boShl,
    boShr,
    boAnd,
    boOr,
    boXor,
    boConcat,
    boPower,
    boEqv,
    boImp,
};

// Numbered as the interpreter's comparison instructions use them.
enum TXANCompareKind : std::uint8_t { ckEQ, ckNE, ckLT, ckLE, ckGT, ckGE, ckRefEQ, ckRefNE };

// The fast path a pair of (dereferenced) type codes takes.
enum TXANOpPath : std::uint8_t { opGeneral, op32, op64, opFloat, opBoolean, opObject };

class TXANValueOps {
public:
    // AResult may be the same variable as ALeft (the interpreter computes S[1] := S[1] op S[0]).
    static void BinaryOp(const plat::VarData& ALeft, const plat::VarData& ARight, plat::Variant& AResult,
                         TXANBinaryOp AOp);
    static bool Compare(const plat::VarData& ALeft, const plat::VarData& ARight, TXANCompareKind AKind);
    // AResult may be the same variable as AValue.
    static void Negate(const plat::VarData& AValue, plat::Variant& AResult);
    static void Not(const plat::VarData& AValue, plat::Variant& AResult);

    static TXANOpPath PathOf(plat::VarType ALeft, plat::VarType ARight) noexcept;

    // The general forms, used when no fast path applies (exposed for the tests of their tables).
    static void Concat(const plat::VarData& ALeft, const plat::VarData& ARight, plat::Variant& AResult);
    static void Power(const plat::VarData& ALeft, const plat::VarData& ARight, plat::Variant& AResult);
    static void Eqv(const plat::VarData& ALeft, const plat::VarData& ARight, plat::Variant& AResult);
    static void Imp(const plat::VarData& ALeft, const plat::VarData& ARight, plat::Variant& AResult);
};

// Follows $400C chains (the machine's only reference form).
inline const plat::VarData& XANDeref(const plat::VarData& AValue) noexcept {
    const plat::VarData* p = &AValue;
    while (p->VType == plat::varRefVariant) p = static_cast<const plat::VarData*>(p->VPointer);
    return *p;
}

}  // namespace xan
