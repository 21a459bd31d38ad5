#pragma once
// Internal to the variant operations: a dereferenced scalar value seen as a number.
//
// Integers stay exact (signed, or unsigned above the signed range), floating-point values and
// dates are doubles, Currency keeps its scaled integer. Conversions and arithmetic both start
// from here, so a string is parsed in exactly one way everywhere.
#include <cstdint>
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/ole/Variant.h"

namespace xan::plat::detail {

struct Num {
    enum Tag : std::uint8_t { Int, UInt, Float, Curr } tag;
    union {
        Int64 i;    // Int; Curr: scaled by 10000
        UInt64 u;   // UInt
        double f;   // Float
    };
    static Num OfInt(Int64 v) noexcept { Num n{Int, {}}; n.i = v; return n; }
    static Num OfUInt(UInt64 v) noexcept { Num n{UInt, {}}; n.u = v; return n; }
    static Num OfFloat(double v) noexcept { Num n{Float, {}}; n.f = v; return n; }
    static Num OfCurr(Int64 scaled) noexcept { Num n{Curr, {}}; n.i = scaled; return n; }
};

// The numeric value of a dereferenced value: Empty is 0, Boolean -1 or 0, Error its code,
// strings are parsed (integers exactly, then floating point, then "&H"/"&O" literals).
// Null, objects, arrays and other types raise the type-cast error.
Num NumOf(const VarData& d, const TFormatSettings& fs);
// Parses a numeric string; false when the text is no number.
bool TryParseNum(std::u16string_view text, Num& out, const TFormatSettings& fs) noexcept;

double NumToDouble(const Num& n) noexcept;
// Rounds half to even; values beyond [lo, hi] raise the overflow error.
Int64 NumToIntRange(const Num& n, Int64 lo, Int64 hi);
UInt64 NumToUInt64(const Num& n);
Currency NumToCurrency(const Num& n);
// Half-to-even rounding of a double to Int64; false for NaN and values outside Int64.
bool TryRoundToInt64(double f, Int64& out) noexcept;

}  // namespace xan::plat::detail
