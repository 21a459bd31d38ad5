#include "platform/rtl/MathUtil.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/core/Exception.h"

namespace xan::plat {

namespace {

Int64 ToInt64(double integral) {
    // Exactly representable bounds: [-2^63, 2^63).
    constexpr double kLimit = 9223372036854775808.0;
    if (!(integral >= -kLimit && integral < kLimit)) Throw<EInvalidOp>(u"Invalid floating point operation");
    return static_cast<Int64>(integral);
}

double RoundHalfEven(double x) {
    double floor = std::floor(x);
    double diff = x - floor;  // exact for every finite double
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

// Adds one unit at the last digit of a digit string; answers whether a carry left the front.
bool IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.') continue;
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

}  // namespace

Int64 Round(double x) { return ToInt64(RoundHalfEven(x)); }

Int64 Trunc(double x) { return ToInt64(std::trunc(x)); }

double Frac(double x) {
    if (!std::isfinite(x)) return std::numeric_limits<double>::quiet_NaN();
    return x - std::trunc(x);
}

double RoundTo(double x, int decimals) {
    if (decimals < 0 || decimals > 16) Throw<ERangeError>(u"Number of decimal places out of range");
    if (!std::isfinite(x)) return x;
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x), std::chars_format::fixed);
    if (ec != std::errc()) return x;
    std::string text(buffer, end);
    std::size_t point = text.find('.');
    if (point == std::string::npos || text.size() - point - 1 <= static_cast<std::size_t>(decimals)) return x;
    std::string kept = text.substr(0, point + 1 + static_cast<std::size_t>(decimals));
    if (kept.back() == '.') kept.pop_back();
    std::string rest = text.substr(point + 1 + static_cast<std::size_t>(decimals));
    bool above = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
    bool tie = rest[0] == '5' && !above;
    char last = kept.back();
    if (above || (tie && (last - '0') % 2 == 1)) {
        if (IncrementDigits(kept)) kept.insert(kept.begin(), '1');
    }
    double magnitude = 0;
    std::from_chars(kept.data(), kept.data() + kept.size(), magnitude);
    return std::signbit(x) ? -magnitude : magnitude;
}

}  // namespace xan::plat
