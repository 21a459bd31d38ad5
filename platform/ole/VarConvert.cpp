// Conversions of a variant to each scalar type, and VarCast.
//
// Range rules: integer targets reject values outside their range with the overflow error;
// floating-point and Currency values round half to even. Error values convert to numbers as
// their code, and only integers convert to Error. Null converts to nothing (type-cast error).
#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/core/DateUtils.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"
#include "platform/ole/VarNum.h"
#include "platform/ole/VarText.h"

namespace xan::plat {

using detail::Num;
using detail::NumOf;

namespace {

template <class T>
T IntOf(const VarData& d, const TFormatSettings& fs = FormatSettings()) {
    // True is all bits set, so an unsigned target gets its maximum rather than an overflow.
    if constexpr (std::is_unsigned_v<T>)
        if (d.VType == varBoolean) return d.VBoolean ? std::numeric_limits<T>::max() : T{0};
    return static_cast<T>(detail::NumToIntRange(NumOf(d, fs), std::numeric_limits<T>::min(),
                                                std::numeric_limits<T>::max()));
}

bool ErrorConvertible(VarType t) noexcept {
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varError: return true;
    default: return false;
    }
}

}  // namespace

bool VarToBool(const VarData& v) {
    const VarData d = VarDerefAll(v);
    switch (d.VType) {
    case varEmpty: return false;
    case varBoolean: return d.VBoolean != 0;
    case varDispatch:
    case varUnknown:
        if (!d.VPointer) return false;  // nil / Nothing is False
        RaiseVarTypeCast();
    case varOleStr:
    case varString: {
        bool b;
        if (TryTextToBool(d.StrView(), b)) return b;
        break;
    }
    case varNull:
    case varError: RaiseVarTypeCast();
    default: break;
    }
    const Num n = NumOf(d, FormatSettings());
    switch (n.tag) {
    case Num::Float: return n.f != 0;
    case Num::UInt: return true;
    default: return n.i != 0;
    }
}

std::int32_t VarToInt32(const VarData& v) {
    if (v.VType == varInteger) return v.VInteger;
    return IntOf<std::int32_t>(VarDerefAll(v));
}

std::int64_t VarToInt64(const VarData& v) {
    if (v.VType == varInt64) return v.VInt64;
    return IntOf<std::int64_t>(VarDerefAll(v));
}

std::uint64_t VarToUInt64(const VarData& v) {
    const VarData d = VarDerefAll(v);
    if (d.VType == varBoolean) return IntOf<std::uint64_t>(d);
    return detail::NumToUInt64(NumOf(d, FormatSettings()));
}

double VarToDouble(const VarData& v, const TFormatSettings& fs) {
    if (v.VType == varDouble) return v.VDouble;
    return detail::NumToDouble(NumOf(VarDerefAll(v), fs));
}

float VarToSingle(const VarData& v, const TFormatSettings& fs) {
    const double d = VarToDouble(v, fs);
    if (std::isfinite(d) && std::fabs(d) > FLT_MAX) {
        // Values that round to FLT_MAX are still in range.
        if (!std::isfinite(static_cast<float>(d))) RaiseVarOverflow();
    }
    return static_cast<float>(d);
}

Currency VarToCurrency(const VarData& v, const TFormatSettings& fs) {
    const VarData d = VarDerefAll(v);
    if (d.VType == varOleStr || d.VType == varString) {
        Currency c;
        switch (TryTextToCurrency(d.StrView(), c, fs)) {
        case TextNumResult::Ok: return c;
        case TextNumResult::Overflow: RaiseVarOverflow();
        case TextNumResult::NotANumber: break;
        }
    }
    return detail::NumToCurrency(NumOf(d, fs));
}

TDateTime VarToDate(const VarData& v, const TFormatSettings& fs) {
    const VarData d = VarDerefAll(v);
    double f;
    if (d.VType == varDate) return d.VDate;
    if (d.VType == varError) RaiseVarTypeCast();  // a status code is no point in time
    if (d.VType == varOleStr || d.VType == varString) {
        if (!TryTextToDate(d.StrView(), f, fs)) RaiseVarTypeCast();
    } else {
        f = detail::NumToDouble(NumOf(d, fs));
    }
    if (!(f >= MinDateTime && f < MaxDateTime + 1e-8)) RaiseVarOverflow();
    return f;
}

std::int32_t VarToError(const VarData& v) {
    const VarData d = VarDerefAll(v);
    if (!ErrorConvertible(d.VType)) RaiseVarTypeCast();
    return IntOf<std::int32_t>(d);
}

