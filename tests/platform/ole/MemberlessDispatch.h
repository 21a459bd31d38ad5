#pragma once
// The dispatch part of a test object that has no members: no type information, no names, no
// calls. Tests derive from it and add the reference counting they need.
#include <cstdint>

#include "platform/ole/ComIntf.h"
#include "platform/ole/HResult.h"
#include "platform/ole/Variant.h"

namespace xan::plat::test {

class TMemberlessDispatch : public IDispatch {
public:
    HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(const TGUID&, const char16_t* const*, std::uint32_t, LCID, DISPID*) noexcept override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID, const TGUID&, LCID, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) noexcept override {
        return DISP_E_MEMBERNOTFOUND;
    }
};

}  // namespace xan::plat::test
