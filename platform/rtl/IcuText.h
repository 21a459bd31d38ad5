#pragma once
// Conversions between UString and ICU's UnicodeString (both UTF-16) for the ICU-backed modules.
#include <unicode/unistr.h>

#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

inline std::u16string_view IcuView(const icu::UnicodeString& s) {
    return {s.getBuffer(), static_cast<std::size_t>(s.length())};
}

inline UString FromIcu(const icu::UnicodeString& s) { return UString(IcuView(s)); }

inline icu::UnicodeString ToIcu(std::u16string_view s) {
    return icu::UnicodeString(s.data(), static_cast<std::int32_t>(s.size()));
}

}  // namespace xan::plat
