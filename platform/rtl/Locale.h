#pragma once
// The locale source of the runtime library. Settings (separators, date/time pictures, names,
// first day of the week, currency) come from ICU's data for a locale name; the C/POSIX locale
// (or no locale at all, as on CI machines) selects the fixed invariant English profile so that
// results are reproducible. Locale-aware comparison and case mapping follow the locale made
// current with UseLocale.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"

namespace xan::plat {

// The ICU name ("de_DE") of the process locale from LC_ALL, else LANG; empty when that is
// unset, C or POSIX (with or without a character set).
std::string ProcessLocaleName();
// POSIX locale text ("de_DE.UTF-8@euro") to an ICU name ("de_DE"); empty for C/POSIX.
std::string IcuLocaleNameFromPosix(std::string_view posix);

// The settings of an ICU locale; the invariant profile for an empty name and for a language
// ICU has no data for. A locale whose data cannot be read raises EOSError.
TFormatSettings LocaleFormatSettings(std::string_view icuLocale);
// The settings of the process locale.
TFormatSettings LoadLocaleFormatSettings();

// Makes a locale current for the whole process: installs its format settings and makes it the
// locale of AnsiCompareStr/AnsiCompareText/AnsiUpperCase/AnsiLowerCase. A language ICU has no
// data for selects the invariant profile. Call at start-up, not while scripts run.
void UseLocale(std::string_view icuLocale);
void UseProcessLocale();
inline void UseInvariantLocale() { UseLocale({}); }

// The current locale's ICU name (empty: invariant) and a counter that changes with it, so that
// per-thread caches of locale objects know when to rebuild.
std::string CurrentLocaleName();
// The Windows-style locale identifier of the current locale (0x0409 for the invariant profile,
// which is US English).
LCID CurrentLocaleLcid();
std::uint64_t CurrentLocaleGeneration() noexcept;

}  // namespace xan::plat
