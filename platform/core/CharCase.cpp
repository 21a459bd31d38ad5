#include "platform/core/CharCase.h"

#include <unicode/uchar.h>

namespace xan::plat {

char16_t IdentUpperChar(char16_t c) noexcept {
    if (c < 0x80) return AsciiUpper(c);
    if (c >= 0xD800 && c <= 0xDFFF) return c;  // surrogate halves map to themselves
    const UChar32 u = u_toupper(c);
    return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
}

UString IdentUpperCase(const UString& s) {
    const std::int32_t n = s.length();
    std::int32_t i = 0;
    while (i < n && IdentUpperChar(s[i]) == s[i]) ++i;
    if (i == n) return s;  // already upper case: share the buffer
    char16_t* buf;
    UString r = UString::Uninitialized(n, buf);
    for (std::int32_t k = 0; k < n; ++k) buf[k] = IdentUpperChar(s[k]);
    return r;
}

bool IdentEquals(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && IdentUpperChar(a[i]) != IdentUpperChar(b[i])) return false;
    return true;
}

}  // namespace xan::plat
