#pragma once
// Internal to the variant operations: the integer type codes, their ranges and the promotion
// ladder used when a result does not fit.
#include "platform/ole/Variant.h"

namespace xan::plat::detail {

using I128 = __int128;

bool IsIntType(VarType t) noexcept;  // Smallint, Integer, ShortInt, Byte, Word, LongWord, Int64, UInt64
bool FitsIn(I128 v, VarType intType) noexcept;
// The exact value of an integer-typed (or Boolean) value.
I128 IntValueOf(const VarData& d) noexcept;
// The narrowest integer type that holds every value of both (Boolean counts as Smallint).
VarType IntStartType(VarType a, VarType b) noexcept;
// The next wider type a result climbs to on overflow; varEmpty after the 64-bit types.
VarType NextWiderInt(VarType t) noexcept;
// A variant of integer type `t` holding `v` (which fits).
Variant MakeInt(VarType t, I128 v) noexcept;
// `v` in `start` or the first wider type that holds it; beyond 64 bits a Double when
// `toDouble`, else the overflow error.
Variant IntResult(VarType start, I128 v, bool toDouble);

}  // namespace xan::plat::detail
