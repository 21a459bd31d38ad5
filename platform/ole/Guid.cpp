// Text form of interface and class identifiers.
#include <cstdio>

#include "platform/ole/ComIntf.h"

namespace xan::plat {

UString GUIDToString(const TGUID& g) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.D1, g.D2, g.D3, g.D4[0],
                  g.D4[1], g.D4[2], g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]);
    return UString::FromLatin1(buf);
}

namespace {

// Reads `digits` hexadecimal digits at `pos`.
bool ReadHex(std::u16string_view s, std::size_t pos, int digits, std::uint32_t& out) noexcept {
    out = 0;
    for (int i = 0; i < digits; ++i) {
        const char16_t c = s[pos + i];
        int v;
        if (c >= u'0' && c <= u'9') v = c - u'0';
        else if (c >= u'A' && c <= u'F') v = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
        else return false;
        out = out * 16 + static_cast<std::uint32_t>(v);
    }
    return true;
}

}  // namespace

bool TryStringToGUID(std::u16string_view s, TGUID& g) noexcept {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (s.size() != 38 || s[0] != u'{' || s[37] != u'}' || s[9] != u'-' || s[14] != u'-' || s[19] != u'-' ||
        s[24] != u'-')
        return false;
    TGUID r;
    std::uint32_t v;
    if (!ReadHex(s, 1, 8, r.D1)) return false;
    if (!ReadHex(s, 10, 4, v)) return false;
    r.D2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(s, 15, 4, v)) return false;
    r.D3 = static_cast<std::uint16_t>(v);
    static constexpr std::size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(s, kBytePos[i], 2, v)) return false;
        r.D4[i] = static_cast<std::uint8_t>(v);
    }
    g = r;
    return true;
}

}  // namespace xan::plat
