// Variant-level access to arrays: the not-an-array check lives here once.
#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat {

namespace {

bool HoldsArray(VarType t) noexcept { return (t & varArray) != 0; }

}  // namespace

bool VarIsArray(const VarData& v) noexcept { return HoldsArray(VarDerefAll(v).VType); }

const SafeArray& VarArrayRef(const VarData& v) {
    const VarData d = VarDerefAll(v);
    if (!HoldsArray(d.VType) || !d.VArray) RaiseVarNotArray();
    return *d.VArray;
}

SafeArray& VarArrayForWrite(Variant& v) {
    Variant& target = v.DerefMut();
    if (!target.IsArray()) RaiseVarNotArray();
    return target.MutableArray();
}

Variant VarArrayCreate(VarType elemType, std::span<const SafeArray::Bound> bounds) {
    return Variant::FromArray(SafeArray::Create(elemType, bounds));
}

int VarArrayDimCount(const VarData& v) { return VarArrayRef(v).DimCount(); }
std::int32_t VarArrayLowBound(const VarData& v, int dim) { return VarArrayRef(v).Low(dim); }
std::int32_t VarArrayHighBound(const VarData& v, int dim) { return VarArrayRef(v).High(dim); }

Variant VarArrayGet(const VarData& v, std::span<const std::int32_t> idx) {
    Variant out;
    VarArrayRef(v).Get(idx, out);
    return out;
}

void VarArrayPut(Variant& v, std::span<const std::int32_t> idx, const VarData& value) {
    VarArrayForWrite(v).Put(idx, value);
}

}  // namespace xan::plat
