#include "platform/rtl/CaseCompare.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

#include "platform/core/CharCase.h"
#include "platform/core/Exception.h"
#include "platform/rtl/IcuText.h"
#include "platform/rtl/Locale.h"

namespace xan::plat {

namespace {

// ICU collators are not meant to be shared between threads while in use, so every thread keeps
// its own pair, rebuilt when another locale is made current.
struct Collators {
    std::uint64_t generation = ~std::uint64_t{0};
    icu::Locale locale;
    std::unique_ptr<icu::Collator> withCase;
    std::unique_ptr<icu::Collator> ignoringCase;
};

std::unique_ptr<icu::Collator> MakeCollator(const icu::Locale& loc, icu::Collator::ECollationStrength strength) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(loc, status));
    if (U_FAILURE(status) || !c)
        Throw<EOSError>(UString::FromUtf8(std::string("Cannot create a collator: ") + u_errorName(status)),
                        static_cast<std::int32_t>(status));
    c->setStrength(strength);
    return c;
}

Collators& ThreadCollators() {
    thread_local Collators collators;
    std::uint64_t generation = CurrentLocaleGeneration();
    if (collators.generation != generation) {
        std::string name = CurrentLocaleName();
        collators.locale = name.empty() ? icu::Locale::getRoot() : icu::Locale(name.c_str());
        collators.withCase = MakeCollator(collators.locale, icu::Collator::TERTIARY);
        // Secondary strength ignores case but keeps accents apart.
        collators.ignoringCase = MakeCollator(collators.locale, icu::Collator::SECONDARY);
        collators.generation = generation;
    }
    return collators;
}

int Collate(icu::Collator& c, std::u16string_view a, std::u16string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = c.compare(a.data(), static_cast<std::int32_t>(a.size()), b.data(),
                                   static_cast<std::int32_t>(b.size()), status);
    return static_cast<int>(r);
}

template <class Map>
UString MapAscii(const UString& s, Map map) {
    const std::int32_t n = s.length();
    std::int32_t i = 0;
    while (i < n && map(s[i]) == s[i]) ++i;
    if (i == n) return s;  // unchanged: share the buffer
    char16_t* buf;
    UString r = UString::Uninitialized(n, buf);
    for (std::int32_t k = 0; k < n; ++k) buf[k] = map(s[k]);
    return r;
}

int Sign(int v) noexcept { return (v > 0) - (v < 0); }

bool IsAscii(const UString& s) noexcept {
    const std::u16string_view v = s.view();
    return std::all_of(v.begin(), v.end(), [](char16_t c) { return c < 0x80; });
}

}  // namespace

int AnsiCompareStr(std::u16string_view a, std::u16string_view b) {
    return Collate(*ThreadCollators().withCase, a, b);
}

int AnsiCompareText(std::u16string_view a, std::u16string_view b) {
    return Collate(*ThreadCollators().ignoringCase, a, b);
}

bool AnsiSameText(std::u16string_view a, std::u16string_view b) { return AnsiCompareText(a, b) == 0; }

UString AnsiUpperCase(const UString& s) {
    icu::UnicodeString u = ToIcu(s);
    return FromIcu(u.toUpper(ThreadCollators().locale));
}

UString AnsiLowerCase(const UString& s) {
    icu::UnicodeString u = ToIcu(s);
    return FromIcu(u.toLower(ThreadCollators().locale));
}

// ASCII text maps the same in every locale: no need to wake up the Unicode tables (a host's
// object names, looked up in this case at every start, are nearly always ASCII).
UString WideUpperCase(const UString& s) {
    if (IsAscii(s)) return MapAscii(s, AsciiUpper);
    icu::UnicodeString u = ToIcu(s);
    return FromIcu(u.toUpper(icu::Locale::getRoot()));
}

UString WideLowerCase(const UString& s) {
    if (IsAscii(s)) return MapAscii(s, AsciiLower);
    icu::UnicodeString u = ToIcu(s);
    return FromIcu(u.toLower(icu::Locale::getRoot()));
}

UString UpperCase(const UString& s) { return MapAscii(s, AsciiUpper); }
UString LowerCase(const UString& s) { return MapAscii(s, AsciiLower); }

int CompareStr(std::u16string_view a, std::u16string_view b) noexcept { return Sign(a.compare(b)); }

int CompareText(std::u16string_view a, std::u16string_view b) noexcept {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

bool SameText(std::u16string_view a, std::u16string_view b) noexcept {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

}  // namespace xan::plat
