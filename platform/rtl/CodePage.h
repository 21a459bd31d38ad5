#pragma once
// Single-byte "ANSI" code pages (Windows-1252 unless told otherwise) to and from UTF-16, for
// byte-oriented built-ins (character codes 0..255) and 8-bit strings. Every byte of 1252 maps to
// a character (the five unassigned bytes to the C1 controls of the same value), so bytes survive
// a round trip; characters the page lacks become '?'.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

inline constexpr std::uint16_t DefaultAnsiCodePage = 1252;

UString AnsiToWide(std::string_view bytes, std::uint16_t codePage = DefaultAnsiCodePage);
std::string WideToAnsi(std::u16string_view text, std::uint16_t codePage = DefaultAnsiCodePage);

char16_t AnsiCharToWide(std::uint8_t code, std::uint16_t codePage = DefaultAnsiCodePage);
std::uint8_t WideCharToAnsi(char16_t c, std::uint16_t codePage = DefaultAnsiCodePage);

}  // namespace xan::plat
