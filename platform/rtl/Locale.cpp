#include "platform/rtl/Locale.h"

#include <unicode/calendar.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uloc.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/core/Exception.h"
#include "platform/rtl/DatePattern.h"
#include "platform/rtl/IcuText.h"

namespace xan::plat {

namespace {

void CheckIcu(UErrorCode status, std::string_view locale, const char* what) {
    if (U_FAILURE(status))
        Throw<EOSError>(UString::FromUtf8(std::string("Cannot read the ") + what + " of locale '" +
                                          std::string(locale) + "': " + u_errorName(status)),
                        static_cast<std::int32_t>(status));
}

// The first code unit of a symbol; separators are single characters in the settings record.
char16_t FirstUnit(const icu::UnicodeString& s, char16_t fallback) {
    return s.length() > 0 ? s.charAt(0) : fallback;
}

void LoadNumberSymbols(const icu::Locale& loc, std::string_view name, TFormatSettings& s) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(loc, status);
    CheckIcu(status, name, "number symbols");
    s.DecimalSeparator = FirstUnit(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol), u'.');
    s.ThousandSeparator =
        FirstUnit(symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol), u',');
    s.CurrencyString = FromIcu(symbols.getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
    // A list of numbers cannot be separated by the decimal comma.
    s.ListSeparator = s.DecimalSeparator == u',' ? u';' : u',';
}

bool IsPatternSpace(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u202F'; }

// Currency placement codes from an ICU currency pattern such as "¤#,##0.00" or "#,##0.00 ¤":
// 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"; the negative form puts a minus sign (or parentheses) around
// it in the matching code of the negative table.
void LoadCurrencyFormat(const icu::Locale& loc, std::string_view name, TFormatSettings& s) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> nf(icu::NumberFormat::createCurrencyInstance(loc, status));
    CheckIcu(status, name, "currency format");
    s.CurrencyDecimals = static_cast<std::uint8_t>(nf->getMaximumFractionDigits());
    auto* df = dynamic_cast<icu::DecimalFormat*>(nf.get());
    if (!df) return;
    icu::UnicodeString pattern;
    df->toPattern(pattern);
    std::u16string_view p = IcuView(pattern);
    std::size_t semicolon = p.find(u';');
    std::u16string_view positive = p.substr(0, semicolon);
    std::size_t sign = positive.find(u'\u00A4');
    std::size_t digits = positive.find_first_of(u"#0");
    if (sign == std::u16string_view::npos || digits == std::u16string_view::npos) return;
    bool before = sign < digits;
    bool spaced = before ? sign + 1 < positive.size() && IsPatternSpace(positive[sign + 1])
                         : sign > 0 && IsPatternSpace(positive[sign - 1]);
    s.CurrencyFormat = static_cast<std::uint8_t>((before ? 0 : 1) + (spaced ? 2 : 0));
    bool parentheses = semicolon != std::u16string_view::npos && p.find(u'(', semicolon) != std::u16string_view::npos;
    static constexpr std::uint8_t kMinusFirst[4] = {1, 5, 9, 8};     // -$1, -1$, -$ 1, -1 $
    static constexpr std::uint8_t kParenthesised[4] = {0, 4, 14, 15};  // ($1), (1$), ($ 1), (1 $)
    s.NegCurrFormat = parentheses ? kParenthesised[s.CurrencyFormat] : kMinusFirst[s.CurrencyFormat];
}

icu::UnicodeString PatternOf(icu::DateFormat* format) {
    icu::UnicodeString pattern;
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format)) simple->toPattern(pattern);
    return pattern;
}

icu::UnicodeString DatePattern(icu::DateFormat::EStyle style, const icu::Locale& loc) {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createDateInstance(style, loc));
    return f ? PatternOf(f.get()) : icu::UnicodeString();
}

icu::UnicodeString TimePattern(icu::DateFormat::EStyle style, const icu::Locale& loc) {
    std::unique_ptr<icu::DateFormat> f(icu::DateFormat::createTimeInstance(style, loc));
    return f ? PatternOf(f.get()) : icu::UnicodeString();
}

void LoadDateTimeFormats(const icu::Locale& loc, TFormatSettings& s) {
    icu::UnicodeString shortDate = DatePattern(icu::DateFormat::kShort, loc);
    icu::UnicodeString shortTime = TimePattern(icu::DateFormat::kShort, loc);
    char16_t dateSep = PatternSeparator(IcuView(shortDate));
    char16_t timeSep = PatternSeparator(IcuView(shortTime));
    if (dateSep) s.DateSeparator = dateSep;
    if (timeSep) s.TimeSeparator = timeSep;
    s.ShortDateFormat = IcuPatternToPicture(IcuView(shortDate), {true, dateSep, u'/'});
    s.LongDateFormat = IcuPatternToPicture(IcuView(DatePattern(icu::DateFormat::kFull, loc)));
    s.ShortTimeFormat = IcuPatternToPicture(IcuView(shortTime), {false, timeSep, u':'});
    s.LongTimeFormat =
        IcuPatternToPicture(IcuView(TimePattern(icu::DateFormat::kMedium, loc)), {false, timeSep, u':'});
}

template <std::size_t N>
void CopyNames(const icu::UnicodeString* names, std::int32_t count, std::int32_t first,
               std::array<UString, N>& out) {
    for (std::size_t i = 0; i < N && first + static_cast<std::int32_t>(i) < count; ++i)
        out[i] = FromIcu(names[first + i]);
}

