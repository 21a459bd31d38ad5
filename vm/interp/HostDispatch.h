#pragma once
// Calls from script code into dispatch objects, and indexing of values.
//
// Arguments are passed to a host object as they lie in the caller's slots (borrowed, last
// argument first); a slot holding a reference reaches the callee as a by-reference value, so
// the callee can write through it. Failure codes become runtime errors.
#include <array>
#include <cstdint>
#include <span>

#include "platform/ole/ComIntf.h"
#include "vm/bytecode/Operands.h"

namespace xan {

// At most this many arguments reach a dispatch call (a property put counts its value).
inline constexpr std::int32_t XANMaxDispatchArgs = 63;
// A variant array is indexed with fewer than this many indices.
inline constexpr std::int32_t XANMaxArrayIndices = 60;

// The dispatch object a value holds (references followed), or none for Empty and Null; any
// other value raises the platform's invalid-variant-type-conversion error.
plat::IDispatch* XANObjectOf(const plat::Variant& AValue);

// Invokes member AId of AObj for a call with ABracketType; AResult receives the result when
// AResMask is non-zero.
void XANInvokeHostMember(plat::IDispatch* AObj, plat::DISPID AId, TXANBracketType ABracketType, std::uint32_t AResMask,
                         std::int32_t AArgCount, plat::Variant* AArgs, plat::Variant& AResult);
// Sets member AId of AObj, indexed by the arguments, to AValue.
void XANHostPropPut(plat::IDispatch* AObj, plat::DISPID AId, TXANBracketType ABracketType, std::int32_t AArgCount,
                    plat::Variant* AArgs, plat::Variant& AValue);

// The indices of one element access, held in place: element access runs in tight loops, where
// a heap allocation per access would cost more than the access itself.
struct TXANArrayIndices {
    std::array<std::int32_t, XANMaxArrayIndices> Values;
    std::size_t Count = 0;
    std::span<const std::int32_t> Span() const noexcept { return {Values.data(), Count}; }
};
// The arguments of an access to AArray converted to indices; a count other than the array's
// dimension count raises the argument-count error.
TXANArrayIndices XANArrayIndices(const plat::SafeArray& AArray, std::int32_t AArgCount, const plat::Variant* AArgs);
// Stores AValue (references followed) into the element AIndices of the array ATarget holds
// (references followed); a target that holds no array is a type mismatch.
void XANPutElement(plat::Variant& ATarget, const TXANArrayIndices& AIndices, const plat::Variant& AValue);

// AValue[args] into AResult: the default member of a dispatch object, an element of a variant
// array; anything else is a type mismatch.
void XANIndexValue(const plat::Variant& AValue, std::int32_t AArgCount, plat::Variant* AArgs, plat::Variant& AResult);
// ATarget[args] := AValue, with the same rules (array elements take the value converted to
// their element type).
void XANIndexedAssign(plat::Variant& ATarget, std::int32_t AArgCount, plat::Variant* AArgs, plat::Variant& AValue);

}  // namespace xan
