#pragma once
// Locale-independent conversions of the number literals of the VBScript dialect.
#include <cstdint>
#include <string_view>

namespace xan::vb {

// Decimal digits to a signed 32-bit value; false above 2147483647 or for an empty text.
bool ConvertVbDecimal(std::u16string_view ADigits, std::int32_t& AValue) noexcept;

// Hexadecimal digits to a 32-bit value that wraps into the signed range (FFFFFFFF is -1);
// false when a digit arrives while the value is above 0FFFFFFF, or for an empty text.
bool ConvertVbHex(std::u16string_view ADigits, std::int32_t& AValue) noexcept;

// A float literal ("1.5", "1.", "2E10", "1.5e-3") with '.' as the decimal separator whatever
// the locale. False when the text is not one number or is too large for a Double (the value
// ends up in a Double variant, where infinity would be a silent wrong answer); a value too
// small to represent becomes 0.
bool ConvertVbFloat(std::u16string_view AText, long double& AValue) noexcept;

}  // namespace xan::vb
