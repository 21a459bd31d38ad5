#include "platform/text/Decimal.h"

#include <charconv>
#include <cmath>

namespace xan::plat::text {

namespace {

void Normalize(DecimalNumber& n) {
    const auto first = n.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        n.digits.clear();
        n.exponent = 0;
        n.negative = false;
        return;
    }
    n.digits.erase(0, first);
    n.exponent -= static_cast<int>(first);
    n.digits.erase(n.digits.find_last_not_of('0') + 1);
}

// Keeps the first `keep` digits, rounding half away from zero.
void TruncateDigits(DecimalNumber& n, int keep) {
    if (keep >= static_cast<int>(n.digits.size())) return;
    if (keep < 0) {
        n.digits.clear();
        Normalize(n);
        return;
    }
    const bool roundUp = n.digits[keep] >= '5';
    n.digits.resize(keep);
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && n.digits[i] == '9') n.digits[i--] = '0';
        if (i >= 0) {
            ++n.digits[i];
        } else {
            n.digits.insert(n.digits.begin(), '1');
            ++n.exponent;
        }
    }
    Normalize(n);
}

}  // namespace

std::string DecimalNumber::IntegerDigits() const {
    if (exponent <= 0) return "0";
    std::string r = digits.substr(0, std::min<std::size_t>(digits.size(), exponent));
    r.resize(exponent, '0');
    return r;
}

std::string DecimalNumber::FractionDigits(int count) const {
    std::string r;
    r.reserve(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        const int idx = exponent + i;  // index into digits of the (i+1)th fraction digit
        r += idx >= 0 && idx < static_cast<int>(digits.size()) ? digits[idx] : '0';
    }
    return r;
}

DecimalNumber DecimalFromDouble(double value, int significant) {
    DecimalNumber n;
    if (std::isnan(value)) {
        n.kind = DecimalNumber::Kind::NaN;
        return n;
    }
    n.negative = std::signbit(value);
    if (std::isinf(value)) {
        n.kind = DecimalNumber::Kind::Infinite;
        return n;
    }
    if (value == 0) {
        n.negative = false;
        return n;
    }
    if (significant < 1) significant = 1;
    if (significant > 17) significant = 17;
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                 significant - 1);
    // "d.dddde[+-]xx"
    const std::string_view text(buf, r.ptr);
    const auto e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.') n.digits += c;
    int exp10 = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exp10);
    n.exponent = exp10 + 1;
    Normalize(n);
    return n;
}

DecimalNumber DecimalFromScaled(Int64 value, int scale) {
    DecimalNumber n;
    n.negative = value < 0;
    // The magnitude as unsigned keeps INT64_MIN exact.
    const UInt64 mag = n.negative ? UInt64(0) - static_cast<UInt64>(value) : static_cast<UInt64>(value);
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, mag);
    n.digits.assign(buf, r.ptr);
    n.exponent = static_cast<int>(n.digits.size()) - scale;
    Normalize(n);
    return n;
}

void RoundToDecimals(DecimalNumber& n, int decimals) {
    if (!n.IsFinite()) return;
    TruncateDigits(n, n.exponent + decimals);
}

void RoundToSignificant(DecimalNumber& n, int significant) {
    if (!n.IsFinite()) return;
    TruncateDigits(n, significant);
}

}  // namespace xan::plat::text
