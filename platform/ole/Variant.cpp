// Variant lifetime: the out-of-line half of copy and release (strings, interfaces, arrays),
// and reading through by-reference values.
#include "platform/ole/Variant.h"

#include "platform/ole/ComIntf.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat {

Variant::Variant(IDispatch* d) noexcept : VarData(varDispatch, 0) {
    VDispatch = d;
    if (d) d->AddRef();
}

Variant::Variant(IUnknown* u) noexcept : VarData(varUnknown, 0) {
    VUnknown = u;
    if (u) u->AddRef();
}

Variant Variant::FromDate(TDateTime dt) noexcept {
    Variant v;
    v.VType = varDate;
    v.VDate = dt;
    return v;
}

Variant Variant::FromArray(SafeArray* array) noexcept {
    Variant v;
    v.VType = static_cast<VarType>(varArray | array->ElemType());
    v.VArray = array;
    return v;
}

void Variant::AddRefManaged() const noexcept {
    switch (VType) {
    case varOleStr:
    case varString:
        UString::AddRefRaw(VOleStr);
        return;
    case varDispatch:
        if (VDispatch) VDispatch->AddRef();
        return;
    case varUnknown:
        if (VUnknown) VUnknown->AddRef();
        return;
    default:
        if (VArray) VArray->AddRef();  // the only other managed kind: an array (a host may hand in none)
    }
}

void Variant::ReleaseManaged() noexcept {
    switch (VType) {
    case varOleStr:
    case varString:
        UString::ReleaseRawRef(VOleStr);
        break;
    case varDispatch:
        if (VDispatch) VDispatch->Release();
        break;
    case varUnknown:
        if (VUnknown) VUnknown->Release();
        break;
    default:
        if (VArray) VArray->Release();
    }
    VType = varEmpty;
}

UString Variant::AsUString() const noexcept {
    UString::AddRefRaw(VOleStr);
    return UString::AdoptRaw(VOleStr);
}

SafeArray& Variant::MutableArray() {
    if (!VArray) RaiseVarNotArray();
    if (VArray->RefCount() != 1) {
        SafeArray* unique = VArray->Clone();
        VArray->Release();
        VArray = unique;
    }
    return *VArray;
}

VarData VarDerefAll(const VarData& v) noexcept {
    const VarData* p = &v;
    while (p->VType == varRefVariant) p = static_cast<const VarData*>(p->VPointer);
    if (!(p->VType & varByRef)) return *p;
    // A foreign by-reference value: read its target into a borrowed value.
    VarData out;
    out.VType = static_cast<VarType>(p->VType & ~varByRef);
    const void* t = p->VPointer;
    if (!t) return VarData();
    if (out.VType & varArray) {
        out.VArray = *static_cast<SafeArray* const*>(t);
        return out;
    }
    switch (out.VType) {
    case varSmallint: out.VSmallInt = *static_cast<const std::int16_t*>(t); break;
    case varBoolean: out.VBoolean = *static_cast<const std::int16_t*>(t); break;
    case varInteger: out.VInteger = *static_cast<const std::int32_t*>(t); break;
    case varError: out.VError = *static_cast<const std::int32_t*>(t); break;
    case varSingle: out.VSingle = *static_cast<const float*>(t); break;
    case varDouble:
    case varDate: out.VDouble = *static_cast<const double*>(t); break;
    case varCurrency:
    case varInt64: out.VInt64 = *static_cast<const std::int64_t*>(t); break;
    case varUInt64: out.VUInt64 = *static_cast<const std::uint64_t*>(t); break;
    case varShortInt: out.VShortInt = *static_cast<const std::int8_t*>(t); break;
    case varByte: out.VByte = *static_cast<const std::uint8_t*>(t); break;
    case varWord: out.VWord = *static_cast<const std::uint16_t*>(t); break;
    case varLongWord: out.VLongWord = *static_cast<const std::uint32_t*>(t); break;
    case varOleStr:
    case varString:
    case varDispatch:
    case varUnknown: out.VPointer = *static_cast<void* const*>(t); break;
    default: out.VInt64 = 0; break;
    }
    return out;
}

VarType VarTypeOf(const VarData& v) noexcept { return VarDerefAll(v).VType; }

bool VarIsNullOrEmpty(const VarData& v) noexcept {
    const VarType t = VarTypeOf(v);
    return t == varEmpty || t == varNull;
}

}  // namespace xan::plat
