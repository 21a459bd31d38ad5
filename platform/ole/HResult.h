#pragma once
// Result codes of the automation interfaces, with their documented numeric values, and the
// system text of a code.
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/core/UString.h"

namespace xan::plat {

namespace detail {
constexpr HRESULT Code(std::uint32_t bits) noexcept { return static_cast<HRESULT>(bits); }
}  // namespace detail

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_NOTIMPL = detail::Code(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = detail::Code(0x80004002);
inline constexpr HRESULT E_POINTER = detail::Code(0x80004003);
inline constexpr HRESULT E_ABORT = detail::Code(0x80004004);
inline constexpr HRESULT E_FAIL = detail::Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = detail::Code(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = detail::Code(0x80070005);
inline constexpr HRESULT E_HANDLE = detail::Code(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = detail::Code(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = detail::Code(0x80070057);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = detail::Code(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = detail::Code(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = detail::Code(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = detail::Code(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = detail::Code(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = detail::Code(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = detail::Code(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = detail::Code(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = detail::Code(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = detail::Code(0x8002000B);
inline constexpr HRESULT DISP_E_UNKNOWNLCID = detail::Code(0x8002000C);
inline constexpr HRESULT DISP_E_ARRAYISLOCKED = detail::Code(0x8002000D);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = detail::Code(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = detail::Code(0x8002000F);
inline constexpr HRESULT DISP_E_BADCALLEE = detail::Code(0x80020010);
inline constexpr HRESULT DISP_E_NOTACOLLECTION = detail::Code(0x80020011);
inline constexpr HRESULT DISP_E_DIVBYZERO = detail::Code(0x80020012);

// An engine call failed after the error was already reported to the host (no system text).
inline constexpr HRESULT SCRIPT_E_REPORTED = detail::Code(0x80020101);

inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = detail::Code(0x8002802B);
inline constexpr HRESULT TYPE_E_TYPEMISMATCH = detail::Code(0x80028CA0);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = detail::Code(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = detail::Code(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = detail::Code(0x80040154);
inline constexpr HRESULT MK_E_UNAVAILABLE = detail::Code(0x800401E3);
inline constexpr HRESULT CO_E_CLASSSTRING = detail::Code(0x800401F3);

inline constexpr bool Succeeded(HRESULT hr) noexcept { return hr >= 0; }
inline constexpr bool Failed(HRESULT hr) noexcept { return hr < 0; }

// The system text of a code; empty for a code the table does not know.
UString SysErrorText(HRESULT code);
// The system text, or "OLE error XXXXXXXX" (eight upper-case hexadecimal digits) when there is none.
UString OleErrorText(HRESULT code);

}  // namespace xan::plat
