#include "platform/text/NumText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/text/Decimal.h"
#include "platform/text/NumberRender.h"
#include "platform/text/TextScan.h"

namespace xan::plat {

using namespace text;

namespace {

// Parses an optionally signed integer whose magnitude fits `bits` bits; hexadecimal may use
// the full width and wraps to the signed value.
bool ParseInteger(std::u16string_view text, int bits, Int64& out) noexcept {
    std::u16string_view s = TrimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s[0] == u'+' || s[0] == u'-')) {
        negative = s[0] == u'-';
        s.remove_prefix(1);
    }
    bool hex = false;
    if (!s.empty() && s[0] == u'$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    const UInt64 hexLimit = bits == 64 ? ~UInt64(0) : (UInt64(1) << bits) - 1;
    const UInt64 decLimit = (UInt64(1) << (bits - 1)) - (negative ? 0 : 1);
    const UInt64 limit = hex ? hexLimit : decLimit;
    const unsigned base = hex ? 16 : 10;
    UInt64 mag = 0;
    for (char16_t c : s) {
        const int d = hex ? HexDigitValue(c) : (IsDigit(c) ? c - u'0' : -1);
        if (d < 0) return false;
        if (mag > (limit - d) / base) return false;
        mag = mag * base + d;
    }
    if (hex && bits < 64 && mag >= (UInt64(1) << (bits - 1))) mag -= UInt64(1) << bits;  // wrap
    // Two's complement negation keeps INT64_MIN exact.
    out = static_cast<Int64>(negative ? UInt64(0) - mag : mag);
    return true;
}

UString PadLeft(std::u16string text, int width) {
    if (width > 0 && static_cast<std::size_t>(width) > text.size()) text.insert(0, width - text.size(), u' ');
    return ToUString(text);
}

// Converts the locale spelling to the ASCII form from_chars reads, validating the syntax on
// the way: [sign] digits [sep digits] [(E|e) [sign] digits], at least one mantissa digit.
bool ToAsciiFloat(std::u16string_view s, char16_t decimalSeparator, std::string& ascii, int& magnitude) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    int intDigits = 0, fracDigits = 0, leadingZeros = 0;
    bool seenNonZero = false;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++intDigits) {
        if (s[i] != u'0') seenNonZero = true;
        if (seenNonZero) ++magnitude;
        ascii += static_cast<char>(s[i]);
    }
    if (i < s.size() && s[i] == decimalSeparator) {
        ascii += '.';
        for (++i; i < s.size() && IsDigit(s[i]); ++i, ++fracDigits) {
            if (!seenNonZero && s[i] == u'0') ++leadingZeros;
            if (s[i] != u'0') seenNonZero = true;
            ascii += static_cast<char>(s[i]);
        }
    }
    if (intDigits + fracDigits == 0) return false;
    if (!seenNonZero) magnitude = 0;
    else if (magnitude == 0) magnitude = -leadingZeros;
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
        ascii += 'e';
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            ascii += static_cast<char>(s[i++]);
        }
        const std::size_t expStart = i;
        int exp = 0;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            if (exp < 100000) exp = exp * 10 + (s[i] - u'0');  // saturates; from_chars sees the rest
            ascii += static_cast<char>(s[i]);
        }
        if (i == expStart) return false;
        magnitude += expNegative ? -exp : exp;
    }
    return i == s.size();
}

}  // namespace

UString IntToStr(Int64 value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return UString::FromLatin1({buf, r.ptr});
}

UString UIntToStr(UInt64 value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return UString::FromLatin1({buf, r.ptr});
}

UString IntToHex(UInt64 value, int digits) { return ToUString(UnsignedDigits(value, 16, digits)); }

UString FloatToStr(double value, const TFormatSettings& settings) {
    return ToUString(GeneralText(DecimalFromDouble(value), kDoubleDigits, settings.DecimalSeparator));
}

UString CurrToStr(Int64 scaled10000, const TFormatSettings& settings) {
    // 19 digits hold every currency value exactly.
    return ToUString(GeneralText(DecimalFromScaled(scaled10000, 4), 19, settings.DecimalSeparator));
}

bool TryStrToInt(std::u16string_view text, Integer& value) noexcept {
    Int64 v;
    if (!ParseInteger(text, 32, v)) return false;
    value = static_cast<Integer>(v);
    return true;
}

Integer StrToInt(std::u16string_view text) {
    Integer v;
    if (!TryStrToInt(text, v)) RaiseConvertError(text, u"is not a valid integer value");
    return v;
}

Integer StrToIntDef(std::u16string_view text, Integer defaultValue) noexcept {
    Integer v;
    return TryStrToInt(text, v) ? v : defaultValue;
}

bool TryStrToInt64(std::u16string_view text, Int64& value) noexcept { return ParseInteger(text, 64, value); }

Int64 StrToInt64(std::u16string_view text) {
    Int64 v;
    if (!TryStrToInt64(text, v)) RaiseConvertError(text, u"is not a valid integer value");
    return v;
}

Int64 StrToInt64Def(std::u16string_view text, Int64 defaultValue) noexcept {
    Int64 v;
    return TryStrToInt64(text, v) ? v : defaultValue;
}

bool TryStrToFloat(std::u16string_view text, double& value, const TFormatSettings& settings) noexcept {
    try {
        std::string ascii;
        int magnitude = 0;  // decimal exponent of the leading digit, to tell overflow from underflow
        if (!ToAsciiFloat(TrimBlanks(text), settings.DecimalSeparator, ascii, magnitude)) return false;
        const char* first = ascii.data() + (ascii[0] == '+');
        double v = 0;
        const auto r = std::from_chars(first, ascii.data() + ascii.size(), v);
        if (r.ec == std::errc::result_out_of_range) {
            if (magnitude > 0) return false;
            v = ascii[0] == '-' ? -0.0 : 0.0;
        } else if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size()) {
            return false;
        }
        value = v;
        return true;
    } catch (...) {  // allocation failure of the scratch buffer
        return false;
    }
}

double StrToFloat(std::u16string_view text, const TFormatSettings& settings) {
    double v;
    if (!TryStrToFloat(text, v, settings)) RaiseConvertError(text, u"is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::u16string_view text, double defaultValue, const TFormatSettings& settings) noexcept {
    double v;
    return TryStrToFloat(text, v, settings) ? v : defaultValue;
}

UString StrInt(Int64 value, int width) { return PadLeft(std::u16string(IntToStr(value).view()), width); }

UString StrFloat(double value, int width, int decimals) {
    const DecimalNumber n = DecimalFromDouble(value);
    if (decimals >= 0) return PadLeft(FixedText(n, decimals, u'.'), width);
    if (!n.IsFinite()) return PadLeft(SpecialText(n), width);
    constexpr int kExponentOverhead = 8;  // sign, point, "E+dddd"
    const int digits = width < 0 ? kDoubleDigits : std::clamp(width - kExponentOverhead, 2, kDoubleDigits);
    std::u16string text = ExponentText(n, digits, 4, u'.');
    if (!n.negative || n.IsZero()) text.insert(0, 1, u' ');
    return PadLeft(std::move(text), width);
}

}  // namespace xan::plat
