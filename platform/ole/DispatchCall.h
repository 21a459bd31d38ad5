#pragma once
// Calling a dispatch object from C++ by name: the caller-side half of IDispatch (name lookup,
// the reversed argument block, the named value of a property put, errors as exceptions).
//
//   Variant n = DispGet(obj, u"Count");
//   DispPut(obj, u"Caption", Variant(u"Hi"));
//   Variant r = DispCall(obj, u"Add", {Variant(1), Variant(2)});
//
// Arguments are given in source order and are borrowed for the call (a by-reference value
// lets the callee write through it; DispPut copies its arguments once to append the value). An unknown name raises EOleSysError with
// DISP_E_UNKNOWNNAME; a failed Invoke raises as RaiseInvokeError does.
#include <initializer_list>
#include <span>

#include "platform/ole/ComIntf.h"

namespace xan::plat {

DISPID DispIdOfName(IDispatch* obj, std::u16string_view name);
// Invokes `id` with `flags`; for a property put (flags 4 or 8) `args` ends with the value.
Variant DispInvoke(IDispatch* obj, DISPID id, std::uint16_t flags, std::span<const Variant> args);

Variant DispGet(IDispatch* obj, std::u16string_view name, std::span<const Variant> args = {});
void DispPut(IDispatch* obj, std::u16string_view name, const VarData& value, std::span<const Variant> args = {});
Variant DispCall(IDispatch* obj, std::u16string_view name, std::span<const Variant> args = {});
inline Variant DispCall(IDispatch* obj, std::u16string_view name, std::initializer_list<Variant> args) {
    return DispCall(obj, name, std::span<const Variant>(args.begin(), args.size()));
}

}  // namespace xan::plat
