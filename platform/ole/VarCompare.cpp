// The general variant comparison.
//
//   Null      equals only Null and orders before every other value
//   Empty     equals 0, "" and False
//   strings   ordinal comparison of their UTF-16 code units (case-sensitive)
//   string with a number, Boolean or date: numeric when the string holds one ("True"/"False"
//             beside a Boolean, a date text beside a date); otherwise the other value's text
//             is compared with the string
//   numbers   by exact value (integers of every width, Currency, Date and floating point);
//             a NaN makes the pair Unordered
//   Booleans  False before True when both are Booleans; beside numbers True counts -1
//   objects   the same interface pointer is Equal, different ones order by address
//   Error     codes compare with each other only; arrays are an invalid operation;
//             everything else is a type mismatch
#include <cmath>

#include "platform/ole/ComIntf.h"
#include "platform/ole/VarErrors.h"
#include "platform/ole/VarIntTypes.h"
#include "platform/ole/VarNum.h"
#include "platform/ole/VarText.h"

namespace xan::plat {

using detail::I128;
using detail::Num;

namespace {

template <class T>
VarOrder OrderOf(const T& a, const T& b) noexcept {
    return a < b ? VarOrder::Less : b < a ? VarOrder::Greater : VarOrder::Equal;
}

VarOrder Reverse(VarOrder o) noexcept {
    return o == VarOrder::Less ? VarOrder::Greater : o == VarOrder::Greater ? VarOrder::Less : o;
}

// An integer (exact, up to 65 bits) against a double, without rounding the integer.
VarOrder CompareIntFloat(I128 a, double b) noexcept {
    if (std::isnan(b)) return VarOrder::Unordered;
    if (b >= 18446744073709551616.0) return VarOrder::Less;
    if (b < -9223372036854775808.0) return VarOrder::Greater;
    const double fl = std::floor(b);
    const I128 bi = static_cast<I128>(fl);
    if (a != bi) return OrderOf(a, bi);
    return fl == b ? VarOrder::Equal : VarOrder::Less;  // b has a fraction above its floor
}

// Numbers as exact integers scaled by 10000 where that is exact (integers, Currency).
bool ScaledExact(const Num& n, I128& out) noexcept {
    switch (n.tag) {
    case Num::Int: out = static_cast<I128>(n.i) * Currency::Scale; return true;
    case Num::UInt: out = static_cast<I128>(n.u) * Currency::Scale; return true;
    case Num::Curr: out = n.i; return true;
    default: return false;
    }
}

VarOrder CompareNums(const Num& a, const Num& b) noexcept {
    I128 x, y;
    const bool ex = ScaledExact(a, x), ey = ScaledExact(b, y);
    if (ex && ey) return OrderOf(x, y);
    if (!ex && !ey) {
        if (std::isnan(a.f) || std::isnan(b.f)) return VarOrder::Unordered;
        return OrderOf(a.f, b.f);
    }
    if (a.tag == Num::Curr || b.tag == Num::Curr) {
        const double da = detail::NumToDouble(a), db = detail::NumToDouble(b);
        if (std::isnan(da) || std::isnan(db)) return VarOrder::Unordered;
        return OrderOf(da, db);
    }
    if (ex) return CompareIntFloat(a.tag == Num::Int ? I128(a.i) : I128(a.u), b.f);
    return Reverse(CompareIntFloat(b.tag == Num::Int ? I128(b.i) : I128(b.u), a.f));
}

bool IsNumeric(VarType t) noexcept {
    return detail::IsIntType(t) || t == varSingle || t == varDouble || t == varCurrency || t == varDate ||
           t == varBoolean;
}

bool IsStr(VarType t) noexcept { return t == varOleStr || t == varString; }

// A string against a number, Boolean or date (`other`): string on the left.
VarOrder CompareStrWith(const VarData& s, const VarData& other) {
    const TFormatSettings& fs = FormatSettings();
    const std::u16string_view text = s.StrView();
    Num n;
    if (other.VType == varBoolean) {
        bool b;
        if (TryTextToBool(text, b)) return OrderOf(b ? -1 : 0, other.VBoolean ? -1 : 0);
    }
    if (other.VType == varDate) {
        double dt;
        if (TryTextToDate(text, dt, fs)) return CompareNums(Num::OfFloat(dt), Num::OfFloat(other.VDate));
    } else if (detail::TryParseNum(text, n, fs)) {
        return CompareNums(n, detail::NumOf(other, fs));
    }
    return OrderOf(text, VarToUString(other, fs).view());
}

VarOrder CompareObjects(const VarData& l, const VarData& r) noexcept {
    auto identity = [](const VarData& d) -> const void* {
        return d.VType == varDispatch ? static_cast<const void*>(static_cast<IUnknown*>(d.VDispatch)) : d.VUnknown;
    };
    return OrderOf(identity(l), identity(r));
}

VarOrder CompareDeref(const VarData& l, const VarData& r) {
    const VarType lt = l.VType, rt = r.VType;
    if ((lt & varArray) || (rt & varArray)) RaiseVarInvalidOp();
    if (lt == varNull || rt == varNull) {
        if (lt == rt) return VarOrder::Equal;
        return lt == varNull ? VarOrder::Less : VarOrder::Greater;
    }
    if (lt == varEmpty || rt == varEmpty) {
        if (lt == rt) return VarOrder::Equal;
        const VarData& other = lt == varEmpty ? r : l;
        VarOrder o;
        if (IsStr(other.VType))
            o = other.StrView().empty() ? VarOrder::Equal : VarOrder::Less;
        else if (IsNumeric(other.VType))
            o = CompareNums(Num::OfInt(0), detail::NumOf(other, FormatSettings()));
        else
            RaiseVarTypeCast();
        return lt == varEmpty ? o : Reverse(o);
    }
    if (IsStr(lt) && IsStr(rt)) return OrderOf(l.StrView(), r.StrView());
    if (lt == varBoolean && rt == varBoolean) return OrderOf(l.VBoolean ? 1 : 0, r.VBoolean ? 1 : 0);
    if (IsNumeric(lt) && IsNumeric(rt)) {
        const TFormatSettings& fs = FormatSettings();
        return CompareNums(detail::NumOf(l, fs), detail::NumOf(r, fs));
    }
    if (IsStr(lt) && IsNumeric(rt)) return CompareStrWith(l, r);
    if (IsNumeric(lt) && IsStr(rt)) return Reverse(CompareStrWith(r, l));
    const bool lo = lt == varDispatch || lt == varUnknown, ro = rt == varDispatch || rt == varUnknown;
    if (lo && ro) return CompareObjects(l, r);
    if (lt == varError && rt == varError) return OrderOf(l.VError, r.VError);
    RaiseVarTypeCast();
}

}  // namespace

VarOrder VarCompare(const VarData& left, const VarData& right) {
    return CompareDeref(VarDerefAll(left), VarDerefAll(right));
}

}  // namespace xan::plat
