#include "platform/ole/VarText.h"

#include <charconv>

#include "platform/ole/VarErrors.h"
#include "platform/ole/VarNum.h"
#include "platform/ole/Variant.h"
#include "platform/text/DateText.h"
#include "platform/text/NumText.h"

namespace xan::plat {

namespace {

bool IsBlank(char16_t c) noexcept { return c <= u' '; }

std::u16string_view Trim(std::u16string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsNoCaseAscii(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x += 32;
        if (y >= u'A' && y <= u'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

}  // namespace

bool TryTextToBool(std::u16string_view text, bool& value) noexcept {
    const std::u16string_view s = Trim(text);
    if (EqualsNoCaseAscii(s, STrueText)) {
        value = true;
        return true;
    }
    if (EqualsNoCaseAscii(s, SFalseText)) {
        value = false;
        return true;
    }
    return false;
}

TextNumResult TryTextToCurrency(std::u16string_view text, Currency& value, const TFormatSettings& fs) noexcept {
    std::u16string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s[0] == u'-' || s[0] == u'+')) {
        negative = s[0] == u'-';
        s.remove_prefix(1);
    }
    // The magnitude scaled by 10000; digits beyond the fourth decimal only decide the rounding.
    __int128 scaled = 0;
    int decimals = -1;  // -1: before the separator
    int digits = 0;
    int roundDigit = -1;
    bool stickyTail = false;
    for (char16_t c : s) {
        if (c == fs.DecimalSeparator && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!IsDigit(c)) return TextNumResult::NotANumber;
        ++digits;
        const int dv = c - u'0';
        if (decimals < 0) {
            scaled = scaled * 10 + dv;
            if (scaled > (static_cast<__int128>(1) << 64)) return TextNumResult::Overflow;
        } else if (decimals < 4) {
            ++decimals;
            scaled = scaled * 10 + dv;
        } else if (roundDigit < 0) {
            roundDigit = dv;
        } else if (dv) {
            stickyTail = true;
        }
    }
    if (digits == 0) return TextNumResult::NotANumber;
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d) scaled *= 10;
    if (roundDigit > 5 || (roundDigit == 5 && (stickyTail || (scaled & 1)))) ++scaled;
    if (negative) scaled = -scaled;
    if (scaled < INT64_MIN || scaled > INT64_MAX) return TextNumResult::Overflow;
    value.scaled = static_cast<Int64>(scaled);
    return TextNumResult::Ok;
}

bool TryTextToDate(std::u16string_view text, double& value, const TFormatSettings& fs) noexcept {
    if (TryStrToDateTime(text, value, fs)) return true;
    detail::Num n;
    if (!detail::TryParseNum(text, n, fs)) return false;
    value = detail::NumToDouble(n);
    return true;
}

UString SingleToStr(float value, const TFormatSettings& fs) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    double shortest = value;
    std::from_chars(buf, r.ptr, shortest);
    return FloatToStr(shortest, fs);
}

UString VarToUString(const VarData& v, const TFormatSettings& fs) {
    const VarData d = VarDerefAll(v);
    switch (d.VType) {
    case varEmpty: return UString();
    case varOleStr:
    case varString: {
        UString::AddRefRaw(d.VOleStr);
        return UString::AdoptRaw(d.VOleStr);
    }
    case varBoolean: return UString(d.VBoolean ? STrueText : SFalseText);
    case varSmallint: return IntToStr(d.VSmallInt);
    case varInteger: return IntToStr(d.VInteger);
    case varShortInt: return IntToStr(d.VShortInt);
    case varByte: return IntToStr(d.VByte);
    case varWord: return IntToStr(d.VWord);
    case varLongWord: return IntToStr(d.VLongWord);
    case varInt64: return IntToStr(d.VInt64);
    case varUInt64: return UIntToStr(d.VUInt64);
    case varSingle: return SingleToStr(d.VSingle, fs);
    case varDouble: return FloatToStr(d.VDouble, fs);
    case varCurrency: return CurrToStr(d.VCurrency, fs);
    case varDate: return DateTimeToStr(d.VDate, fs);
    default: RaiseVarTypeCast();
    }
}

}  // namespace xan::plat