IDispatch* VarToDispatch(const VarData& v) {
    const VarData d = VarDerefAll(v);
    switch (d.VType) {
    case varEmpty:
    case varNull: return nullptr;
    case varDispatch:
        if (d.VDispatch) d.VDispatch->AddRef();
        return d.VDispatch;
    case varUnknown: {
        if (!d.VUnknown) return nullptr;
        void* out = nullptr;
        if (Failed(d.VUnknown->QueryInterface(IID_IDispatch, &out)) || !out) RaiseVarTypeCast();
        return static_cast<IDispatch*>(out);
    }
    default: RaiseVarTypeCast();
    }
}

namespace {

IUnknown* ToUnknown(const VarData& d) {
    switch (d.VType) {
    case varEmpty:
    case varNull: return nullptr;
    case varDispatch:
    case varUnknown: {
        IUnknown* u = d.VType == varDispatch ? static_cast<IUnknown*>(d.VDispatch) : d.VUnknown;
        if (u) u->AddRef();
        return u;
    }
    default: RaiseVarTypeCast();
    }
}

bool IsKnownScalarTarget(VarType vt) noexcept {
    return vt <= varUInt64 && vt != 15 && vt != varDecimal;
}

void CastArray(Variant& dst, const VarData& d, VarType vt, const TFormatSettings& fs) {
    if ((d.VType & varArray) == 0) RaiseVarTypeCast();
    const SafeArray& src = *d.VArray;
    const VarType elem = vt & varTypeMask;
    if (elem == src.ElemType()) {
        dst.Assign(d);
        return;
    }
    if (!SafeArray::IsValidElemType(elem)) RaiseVarTypeCast();
    SafeArray::Bound bounds[SafeArray::MaxDims];
    for (int i = 1; i <= src.DimCount(); ++i) bounds[i - 1] = {src.Low(i), src.Count(i)};
    SafeArray* converted = SafeArray::CreateResized(
        src, elem, std::span<const SafeArray::Bound>(bounds, static_cast<std::size_t>(src.DimCount())), fs);
    Variant result = Variant::FromArray(converted);
    dst.MoveFrom(result);
}

// The converted value of a dereferenced scalar, built before `dst` is touched (they may alias).
Variant CastScalar(const VarData& d, VarType vt, const TFormatSettings& fs) {
    switch (vt) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varSmallint: return Variant(IntOf<std::int16_t>(d, fs));
    case varInteger: return Variant(IntOf<std::int32_t>(d, fs));
    case varSingle: return Variant(VarToSingle(d, fs));
    case varDouble: return Variant(VarToDouble(d, fs));
    case varCurrency: return Variant(VarToCurrency(d, fs));
    case varDate: return Variant::FromDate(VarToDate(d, fs));
    case varOleStr: return Variant(VarToUString(d, fs));
    case varDispatch: {
        Variant r;
        r.SetRaw(varDispatch, 0);
        r.VDispatch = VarToDispatch(d);
        return r;
    }
    case varError: return Variant::FromError(VarToError(d));
    case varBoolean: return Variant(VarToBool(d));
    case varUnknown: {
        Variant r;
        r.SetRaw(varUnknown, 0);
        r.VUnknown = ToUnknown(d);
        return r;
    }
    case varShortInt: return Variant(IntOf<std::int8_t>(d, fs));
    case varByte: return Variant(IntOf<std::uint8_t>(d, fs));
    case varWord: return Variant(IntOf<std::uint16_t>(d, fs));
    case varLongWord: return Variant(IntOf<std::uint32_t>(d, fs));
    case varInt64: return Variant(IntOf<std::int64_t>(d, fs));
    case varUInt64: return Variant(static_cast<std::uint64_t>(VarToUInt64(d)));
    default: RaiseVarTypeCast();
    }
}

}  // namespace

void VarCast(Variant& dst, const VarData& src, VarType vt, const TFormatSettings& fs) {
    const VarData d = VarDerefAll(src);
    if (vt & varByRef) RaiseVarBadVarType();
    if (vt & varArray) {
        CastArray(dst, d, vt, fs);
        return;
    }
    if (vt == varVariant || vt == d.VType) {
        dst.Assign(d);
        return;
    }
    if (vt == varString) {
        Variant r(VarToUString(d, fs));
        r.VType = varString;
        dst.MoveFrom(r);
        return;
    }
    if (!IsKnownScalarTarget(vt)) {
        if (vt == varDecimal || vt == varAny) RaiseVarTypeCast();
        RaiseVarBadVarType();
    }
    if (d.VType & varArray) RaiseVarTypeCast();
    Variant r = CastScalar(d, vt, fs);
    dst.MoveFrom(r);
}

}  // namespace xan::plat
