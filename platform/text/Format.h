#pragma once
// Format: text with placeholders filled from a list of arguments.
//
//   %[index:][-][width][.precision]type      %% is a percent sign
//
// index   zero-based argument number; later specifiers continue after it
// -       left-justify within width (blanks pad; right-justified otherwise)
// width, precision   digits, or '*' to take the value from the next (integer) argument;
//         a negative '*' width left-justifies, a negative '*' precision counts as absent
// type    d  decimal integer; precision = minimum digits
//         u  unsigned decimal (a negative argument reads as its two's complement of its width)
//         x  upper-case hexadecimal without leading zeros; precision = minimum digits (%.8x)
//         e  "d.dddE+ddd" with precision significant digits (15 when absent)
//         f  fixed, precision decimals (2)
//         g  general, precision significant digits (15), the shorter of fixed and exponent form
//         n  as f with thousands separators
//         m  currency: CurrencyString placed by CurrencyFormat/NegCurrFormat, precision decimals
//            (CurrencyDecimals when absent), thousands separators
//         p  pointer: upper-case hexadecimal, two digits per byte of a pointer
//         s  string; precision = maximum characters
// Type letters are case-insensitive. A malformed specifier, a missing argument or an argument of
// the wrong kind raises EConvertError "Format '<fmt>' invalid or incompatible with argument".
#include <concepts>
#include <span>
#include <string_view>

#include "platform/core/FormatSettings.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

class FormatArg;

// What a specifier needs from an argument whose kind is decided late (a variant): the caller
// converts the value to that class and answers a concrete argument, or raises its own error.
enum class FormatArgClass : std::uint8_t { Integer, Float, String, Pointer };
using FormatArgResolver = FormatArg (*)(const void* value, FormatArgClass wanted);

class FormatArg {
public:
    enum class Kind : std::uint8_t { Int, UInt, Float, Currency, String, Pointer, Dynamic };

    // Integers remember their width: %u and %x of a negative 32-bit value show 32 bits.
    template <class T>
        requires std::integral<T> && (!std::same_as<T, bool>) && (!std::same_as<T, char16_t>) &&
                 (!std::same_as<T, char>) && (!std::same_as<T, char8_t>) && (!std::same_as<T, char32_t>) &&
                 (!std::same_as<T, wchar_t>)
    FormatArg(T v) noexcept : wide_(sizeof(T) > 4) {
        if constexpr (std::is_signed_v<T>) {
            kind_ = Kind::Int;
            i_ = v;
        } else {
            kind_ = Kind::UInt;
            u_ = v;
        }
    }
    FormatArg(bool) = delete;  // a truth value has no single obvious text here
    FormatArg(double v) noexcept : kind_(Kind::Float), d_(v) {}
    FormatArg(const UString& s) : kind_(Kind::String), s_(s) {}
    FormatArg(std::u16string_view s) : kind_(Kind::String), s_(s) {}
    FormatArg(const char16_t* s) : kind_(Kind::String), s_(s ? UString(s) : UString()) {}
    FormatArg(char16_t c) : kind_(Kind::String), s_(std::u16string_view(&c, 1)) {}
    FormatArg(const void* p) noexcept : kind_(Kind::Pointer), p_(p) {}
    FormatArg(const char*) = delete;  // narrow text would otherwise pass as a pointer

    // A currency value: an integer scaled by 10000.
    static FormatArg Currency(Int64 scaled10000) noexcept {
        FormatArg a(scaled10000);
        a.kind_ = Kind::Currency;
        return a;
    }
    // A value converted on demand by `resolver` (which must answer a non-dynamic argument).
    static FormatArg Dynamic(const void* value, FormatArgResolver resolver) noexcept {
        FormatArg a(value);
        a.kind_ = Kind::Dynamic;
        a.resolver_ = resolver;
        return a;
    }

    Kind kind() const noexcept { return kind_; }
    bool wide() const noexcept { return wide_; }
    Int64 AsInt64() const noexcept { return i_; }       // Int, Currency
    UInt64 AsUInt64() const noexcept { return u_; }     // UInt
    double AsDouble() const noexcept { return d_; }     // Float
    const UString& AsString() const noexcept { return s_; }
    const void* AsPointer() const noexcept { return p_; }
    FormatArg Resolve(FormatArgClass wanted) const { return resolver_(p_, wanted); }

private:
    Kind kind_;
    bool wide_ = true;
    union {
        Int64 i_ = 0;
        UInt64 u_;
        double d_;
        const void* p_;
    };
    UString s_;
    FormatArgResolver resolver_ = nullptr;
};

UString Format(std::u16string_view fmt, std::span<const FormatArg> args,
               const TFormatSettings& settings = FormatSettings());

inline UString Format(std::u16string_view fmt) { return Format(fmt, std::span<const FormatArg>()); }

template <class... A>
    requires(sizeof...(A) > 0 && (std::constructible_from<FormatArg, const A&> && ...))
UString Format(std::u16string_view fmt, const A&... args) {
    const FormatArg list[] = {FormatArg(args)...};
    return Format(fmt, std::span<const FormatArg>(list));
}

}  // namespace xan::plat
