#pragma once
// Builds a message from pieces in one allocation (UString + literal is ambiguous between the
// UString and the string_view overloads).
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

inline UString JoinTexts(std::initializer_list<std::u16string_view> parts) {
    std::u16string out;
    for (std::u16string_view p : parts) out += p;
    return UString(out);
}

inline UString IntText(long long value) { return UString::FromLatin1(std::to_string(value)); }

}  // namespace xan::plat
