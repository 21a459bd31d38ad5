#pragma once
// Currency: a fixed-point number held as a 64-bit integer scaled by 10000 (four decimals),
// so sums of money stay exact. Conversions from floating point round the value's 15
// significant decimal digits half to even (what the number shows, not its binary error).
#include <compare>
#include <cstdint>

#include "platform/core/Types.h"

namespace xan::plat {

struct Currency {
    static constexpr Int64 Scale = 10000;
    Int64 scaled = 0;  // value * 10000

    static constexpr Currency FromScaled(Int64 s) noexcept { return Currency{s}; }
    double ToDouble() const noexcept { return static_cast<double>(scaled) / static_cast<double>(Scale); }
    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;
};

inline constexpr Currency MinCurrency{INT64_MIN};
inline constexpr Currency MaxCurrency{INT64_MAX};

// False when the value is NaN or outside the Currency range.
bool TryDoubleToCurrency(double value, Currency& out) noexcept;
// False when value * 10000 does not fit.
bool TryIntToCurrency(Int64 value, Currency& out) noexcept;
// The value rounded half to even to a whole number (the integer part of a Currency).
Int64 CurrencyRoundToInt(Currency c) noexcept;

}  // namespace xan::plat
