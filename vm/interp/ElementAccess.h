#pragma once
// One-index element access where the element stands: the short way for `a[i]` when a variable
// holds a one-dimensional array, shared by the machine's call paths and the dispatch loop's
// cached call sites. Each answers false, having done nothing, when the variable holds no
// array, the index is no Integer or the element needs the general way (which raises errors).
#include "platform/ole/SafeArray.h"
#include "platform/ole/Variant.h"

namespace xan {

// The array AVar holds (references followed), or none.
inline plat::Variant* XANArrayIn(plat::Variant& AVar) noexcept {
    plat::Variant& value = AVar.DerefMut();
    return value.IsArray() && value.VArray ? &value : nullptr;
}

// Copies element AIndex of the array in AVar into the Empty slot AResult.
inline bool XANReadElementInPlace(plat::Variant& AVar, const plat::VarData& AIndex, plat::Variant& AResult) noexcept {
    const plat::Variant* array = XANArrayIn(AVar);
    return array && AIndex.VType == plat::varInteger && array->Array().TryGet1(AIndex.VInteger, AResult);
}

// Stores AValue (no reference) as element AIndex of the unshared array in AVar.
inline bool XANWriteElementInPlace(plat::Variant& AVar, const plat::VarData& AIndex, const plat::Variant& AValue) noexcept {
    plat::Variant* array = XANArrayIn(AVar);
    return array && AIndex.VType == plat::varInteger && array->VArray->TryPut1(AIndex.VInteger, AValue);
}

}  // namespace xan
