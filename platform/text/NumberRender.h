#pragma once
// Renders a DecimalNumber in the three standard layouts. Shared by FloatToStr, CurrToStr and the
// Format routine so that every number text of the system follows the same rules.
#include <string>

#include "platform/core/FormatSettings.h"
#include "platform/text/Decimal.h"

namespace xan::plat::text {

// Up to `precision` significant digits without trailing zeros; the exponent form ("1.5E20",
// "1E-5") when the decimal exponent is below -4 or not below `precision`.
std::u16string GeneralText(DecimalNumber n, int precision, char16_t decimalSeparator);
// Fixed point with exactly `decimals` digits; thousandSeparator 0 means none.
std::u16string FixedText(DecimalNumber n, int decimals, char16_t decimalSeparator, char16_t thousandSeparator = 0);
// "d.ddddE+ddd": `precision` significant digits, a signed exponent of at least `exponentDigits`.
std::u16string ExponentText(DecimalNumber n, int precision, int exponentDigits, char16_t decimalSeparator);
// A currency amount: `decimals` digits, thousands separators, and the symbol placed by the
// settings' CurrencyFormat (positive) or NegCurrFormat (negative) code; an unknown code counts
// as 0.
std::u16string CurrencyText(DecimalNumber n, int decimals, const TFormatSettings& settings);
// The text of NaN and the infinities; empty for a finite number.
std::u16string SpecialText(const DecimalNumber& n);
// Digits of an unsigned value in base 10 or 16 (upper case), zero-padded to at least minDigits.
std::u16string UnsignedDigits(UInt64 value, int base = 10, int minDigits = 1);
// Groups integer digits by three.
std::u16string GroupThousands(std::string_view integerDigits, char16_t thousandSeparator);

}  // namespace xan::plat::text
