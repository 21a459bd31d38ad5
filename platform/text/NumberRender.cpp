#include "platform/text/NumberRender.h"

#include <charconv>
#include <cstdlib>

#include "platform/text/TextScan.h"

namespace xan::plat::text {

namespace {

void AppendExponent(std::u16string& out, int exponent, bool forceSign, int minDigits) {
    if (exponent < 0)
        out += u'-';
    else if (forceSign)
        out += u'+';
    out += UnsignedDigits(static_cast<UInt64>(std::abs(exponent)), 10, minDigits);
}

}  // namespace

std::u16string UnsignedDigits(UInt64 value, int base, int minDigits) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, base);
    std::u16string out;
    const auto len = static_cast<int>(r.ptr - buf);
    if (minDigits > len) out.assign(minDigits - len, u'0');
    for (const char* p = buf; p != r.ptr; ++p) out += static_cast<char16_t>(*p >= 'a' ? *p - ('a' - 'A') : *p);
    return out;
}

std::u16string SpecialText(const DecimalNumber& n) {
    switch (n.kind) {
        case DecimalNumber::Kind::NaN: return kNaNText;
        case DecimalNumber::Kind::Infinite: return n.negative ? kNegInfText : kInfText;
        default: return {};
    }
}

std::u16string GroupThousands(std::string_view integerDigits, char16_t thousandSeparator) {
    std::u16string out;
    const std::size_t len = integerDigits.size();
    for (std::size_t i = 0; i < len; ++i) {
        if (thousandSeparator && i > 0 && (len - i) % 3 == 0) out += thousandSeparator;
        out += static_cast<char16_t>(integerDigits[i]);
    }
    return out;
}

std::u16string GeneralText(DecimalNumber n, int precision, char16_t decimalSeparator) {
    if (!n.IsFinite()) return SpecialText(n);
    if (precision < 1) precision = 1;
    RoundToSignificant(n, precision);
    if (n.IsZero()) return u"0";
    std::u16string out;
    if (n.negative) out += u'-';
    const int sciExponent = n.exponent - 1;
    if (sciExponent < -4 || sciExponent >= precision) {
        out += static_cast<char16_t>(n.digits[0]);
        if (n.digits.size() > 1) {
            out += decimalSeparator;
            AppendAscii(out, std::string_view(n.digits).substr(1));
        }
        out += u'E';
        AppendExponent(out, sciExponent, false, 1);
        return out;
    }
    AppendAscii(out, n.IntegerDigits());
    const int fraction = static_cast<int>(n.digits.size()) - n.exponent;
    if (fraction > 0) {
        out += decimalSeparator;
        AppendAscii(out, n.FractionDigits(fraction));
    }
    return out;
}

std::u16string FixedText(DecimalNumber n, int decimals, char16_t decimalSeparator, char16_t thousandSeparator) {
    if (!n.IsFinite()) return SpecialText(n);
    if (decimals < 0) decimals = 0;
    RoundToDecimals(n, decimals);
    std::u16string out;
    if (n.negative) out += u'-';
    out += GroupThousands(n.IntegerDigits(), thousandSeparator);
    if (decimals > 0) {
        out += decimalSeparator;
        AppendAscii(out, n.FractionDigits(decimals));
    }
    return out;
}

std::u16string ExponentText(DecimalNumber n, int precision, int exponentDigits, char16_t decimalSeparator) {
    if (!n.IsFinite()) return SpecialText(n);
    if (precision < 1) precision = 1;
    RoundToSignificant(n, precision);
    std::u16string out;
    if (n.negative) out += u'-';
    std::string digits = n.digits;
    digits.resize(precision, '0');
    out += static_cast<char16_t>(digits[0]);
    if (precision > 1) {
        out += decimalSeparator;
        AppendAscii(out, std::string_view(digits).substr(1));
    }
    out += u'E';
    AppendExponent(out, n.IsZero() ? 0 : n.exponent - 1, true, exponentDigits);
    return out;
}

namespace {

// '$' marks the symbol and '1' the amount, in the standard order of the currency codes.
constexpr const char16_t* kPositiveCurrency[] = {u"$1", u"1$", u"$ 1", u"1 $"};
constexpr const char16_t* kNegativeCurrency[] = {u"($1)", u"-$1",  u"$-1",  u"$1-",  u"(1$)",  u"-1$",
                                                 u"1-$",  u"1$-",  u"-1 $", u"-$ 1", u"1 $-",  u"$ 1-",
                                                 u"$ -1", u"1- $", u"($ 1)", u"(1 $)"};

template <std::size_t N>
const char16_t* PatternAt(const char16_t* const (&table)[N], unsigned code) {
    return table[code < N ? code : 0];
}

}  // namespace

std::u16string CurrencyText(DecimalNumber n, int decimals, const TFormatSettings& settings) {
    if (!n.IsFinite()) return SpecialText(n);
    RoundToDecimals(n, decimals);
    const bool negative = n.negative;
    n.negative = false;
    const std::u16string amount = FixedText(n, decimals, settings.DecimalSeparator, settings.ThousandSeparator);
    const std::u16string_view pattern =
        negative ? PatternAt(kNegativeCurrency, settings.NegCurrFormat) : PatternAt(kPositiveCurrency, settings.CurrencyFormat);
    std::u16string out;
    for (char16_t c : pattern) {
        if (c == u'$')
            out += settings.CurrencyString.view();
        else if (c == u'1')
            out += amount;
        else
            out += c;
    }
    return out;
}

}  // namespace xan::plat::text
