#pragma once
// Float-to-integer and rounding routines with the runtime library's rules: halves round to the
// even neighbour, results are 64-bit, and values that have no 64-bit integer (NaN, infinities,
// magnitudes of 2^63 and more) raise EInvalidOp "Invalid floating point operation" instead of
// the undefined behaviour of a C++ cast.
#include "platform/core/Types.h"

namespace xan::plat {

inline constexpr double Pi = 3.1415926535897932385;

Int64 Round(double x);  // 2.5 -> 2, 3.5 -> 4, -2.5 -> -2
Int64 Trunc(double x);  // toward zero
double Frac(double x);  // x - Trunc(x), keeping the sign; NaN and infinities give NaN
// x rounded to `decimals` (0..16) places, halves to even, applied to the shortest decimal text
// of x, so RoundTo(2.675, 2) is 2.68 as the written number suggests. Other decimal counts
// raise ERangeError.
double RoundTo(double x, int decimals);

}  // namespace xan::plat
