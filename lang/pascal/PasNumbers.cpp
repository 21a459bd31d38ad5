#include "lang/pascal/PasNumbers.h"

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace xan::pas {

namespace {

int HexDigitValue(char16_t c) noexcept {
    if (c <= u'9') return c - u'0';
    if (c <= u'F') return c - u'A' + 10;
    return c - u'a' + 10;
}

// strtold of the process locale would read "1,5" in some locales; the C locale never does.
locale_t CLocale() noexcept {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

}  // namespace

bool PasHexToInt32(std::u16string_view ADigits, std::int32_t& AValue) noexcept {
    if (ADigits.empty()) return false;
    std::uint64_t value = 0;
    for (char16_t c : ADigits) {
        if (!IsPasHexDigit(c)) return false;
        value = value * 16 + static_cast<std::uint64_t>(HexDigitValue(c));
        if (value > 0xFFFFFFFFull) return false;
    }
    AValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return true;
}

bool PasDecimalToInt32(std::u16string_view ADigits, std::int32_t& AValue) noexcept {
    if (ADigits.empty()) return false;
    std::int64_t value = 0;
    for (char16_t c : ADigits) {
        if (!IsPasDigit(c)) return false;
        value = value * 10 + (c - u'0');
        if (value > 2147483647) return false;
    }
    AValue = static_cast<std::int32_t>(value);
    return true;
}

bool PasTextToFloat(std::u16string_view AText, long double& AValue) {
    if (AText.empty()) return false;
    std::string ascii;
    ascii.reserve(AText.size());
    for (char16_t c : AText) {
        bool allowed = IsPasDigit(c) || c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-';
        if (!allowed) return false;
        ascii.push_back(static_cast<char>(c));
    }
    // strtold also takes leading blanks, a sign, "inf" and "nan"; script numbers start with a digit.
    if (!IsPasDigit(AText.front())) return false;
    char* end = nullptr;
    long double value = strtold_l(ascii.c_str(), &end, CLocale());
    if (end != ascii.c_str() + ascii.size() || std::isinf(value)) return false;
    AValue = value;
    return true;
}

}  // namespace xan::pas
