#pragma once
// The automation class registry: program identifiers (compared without regard to case) map to
// class identifiers and factories; hosts register running objects under a class identifier.
//
//   CreateOleObject("Some.Server")     a new object from the factory
//   GetActiveOleObject("Some.Server")  the running object registered for that class
//
// An unknown program identifier raises EOleSysError "Invalid class string" (CO_E_CLASSSTRING);
// a class with no running object raises EOleSysError "Operation unavailable"
// (MK_E_UNAVAILABLE). All functions are thread-safe.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/ole/ComPtr.h"

namespace xan::plat {

// Makes a new object; may raise (the error reaches the creator unchanged).
using OleClassFactory = std::function<ComPtr<IUnknown>()>;

// Registers (or replaces) `progId`. A null factory registers a class that can only be found
// running.
void RegisterOleClass(std::u16string_view progId, const TGUID& clsid, OleClassFactory factory);
// Registers under a class identifier made up for the purpose; answers it.
TGUID RegisterOleClass(std::u16string_view progId, OleClassFactory factory);
void UnregisterOleClass(std::u16string_view progId);

HRESULT CLSIDFromProgID(std::u16string_view progId, TGUID& clsid) noexcept;
// REGDB_E_CLASSNOTREG for an unknown class, CLASS_E_CLASSNOTAVAILABLE for one without a
// factory, E_NOINTERFACE when the object lacks `iid`; a factory's exception becomes a code as
// SafeCall makes it (CreateOleObject instead lets it through unchanged).
HRESULT CoCreateInstance(const TGUID& clsid, const TGUID& iid, void** out) noexcept;

// Running objects. The table holds a reference until the registration is revoked.
std::uint32_t RegisterActiveObject(IUnknown* obj, const TGUID& clsid);
void RevokeActiveObject(std::uint32_t cookie) noexcept;
HRESULT GetActiveObject(const TGUID& clsid, IUnknown** out) noexcept;

ComPtr<IDispatch> CreateOleObject(std::u16string_view progId);
ComPtr<IDispatch> GetActiveOleObject(std::u16string_view progId);

}  // namespace xan::plat
