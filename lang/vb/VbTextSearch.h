#pragma once
// The text searches of Split, Replace, InStr and InStrRev, and the whole-text match of Filter.
// Binary comparison compares UTF-16 code units exactly; text comparison compares them after
// upper-casing each with the platform's simple, locale-independent character mapping, so a
// match always has the length of the text searched for.
#include <string_view>

#include "platform/core/Types.h"

namespace xan::vb {

enum class TVbCompareMode : std::uint8_t { Binary, Text };

// The 1-based position of the first occurrence of AFind in AText that begins at or after the
// 1-based AFrom, or 0. AFind must not be empty.
plat::Integer SearchForward(std::u16string_view AText, std::u16string_view AFind, plat::Integer AFrom,
                            TVbCompareMode AMode) noexcept;
// The 1-based position of the last occurrence of AFind that lies entirely within the first
// AWithin characters of AText, or 0. AFind must not be empty.
plat::Integer SearchBackward(std::u16string_view AText, std::u16string_view AFind, plat::Integer AWithin,
                             TVbCompareMode AMode) noexcept;

bool TextsMatch(std::u16string_view A, std::u16string_view B, TVbCompareMode AMode) noexcept;

}  // namespace xan::vb
