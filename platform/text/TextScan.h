#pragma once
// Small character-level helpers shared by the number and date scanners and formatters.
#include <string>
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat::text {

// Blanks are spaces and the control characters; users paste text with tabs and line ends.
inline bool IsBlank(char16_t c) noexcept { return c <= u' '; }
inline bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }
inline int HexDigitValue(char16_t c) noexcept {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

std::u16string_view TrimBlanks(std::u16string_view s) noexcept;

// Widens ASCII text (the output of std::to_chars) onto a UTF-16 buffer.
inline void AppendAscii(std::u16string& out, std::string_view ascii) {
    out.append(ascii.begin(), ascii.end());
}
inline UString ToUString(const std::u16string& s) { return UString(std::u16string_view(s)); }

// Quoted literals of pictures: '...' or "...". An unclosed quote runs to the end.
inline bool IsQuote(char16_t c) noexcept { return c == u'\'' || c == u'"'; }
// Length of the literal starting at the quote at i, quotes included.
std::size_t QuotedLength(std::u16string_view picture, std::size_t i) noexcept;
// Appends the literal's text (without its quotes) and answers its length as QuotedLength does.
std::size_t AppendQuoted(std::u16string& out, std::u16string_view picture, std::size_t i);

// Case-insensitive comparison of a prefix of `text` with `word` (ASCII and Latin-1 letters fold;
// names in the settings record may be in any case the user typed).
bool StartsWithNoCase(std::u16string_view text, std::u16string_view word) noexcept;

// The quoted message of the conversion errors: "'<text>' <tail>".
[[noreturn]] void RaiseConvertError(std::u16string_view text, std::u16string_view tail);

}  // namespace xan::plat::text
