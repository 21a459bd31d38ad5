#pragma once
// Helpers shared by the bytecode, value-operation and interpreter tests.
#include <gtest/gtest.h>

#include <memory>

#include "platform/core/Exception.h"
#include "tests/platform/ole/MemberlessDispatch.h"

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
class CountingDispatch : public plat::test::TMemberlessDispatch {
public:
    plat::HRESULT QueryInterface(const plat::TGUID&, void** out) noexcept override {
        *out = nullptr;
        return plat::E_NOINTERFACE;
    }
    std::uint32_t AddRef() noexcept override { return ++refs; }
    std::uint32_t Release() noexcept override { return --refs; }
    std::uint32_t refs = 1;
};

}  // namespace xan::vmtest
