#pragma once
// The automation interfaces: IUnknown, IDispatch, their argument and exception records, and
// the invocation constants.
//
// Interfaces derive virtually from IUnknown, so an object that implements several of them has
// exactly one IUnknown (its identity) and one reference count; TInterfacedObject supplies it.
// Every interface method is noexcept and answers a result code; SafeCall and OleCheck
// (OleError.h) translate between codes and exceptions. No binary compatibility with any other
// platform is intended: the layouts are this library's own.
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/ole/HResult.h"
#include "platform/ole/Variant.h"

namespace xan::plat {

struct ITypeInfo;

inline constexpr TGUID IID_NULL = GUID_NULL;
inline constexpr TGUID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr TGUID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr TGUID IID_ITypeInfo{0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal.
UString GUIDToString(const TGUID& guid);
// Accepts the braced form in either case; false on any other text.
bool TryStringToGUID(std::u16string_view text, TGUID& guid) noexcept;

struct IUnknown {
    static constexpr const TGUID& IID = IID_IUnknown;
    // On success *out holds one counted reference; on failure null and E_NOINTERFACE.
    virtual HRESULT QueryInterface(const TGUID& iid, void** out) noexcept = 0;
    virtual std::uint32_t AddRef() noexcept = 0;
    virtual std::uint32_t Release() noexcept = 0;

protected:
    ~IUnknown() = default;
};

// Invocation flags.
inline constexpr std::uint16_t DISPATCH_METHOD = 1;
inline constexpr std::uint16_t DISPATCH_PROPERTYGET = 2;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUT = 4;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUTREF = 8;

// Reserved dispatch ids.
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_NEWENUM = -4;
inline constexpr DISPID DISPID_EVALUATE = -5;

// The argument block of Invoke. `rgvarg` lists the arguments last first and borrows them: the
// callee reads (and, through by-reference values, writes) them but owns none. A property put
// passes the new value as rgvarg[0] and names it DISPID_PROPERTYPUT in rgdispidNamedArgs.
struct DISPPARAMS {
    VarData* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    std::uint32_t cArgs = 0;
    std::uint32_t cNamedArgs = 0;

    // The argument at source position `i` (0 = first as written), counted from the end.
    const VarData& Arg(std::uint32_t i) const noexcept { return rgvarg[cArgs - 1 - i]; }
};

// What an Invoke that failed with DISP_E_EXCEPTION tells about the exception.
struct EXCEPINFO {
    std::uint16_t code = 0;
    UString source;
    UString description;
    UString helpFile;
    std::uint32_t helpContext = 0;
    HRESULT scode = 0;

    void Clear() noexcept { *this = EXCEPINFO(); }
};

struct IDispatch : virtual IUnknown {
    static constexpr const TGUID& IID = IID_IDispatch;
    virtual HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept = 0;
    // On success *out holds one counted reference.
    virtual HRESULT GetTypeInfo(std::uint32_t index, LCID locale, ITypeInfo** out) noexcept = 0;
    // Unknown names: every requested id becomes DISPID_UNKNOWN and DISP_E_UNKNOWNNAME.
    virtual HRESULT GetIDsOfNames(const TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                  LCID locale, DISPID* ids) noexcept = 0;
    // `result` null: the caller wants no result. `excep` and `argErr` may be null.
    virtual HRESULT Invoke(DISPID id, const TGUID& iid, LCID locale, std::uint16_t flags, DISPPARAMS* params,
                           Variant* result, EXCEPINFO* excep, std::uint32_t* argErr) noexcept = 0;
};

}  // namespace xan::plat
