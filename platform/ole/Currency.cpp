#include "platform/ole/Currency.h"

#include <cmath>

#include "platform/text/Decimal.h"

namespace xan::plat {

bool TryDoubleToCurrency(double value, Currency& out) noexcept {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return false;
    // Round the decimal digits a double reliably carries, not its binary approximation:
    // 0.00015 is really 0.000149999..., yet it shows (and should convert) as 0.00015.
    text::DecimalNumber n;
    try {
        n = text::DecimalFromDouble(value);
    } catch (...) {
        return false;  // no memory for the digit string
    }
    const int whole = n.exponent + 4;  // digits before the point of value * 10000
    const int len = static_cast<int>(n.digits.size());
    __int128 q = 0;
    for (int i = 0; i < whole; ++i) q = q * 10 + (i < len ? n.digits[i] - '0' : 0);
    const int roundDigit = whole >= 0 && whole < len ? n.digits[whole] - '0' : 0;
    const bool sticky = whole + 1 < len && whole >= 0;  // digits carry no trailing zeros
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || (q & 1)))) ++q;
    if (n.negative) q = -q;
    if (q < INT64_MIN || q > INT64_MAX) return false;
    out.scaled = static_cast<Int64>(q);
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
