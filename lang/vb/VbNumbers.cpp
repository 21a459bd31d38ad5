#include "lang/vb/VbNumbers.h"

#include "lang/vb/VbChars.h"
#include "platform/core/FormatSettings.h"
#include "platform/text/NumText.h"
#include "platform/text/TextScan.h"

namespace xan::vb {

bool ConvertVbDecimal(std::u16string_view ADigits, std::int32_t& AValue) noexcept {
    for (char16_t c : ADigits)
        if (!IsVbDigit(c)) return false;  // the platform routine would also take blanks and signs
    return !ADigits.empty() && plat::TryStrToInt(ADigits, AValue);
}

bool ConvertVbHex(std::u16string_view ADigits, std::int32_t& AValue) noexcept {
    if (ADigits.empty()) return false;
    std::uint32_t value = 0;
    for (char16_t c : ADigits) {
        const int digit = plat::text::HexDigitValue(c);
        if (digit < 0 || value > 0x0FFFFFFFu) return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    AValue = static_cast<std::int32_t>(value);
    return true;
}

bool ConvertVbFloat(std::u16string_view AText, long double& AValue) noexcept {
    // Script text always uses '.', whatever the user's locale says.
    static const plat::TFormatSettings invariant = plat::TFormatSettings::Invariant();
    if (AText.empty() || !IsVbDigit(AText.front())) return false;  // no sign, no blanks
    double value = 0;
    if (!plat::TryStrToFloat(AText, value, invariant)) return false;
    AValue = value;
    return true;
}

}  // namespace xan::vb
