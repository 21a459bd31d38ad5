#pragma once
// Shared helpers of the OLE layer tests: checking raised platform exceptions, and a small
// dispatch object that records how it was called.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Exception.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/OleError.h"
#include "platform/ole/TypeInfo.h"
#include "platform/ole/Variant.h"

namespace xan::plat::test {

// Runs f and answers the class and message of the platform exception it raised.
template <class F>
std::unique_ptr<Exception> RaisedBy(F&& f) {
    try {
        f();
    } catch (const RaisedException& r) {
        return std::unique_ptr<Exception>(AcquireExceptionObject(r));
    }
    return nullptr;
}

template <class E, class F>
::testing::AssertionResult Raises(F&& f, std::u16string_view message) {
    std::unique_ptr<Exception> e = RaisedBy(f);
    if (!e) return ::testing::AssertionFailure() << "nothing was raised";
    if (!e->InheritsFrom(E::StaticClass()))
        return ::testing::AssertionFailure() << "raised " << e->ClassName().ToUtf8() << ": " << e->Message().ToUtf8();
    if (e->Message().view() != message)
        return ::testing::AssertionFailure() << "message was \"" << e->Message().ToUtf8() << "\"";
    return ::testing::AssertionSuccess();
}

// Counts live TTestDispatch objects so tests can check that references balance.
inline std::atomic<int> gLiveTestObjects{0};

// A dispatch object with:
//   1 "Value"   property get / put (put takes DISPID_PROPERTYPUT as its named argument)
//   2 "Join"    method: its arguments' texts joined with "|" in source order
//   3 "Item"    indexed property: Item(i) get / put over a 4-element store
//   4 "Fail"    method raising Exception "boom"
//   5 "Cast"    method raising the variant type-cast error
// and type information for the members.
class TTestDispatch : public TInterfacedObject, public IDispatch {
    XAN_CLASS(TTestDispatch, TInterfacedObject)
    TTestDispatch() noexcept { ++gLiveTestObjects; }
    ~TTestDispatch() override { --gLiveTestObjects; }

    Variant value;
    Variant items[4];
    std::vector<std::uint16_t> flagsSeen;

    HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    HRESULT GetTypeInfo(std::uint32_t index, LCID locale, ITypeInfo** out) noexcept override;
    HRESULT GetIDsOfNames(const TGUID& iid, const char16_t* const* names, std::uint32_t count, LCID locale,
                          DISPID* ids) noexcept override;
    HRESULT Invoke(DISPID id, const TGUID& iid, LCID locale, std::uint16_t flags, DISPPARAMS* params,
                   Variant* result, EXCEPINFO* excep, std::uint32_t* argErr) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;
};

}  // namespace xan::plat::test
