#pragma once
// Character classes of the VBScript-dialect scanner.
namespace xan::vb {

// Blanks between tokens: control characters and the space, and every character above U+00FF
// (text pasted from word processors carries non-breaking and typographic spaces). Line ends
// and the terminating 0 are never blanks: they end statements and the text.
inline bool IsVbBlank(char16_t c) noexcept {
    return c != 0 && c != 13 && c != 10 && (c <= 32 || c > 255);
}
inline bool IsVbDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }
inline bool IsVbHexDigit(char16_t c) noexcept {
    return IsVbDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
inline bool IsVbLetter(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
inline bool IsVbIdentChar(char16_t c) noexcept { return IsVbLetter(c) || IsVbDigit(c) || c == u'_'; }
inline bool IsVbLineEnd(char16_t c) noexcept { return c == 13 || c == 10; }

}  // namespace xan::vb
