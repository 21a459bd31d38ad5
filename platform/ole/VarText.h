#pragma once
// Text forms of variant values: the string side of the conversions.
//
// Numbers and dates use the locale settings record (invariant by default); Booleans read
// "True"/"False" and parse from those words in any case, or from a number (non-zero = True).
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/UString.h"
#include "platform/ole/Currency.h"

namespace xan::plat {

inline constexpr const char16_t* STrueText = u"True";
inline constexpr const char16_t* SFalseText = u"False";

// "True" / "False" in any case, blanks around allowed. Numbers are not words: false.
bool TryTextToBool(std::u16string_view text, bool& value) noexcept;

enum class TextNumResult { Ok, NotANumber, Overflow };
// A plain decimal text (sign, digits, the locale decimal separator, digits) converted exactly,
// rounded half to even at the fourth decimal; other numeric forms (exponents, hexadecimal) go
// through the floating-point parse.
TextNumResult TryTextToCurrency(std::u16string_view text, Currency& value, const TFormatSettings& fs) noexcept;
// A date/time text in the locale's formats, else a number (a day count).
bool TryTextToDate(std::u16string_view text, double& value, const TFormatSettings& fs) noexcept;

// The text of a Single: the shortest decimal form that reads back as the same Single, so
// 0.1 (as a Single) shows "0.1", not the digits of its binary approximation.
UString SingleToStr(float value, const TFormatSettings& fs);

}  // namespace xan::plat
