#pragma once
// A number as decimal digits and an exponent: the common ground of every number-to-text routine.
//
// Doubles are first reduced to 15 correctly rounded significant digits (what a double reliably
// carries); every later rounding (to a number of decimals or of digits) works half away from
// zero on those decimal digits, so 1.005 shown with two decimals is "1.01" as a user expects,
// not the "1.00" that rounding the binary value would give.
#include <string>

#include "platform/core/Types.h"

namespace xan::plat::text {

struct DecimalNumber {
    enum class Kind : std::uint8_t { Finite, NaN, Infinite };
    Kind kind = Kind::Finite;
    bool negative = false;
    std::string digits;  // significant digits '0'..'9' without leading or trailing zeros; empty for zero
    int exponent = 0;    // value = 0.<digits> x 10^exponent

    bool IsZero() const noexcept { return kind == Kind::Finite && digits.empty(); }
    bool IsFinite() const noexcept { return kind == Kind::Finite; }
    // Digits before the decimal point (at least "0").
    std::string IntegerDigits() const;
    // Exactly `count` digits after the decimal point, zero-padded, no rounding.
    std::string FractionDigits(int count) const;
};

inline constexpr int kDoubleDigits = 15;

DecimalNumber DecimalFromDouble(double value, int significant = kDoubleDigits);
// value / 10^scale, exact (currency values are scaled by 10000).
DecimalNumber DecimalFromScaled(Int64 value, int scale);

// Half away from zero. A result of zero loses its sign: "-0" is never shown.
void RoundToDecimals(DecimalNumber& n, int decimals);
void RoundToSignificant(DecimalNumber& n, int significant);

// Texts of the special values, shared by every formatter.
inline constexpr char16_t kNaNText[] = u"NAN";
inline constexpr char16_t kInfText[] = u"INF";
inline constexpr char16_t kNegInfText[] = u"-INF";

}  // namespace xan::plat::text
