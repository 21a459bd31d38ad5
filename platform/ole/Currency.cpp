#include "platform/ole/Currency.h"

#include <cmath>

namespace xan::plat {

bool TryDoubleToCurrency(double value, Currency& out) noexcept {
    const double scaled = std::nearbyint(value * static_cast<double>(Currency::Scale));
    // 2^63 is exactly representable; anything at or beyond it (or NaN) does not fit.
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) return false;
    out.scaled = static_cast<Int64>(scaled);
    return true;
}

bool TryIntToCurrency(Int64 value, Currency& out) noexcept {
    return !__builtin_mul_overflow(value, Currency::Scale, &out.scaled);
}

Int64 CurrencyRoundToInt(Currency c) noexcept {
    Int64 q = c.scaled / Currency::Scale;
    const Int64 r = c.scaled % Currency::Scale;  // same sign as scaled
    const Int64 half = Currency::Scale / 2;
    if (r > half || (r == half && (q & 1))) ++q;
    else if (r < -half || (r == -half && (q & 1))) --q;
    return q;
}

}  // namespace xan::plat
