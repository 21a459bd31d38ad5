#pragma once
// Identifier case rules. Identifiers, named items and member names compare without regard to
// case through a simple, length-preserving, locale-independent upper-case mapping: a Turkish
// process locale must not turn 'i' into a dotted capital I, and the stored upper-cased name is
// visible to callers.
#include "platform/core/UString.h"

namespace xan::plat {

char16_t IdentUpperChar(char16_t c) noexcept;
UString IdentUpperCase(const UString& s);
bool IdentEquals(std::u16string_view a, std::u16string_view b) noexcept;

// ASCII-only case rules (keywords, UpperCase/LowerCase/CompareText).
inline char16_t AsciiUpper(char16_t c) noexcept { return c >= u'a' && c <= u'z' ? c - 32 : c; }
inline char16_t AsciiLower(char16_t c) noexcept { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

}  // namespace xan::plat
