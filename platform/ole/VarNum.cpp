#include "platform/ole/VarNum.h"

#include <cmath>

#include "platform/ole/VarErrors.h"
#include "platform/text/NumText.h"

namespace xan::plat::detail {

namespace {

bool IsBlank(char16_t c) noexcept { return c <= u' '; }

std::u16string_view Trim(std::u16string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "&H1F" and "&O17": the radix literals scripts write, as 64-bit two's complement.
bool TryParseRadixLiteral(std::u16string_view s, Int64& out) noexcept {
    if (s.size() < 3 || s[0] != u'&') return false;
    const char16_t k = s[1] | 0x20;
    const unsigned shift = k == u'h' ? 4 : k == u'o' ? 3 : 0;
    if (!shift) return false;
    UInt64 v = 0;
    for (char16_t c : s.substr(2)) {
        int digit = -1;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (shift == 4 && (c | 0x20) >= u'a' && (c | 0x20) <= u'f') digit = (c | 0x20) - u'a' + 10;
        if (digit < 0 || digit >= (1 << shift)) return false;
        if (v >> (64 - shift)) return false;  // more digits than 64 bits hold
        v = (v << shift) | static_cast<UInt64>(digit);
    }
    out = static_cast<Int64>(v);
    return true;
}

}  // namespace

bool TryParseNum(std::u16string_view text, Num& out, const TFormatSettings& fs) noexcept {
    const std::u16string_view s = Trim(text);
    Int64 i;
    if (TryStrToInt64(s, i) || TryParseRadixLiteral(s, i)) {
        out = Num::OfInt(i);
        return true;
    }
    double f;
    if (TryStrToFloat(s, f, fs)) {
        out = Num::OfFloat(f);
        return true;
    }
    return false;
}

Num NumOf(const VarData& d, const TFormatSettings& fs) {
    switch (d.VType) {
    case varEmpty: return Num::OfInt(0);
    case varSmallint: return Num::OfInt(d.VSmallInt);
    case varInteger: return Num::OfInt(d.VInteger);
    case varSingle: return Num::OfFloat(d.VSingle);
    case varDouble:
    case varDate: return Num::OfFloat(d.VDouble);
    case varCurrency: return Num::OfCurr(d.VCurrency);
    case varError: return Num::OfInt(d.VError);
    case varBoolean: return Num::OfInt(d.VBoolean ? -1 : 0);
    case varShortInt: return Num::OfInt(d.VShortInt);
    case varByte: return Num::OfInt(d.VByte);
    case varWord: return Num::OfInt(d.VWord);
    case varLongWord: return Num::OfInt(d.VLongWord);
    case varInt64: return Num::OfInt(d.VInt64);
    case varUInt64: return d.VUInt64 <= static_cast<UInt64>(INT64_MAX) ? Num::OfInt(static_cast<Int64>(d.VUInt64))
                                                                        : Num::OfUInt(d.VUInt64);
    case varOleStr:
    case varString: {
        Num n;
        if (TryParseNum(d.StrView(), n, fs)) return n;
        RaiseVarTypeCast();
    }
    default: RaiseVarTypeCast();
    }
}

double NumToDouble(const Num& n) noexcept {
    switch (n.tag) {
    case Num::Int: return static_cast<double>(n.i);
    case Num::UInt: return static_cast<double>(n.u);
    case Num::Float: return n.f;
    case Num::Curr: return static_cast<double>(n.i) / static_cast<double>(Currency::Scale);
    }
    return 0;
}

bool TryRoundToInt64(double f, Int64& out) noexcept {
    const double r = std::nearbyint(f);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
    out = static_cast<Int64>(r);
    return true;
}

Int64 NumToIntRange(const Num& n, Int64 lo, Int64 hi) {
    Int64 v = 0;
    switch (n.tag) {
    case Num::Int: v = n.i; break;
    case Num::UInt: RaiseVarOverflow();
    case Num::Float:
        if (!TryRoundToInt64(n.f, v)) RaiseVarOverflow();
        break;
    case Num::Curr: v = CurrencyRoundToInt(Currency{n.i}); break;
    }
    if (v < lo || v > hi) RaiseVarOverflow();
    return v;
}

UInt64 NumToUInt64(const Num& n) {
    switch (n.tag) {
    case Num::UInt: return n.u;
    case Num::Float: {
        const double r = std::nearbyint(n.f);
        if (!(r >= 0.0 && r < 18446744073709551616.0)) RaiseVarOverflow();
        return static_cast<UInt64>(r);
    }
    default: return static_cast<UInt64>(NumToIntRange(n, 0, INT64_MAX));
    }
}

Currency NumToCurrency(const Num& n) {
    Currency c;
    switch (n.tag) {
    case Num::Int:
        if (!TryIntToCurrency(n.i, c)) RaiseVarOverflow();
        return c;
    case Num::UInt: RaiseVarOverflow();
    case Num::Float:
        if (!TryDoubleToCurrency(n.f, c)) RaiseVarOverflow();
        return c;
    case Num::Curr: return Currency{n.i};
    }
    return c;
}

}  // namespace xan::plat::detail
