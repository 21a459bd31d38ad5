#pragma once
// Conversion of the Pascal dialect's numeric literal texts. The scanner decides where a number
// ends; these routines decide whether its text is a valid value. They never depend on the
// process locale: the decimal separator of script text is always '.'.
#include <cstdint>
#include <string_view>

namespace xan::pas {

// Hexadecimal digits (without the '$') as a 32-bit integer: at least one digit, at most
// $FFFFFFFF, wrapped into the signed range ($FFFFFFFF is -1). False when not valid.
bool PasHexToInt32(std::u16string_view ADigits, std::int32_t& AValue) noexcept;

// Decimal digits as a signed 32-bit integer: at least one digit, at most 2147483647.
bool PasDecimalToInt32(std::u16string_view ADigits, std::int32_t& AValue) noexcept;

// A float text (digits, '.', exponent) as an extended-precision value. False when the whole text
// is not one number or the value overflows; a value too small to represent becomes 0.
bool PasTextToFloat(std::u16string_view AText, long double& AValue);

inline bool IsPasDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }
inline bool IsPasHexDigit(char16_t c) noexcept {
    return IsPasDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

}  // namespace xan::pas
