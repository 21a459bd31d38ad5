#pragma once
// What every language adapter needs to reach host objects and automation values: members of
// a dispatch object by name, the property-or-method protocol, and arrays as element lists.
//
// Scripts of most languages write `obj.Name` for a property and `obj.Name(...)` for a method
// alike, so a member is first read as a property; a member that answers it is a method
// (DISP_E_MEMBERNOTFOUND, DISP_E_TYPEMISMATCH, DISP_E_BADPARAMCOUNT) becomes a callable.
// Failures of the host are raised as EScriptError with the host's description and code.
#include <span>
#include <vector>

#include "activescript/LanguageAdapter.h"

namespace xan::as {

// DISPID_UNKNOWN when the object has no such member.
DISPID HostMemberId(IDispatch* AObj, const UString& AName);
// A property read with arguments in source order; false when the member is a method.
bool TryHostGet(IDispatch* AObj, DISPID AId, std::span<plat::Variant> AArgs, plat::Variant& AResult);
// A call (method or property read); a by-reference argument (Variant::RefTo) is written back.
plat::Variant HostCall(IDispatch* AObj, DISPID AId, std::span<plat::Variant> AArgs);
void HostPut(IDispatch* AObj, DISPID AId, std::span<plat::Variant> AArgs, const plat::Variant& AValue);

// The elements of an array value in storage order (a one-dimensional array in index order).
std::vector<plat::Variant> ArrayElements(const VarData& AArray);
// A one-dimensional array of Variants with lower bound 0.
plat::Variant MakeVariantArray(std::span<const plat::Variant> AElements);

}  // namespace xan::as
