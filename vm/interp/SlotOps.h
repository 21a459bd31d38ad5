#pragma once
// Small slot operations the interpreter and its hooks share: references ($400C), raw addresses
// kept in hidden locals, and popping with release.
#include <cstdint>
#include <new>

#include "platform/ole/Variant.h"

namespace xan {

// Hidden locals (the finally return address, the loop variable's address) hold an address
// under a type code whose payload is never released.
inline constexpr plat::VarType XANRawSlotType = plat::varInt64;

inline void XANSetRawAddress(plat::Variant& ASlot, const void* AAddress) noexcept {
    ASlot.SetRaw(XANRawSlotType, static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(AAddress)));
}

template <class T>
inline T* XANRawAddress(const plat::Variant& ASlot) noexcept {
    return reinterpret_cast<T*>(static_cast<std::intptr_t>(ASlot.VInt64));
}

// Makes ASlot a reference to ATarget (releasing what the slot held).
inline void XANSetRef(plat::Variant& ASlot, plat::Variant* ATarget) noexcept {
    ASlot.Clear();
    ASlot.VType = plat::varRefVariant;
    ASlot.VPointer = ATarget;
}

// Loads the variable AVar into the result slot AResult: a copy, or (ARef, for a by-reference
// parameter) a reference to the variable.
inline void XANLoadVariable(plat::Variant& AVar, plat::Variant& AResult, bool ARef) {
    if (ARef)
        XANSetRef(AResult, &AVar);
    else
        AResult.Assign(AVar);
}

// Pushes a copy of AValue onto an operand stack whose slots above the top are Empty (nothing
// to release first, and the source is never the slot itself).
inline void XANPushCopy(plat::Variant*& ATop, const plat::VarData& AValue) noexcept {
    ::new (static_cast<void*>(ATop)) plat::Variant(AValue);
    ++ATop;
}

// Stores the operand AValue into ATarget: a temporary is moved (the copy without the count
// traffic), a reference's target is copied.
inline void XANStoreOperand(plat::Variant& ATarget, plat::Variant& AValue) {
    if (AValue.IsRef())
        ATarget.Assign(AValue.Deref());
    else
        ATarget.MoveFrom(AValue);
}

// Clears the slots [ANewTop, ATop) and answers ANewTop: the operand stack shrinks to ANewTop.
inline plat::Variant* XANPopTo(plat::Variant* ATop, plat::Variant* ANewTop) noexcept {
    for (plat::Variant* p = ANewTop; p < ATop; ++p) p->Clear();
    return ANewTop;
}

}  // namespace xan
