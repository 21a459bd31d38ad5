#pragma once
// Helpers shared by the bytecode, value-operation and interpreter tests.
#include <gtest/gtest.h>

#include <memory>

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/Variant.h"

namespace xan::vmtest {

// Runs f and returns the message of the platform exception it raised, checking its class.
// An empty optional-like result ("<nothing raised>") makes the comparison fail visibly.
template <class E, class F>
plat::UString RaisedMessage(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        if (!e) return u"<no object>";
        EXPECT_TRUE(e->Is<E>()) << "raised " << e->ClassName().ToUtf8() << ": " << e->Message().ToUtf8();
        return e->Message();
    }
    return u"<nothing raised>";
}

template <class E, class F>
bool Raises(F&& f) {
    try {
        f();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        return e && e->Is<E>();
    }
    return false;
}

// A dispatch object that only counts its references.
class CountingDispatch : public plat::IDispatch {
public:
    plat::HRESULT QueryInterface(const plat::TGUID&, void** out) noexcept override {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return ++refs; }
    std::uint32_t Release() noexcept override { return --refs; }
    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        *count = 0;
        return plat::S_OK;
    }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept override {
        *out = nullptr;
        return plat::E_NOTIMPL;
    }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const*, std::uint32_t, plat::LCID,
                                plat::DISPID*) noexcept override {
        return plat::DISP_E_UNKNOWNNAME;
    }
    plat::HRESULT Invoke(plat::DISPID, const plat::TGUID&, plat::LCID, std::uint16_t, plat::DISPPARAMS*, plat::Variant*,
                         plat::EXCEPINFO*, std::uint32_t*) noexcept override {
        return plat::DISP_E_MEMBERNOTFOUND;
    }
    std::uint32_t refs = 1;
};

}  // namespace xan::vmtest
