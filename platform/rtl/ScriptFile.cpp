#include "platform/rtl/ScriptFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/rtl/CodePage.h"

namespace xan::plat {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

// The length of the UTF-8 sequence starting at AAt, or 0 when it is malformed.
std::size_t SequenceLength(std::string_view ABytes, std::size_t AAt) noexcept {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ABytes[i]); };
    const unsigned char lead = byte(AAt);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned min, max;  // the range of the second byte, which rules out overlongs and surrogates
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, max = 0xBF;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = lead == 0xE0 ? 0xA0 : 0x80;
        max = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = lead == 0xF0 ? 0x90 : 0x80;
        max = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (AAt + length > ABytes.size()) return 0;
    if (byte(AAt + 1) < min || byte(AAt + 1) > max) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(AAt + i) & 0xC0) != 0x80) return 0;
    return length;
}

UString DecodeUtf16(std::string_view ABytes, bool ABigEndian) {
    std::u16string text(ABytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto hi = static_cast<unsigned char>(ABytes[2 * i + (ABigEndian ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(ABytes[2 * i + (ABigEndian ? 1 : 0)]);
        text[i] = static_cast<char16_t>(hi << 8 | lo);
    }
    // A dangling odd byte cannot be a character: it shows as the replacement character.
    if (ABytes.size() % 2 != 0) text.push_back(u'\uFFFD');
    return UString(text);
}

}  // namespace

bool IsValidUtf8(std::string_view ABytes) noexcept {
    for (std::size_t at = 0; at < ABytes.size();) {
        const std::size_t length = SequenceLength(ABytes, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

UString DecodeScriptText(std::string_view ABytes) {
    if (ABytes.starts_with(Utf8Bom)) return UString::FromUtf8(ABytes.substr(Utf8Bom.size()));
    if (ABytes.starts_with(Utf16LeBom)) return DecodeUtf16(ABytes.substr(Utf16LeBom.size()), false);
    if (ABytes.starts_with(Utf16BeBom)) return DecodeUtf16(ABytes.substr(Utf16BeBom.size()), true);
    if (IsValidUtf8(ABytes)) return UString::FromUtf8(ABytes);
    return AnsiToWide(ABytes);
}

bool LoadScriptFile(const std::string& APath, UString& AText, std::string& AError) {
    std::ifstream in(APath, std::ios::binary);
    if (!in) {
        AError = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        AError = "read error";
        return false;
    }
    AText = DecodeScriptText(buffer.str());
    return true;
}

}  // namespace xan::plat
