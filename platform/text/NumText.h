#pragma once
// Numbers to text and back: the conversions behind the built-ins and the variant layer.
//
// Texts are locale-dependent only through the TFormatSettings record (decimal separator); the
// C library locale is never consulted. Special values read "NAN", "INF" and "-INF".
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

UString IntToStr(Int64 value);
UString UIntToStr(UInt64 value);
// Upper-case hexadecimal, zero-padded to at least `digits` digits (a negative count is 0).
UString IntToHex(UInt64 value, int digits);

// General format: up to 15 significant digits without trailing zeros; the exponent form
// ("1.5E20", "1E-5") when the decimal exponent is below -4 or above 14. Negative zero is "0".
UString FloatToStr(double value, const TFormatSettings& settings = FormatSettings());
// A currency value (an integer scaled by 10000) as a plain number: up to 4 decimals, no
// trailing zeros, no currency symbol.
UString CurrToStr(Int64 scaled10000, const TFormatSettings& settings = FormatSettings());

// Integers: blanks around the text, an optional sign, then decimal digits or hexadecimal digits
// after '$' or "0x". Decimal values must fit the type; hexadecimal values may use all bits of
// the type and wrap to negative ("$FFFFFFFF" is -1).
bool TryStrToInt(std::u16string_view text, Integer& value) noexcept;
Integer StrToInt(std::u16string_view text);  // EConvertError "'<text>' is not a valid integer value"
Integer StrToIntDef(std::u16string_view text, Integer defaultValue) noexcept;
bool TryStrToInt64(std::u16string_view text, Int64& value) noexcept;
Int64 StrToInt64(std::u16string_view text);
Int64 StrToInt64Def(std::u16string_view text, Int64 defaultValue) noexcept;

// Floats: blanks around the text, an optional sign, digits with the settings' decimal
// separator, an optional exponent (E or e, optional sign). No thousands separators. A value too
// large for a double fails; one too small becomes zero.
bool TryStrToFloat(std::u16string_view text, double& value,
                   const TFormatSettings& settings = FormatSettings()) noexcept;
// EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::u16string_view text, const TFormatSettings& settings = FormatSettings());
double StrToFloatDef(std::u16string_view text, double defaultValue,
                     const TFormatSettings& settings = FormatSettings()) noexcept;

// The texts of the Pascal Str procedure: always '.' as the decimal point (the result is meant
// to be read back by programs, not by users), right-aligned in at least `width` characters.
// A float without `decimals` takes the exponent form " 1.50000000000000E+0000" (a blank holds
// the place of the sign; with a width the significant digits shrink to width - 8, at least 2);
// with `decimals` it is fixed-point. A negative width or decimals counts as absent.
UString StrInt(Int64 value, int width = -1);
UString StrFloat(double value, int width = -1, int decimals = -1);

}  // namespace xan::plat