void LoadNames(const icu::Locale& loc, std::string_view name, TFormatSettings& s) {
    using Sym = icu::DateFormatSymbols;
    UErrorCode status = U_ZERO_ERROR;
    Sym symbols(loc, status);
    CheckIcu(status, name, "date symbols");
    std::int32_t count = 0;
    const icu::UnicodeString* ampm = symbols.getAmPmStrings(count);
    if (count >= 2) {
        s.TimeAMString = FromIcu(ampm[0]);
        s.TimePMString = FromIcu(ampm[1]);
    }
    // Stand-alone names: they appear on their own (MonthName, WeekdayName) as often as in dates,
    // and the format context would give genitive forms in several languages.
    const icu::UnicodeString* names = symbols.getMonths(count, Sym::STANDALONE, Sym::WIDE);
    CopyNames(names, count, 0, s.LongMonthNames);
    names = symbols.getMonths(count, Sym::STANDALONE, Sym::ABBREVIATED);
    CopyNames(names, count, 0, s.ShortMonthNames);
    // ICU's weekday arrays start at index 1 (Sunday).
    names = symbols.getWeekdays(count, Sym::STANDALONE, Sym::WIDE);
    CopyNames(names, count, 1, s.LongDayNames);
    names = symbols.getWeekdays(count, Sym::STANDALONE, Sym::ABBREVIATED);
    CopyNames(names, count, 1, s.ShortDayNames);
}

void LoadFirstDayOfWeek(const icu::Locale& loc, std::string_view name, TFormatSettings& s) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(loc, status));
    CheckIcu(status, name, "calendar");
    int first = calendar->getFirstDayOfWeek(status);  // 1 = Sunday ... 7 = Saturday
    CheckIcu(status, name, "first day of the week");
    s.FirstDayOfWeek = static_cast<std::uint8_t>((first + 5) % 7);  // 0 = Monday ... 6 = Sunday
}

struct CurrentLocale {
    std::mutex lock;
    std::string name;
    std::atomic<std::uint64_t> generation{0};
};

CurrentLocale& Current() {
    static CurrentLocale current;
    return current;
}

// ICU answers an unknown locale with the data of its own default locale (itself taken from the
// environment), so a language ICU has no data for would silently borrow another's.
bool HasLocaleData(const icu::Locale& loc) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols probe(loc, status);
    if (U_FAILURE(status)) return false;
    icu::Locale valid = probe.getLocale(ULOC_VALID_LOCALE, status);
    return U_SUCCESS(status) && std::string_view(valid.getLanguage()) == loc.getLanguage();
}

// The name itself, or empty (the invariant profile) when ICU has no data for its language.
std::string ResolveLocaleName(std::string_view icuLocale) {
    if (icuLocale.empty()) return {};
    icu::Locale loc(std::string(icuLocale).c_str());
    return !loc.isBogus() && HasLocaleData(loc) ? std::string(icuLocale) : std::string();
}

bool IsPosixDefault(std::string_view base) { return base.empty() || base == "C" || base == "POSIX"; }

}  // namespace

std::string IcuLocaleNameFromPosix(std::string_view posix) {
    std::string_view base = posix.substr(0, posix.find_first_of(".@"));
    return IsPosixDefault(base) ? std::string() : std::string(base);
}

std::string ProcessLocaleName() {
    for (const char* var : {"LC_ALL", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return IcuLocaleNameFromPosix(value);
    }
    return {};
}

TFormatSettings LocaleFormatSettings(std::string_view icuLocale) {
    TFormatSettings s = TFormatSettings::Invariant();
    std::string name = ResolveLocaleName(icuLocale);
    if (name.empty()) return s;
    icu::Locale loc(name.c_str());
    LoadNumberSymbols(loc, icuLocale, s);
    LoadCurrencyFormat(loc, icuLocale, s);
    LoadDateTimeFormats(loc, s);
    LoadNames(loc, icuLocale, s);
    LoadFirstDayOfWeek(loc, icuLocale, s);
    return s;
}

TFormatSettings LoadLocaleFormatSettings() { return LocaleFormatSettings(ProcessLocaleName()); }

void UseLocale(std::string_view icuLocale) {
    std::string name = ResolveLocaleName(icuLocale);
    TFormatSettings settings = LocaleFormatSettings(name);
    CurrentLocale& current = Current();
    std::lock_guard guard(current.lock);
    SetFormatSettings(settings);
    current.name = name;
    current.generation.fetch_add(1, std::memory_order_release);
}

void UseProcessLocale() { UseLocale(ProcessLocaleName()); }

std::string CurrentLocaleName() {
    CurrentLocale& current = Current();
    std::lock_guard guard(current.lock);
    return current.name;
}

LCID CurrentLocaleLcid() {
    constexpr LCID kUnitedStates = 0x0409;
    std::string name = CurrentLocaleName();
    if (name.empty()) return kUnitedStates;
    LCID lcid = uloc_getLCID(name.c_str());
    return lcid ? lcid : kUnitedStates;
}

std::uint64_t CurrentLocaleGeneration() noexcept {
    return Current().generation.load(std::memory_order_acquire);
}

}  // namespace xan::plat
