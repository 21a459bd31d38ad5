#pragma once
// FormatFloat: a number rendered by a picture.
//
//   0      a digit, shown even when it is a leading or trailing zero
//   #      a digit, left out when it is a leading or trailing zero
//   .      the decimal separator (the first one; shown only when fraction digits follow)
//   ,      anywhere before the decimal point: group the integer digits by thousands
//   E+ E- e+ e-   exponent form; the zeros after it give the minimum exponent digits; E+ always
//                 signs the exponent, E- only when it is negative
//   '..' ".."     literal text; every other character stands for itself
//   ;      separates sections: positive;negative;zero. A negative number with its own section is
//          shown without a minus sign; a value that rounds to zero uses the zero section.
// Integer digits beyond the placeholders all appear at the first one; a section without
// placeholders is shown as its literal text alone ("0;'overdrawn'"). Rounding is half away
// from zero on the number's 15-digit decimal form. An empty picture gives the general format.
// NaN and the infinities read "NAN", "INF", "-INF".
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

UString FormatFloat(std::u16string_view picture, double value, const TFormatSettings& settings = FormatSettings());
// The same for a currency value (an integer scaled by 10000), exact to the last digit.
UString FormatCurr(std::u16string_view picture, Int64 scaled10000, const TFormatSettings& settings = FormatSettings());

}  // namespace xan::plat
