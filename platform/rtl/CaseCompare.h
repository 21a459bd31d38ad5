#pragma once
// Text comparison and case mapping, in three families that must not be confused:
//  - Ansi*: the current locale's collation and case rules (UseLocale);
//  - Wide*: Unicode's full, locale-independent case mapping ("ß" upper-cases to "SS");
//  - UpperCase/LowerCase/CompareText/CompareStr: ordinal, ASCII letters only.
// Comparisons answer -1, 0 or 1.
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

int AnsiCompareStr(std::u16string_view a, std::u16string_view b);   // case-sensitive
int AnsiCompareText(std::u16string_view a, std::u16string_view b);  // ignoring case
bool AnsiSameText(std::u16string_view a, std::u16string_view b);
UString AnsiUpperCase(const UString& s);
UString AnsiLowerCase(const UString& s);

UString WideUpperCase(const UString& s);
UString WideLowerCase(const UString& s);

UString UpperCase(const UString& s);
UString LowerCase(const UString& s);
int CompareStr(std::u16string_view a, std::u16string_view b) noexcept;
int CompareText(std::u16string_view a, std::u16string_view b) noexcept;
bool SameText(std::u16string_view a, std::u16string_view b) noexcept;

}  // namespace xan::plat
