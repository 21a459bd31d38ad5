#pragma once
// String routines with the runtime library's index rules: positions are 1-based and
// out-of-range positions and counts are clamped, never errors.
#include <string_view>

#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

// Characters up to U+0020 (spaces and control characters) count as blanks.
UString Trim(const UString& s);
UString TrimLeft(const UString& s);
UString TrimRight(const UString& s);

// The 1-based position of the first occurrence of `sub` in `s`; 0 when absent or `sub` is empty.
Integer Pos(std::u16string_view sub, std::u16string_view s) noexcept;
// At most `count` characters from the 1-based `index` (below 1 counts as 1); empty past the end.
UString Copy(const UString& s, Int64 index, Int64 count);
// Inserts `source` into `s` before the 1-based `index`: at the front when index < 1, appended
// when index is past the end.
void Insert(const UString& source, UString& s, Int64 index);
// Removes up to `count` characters from the 1-based `index`; nothing when index is outside s.
void Delete(UString& s, Int64 index, Int64 count);
// `count` copies of `c`; empty for a count of 0 or less.
UString StringOfChar(char16_t c, Int64 count);

}  // namespace xan::plat
