#pragma once
// TInterfacedObject: a TObject that implements IUnknown with an atomic reference count and a
// QueryInterface driven by a table of the interfaces it offers.
//
// Interfaces derive virtually from IUnknown, so a class lists its interfaces as further bases
// and gets one identity and one count:
//
//   class TMyObject : public TInterfacedObject, public IDispatch {
//       XAN_CLASS(TMyObject, TInterfacedObject)
//   protected:
//       std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
//           static const InterfaceEntry table[] = {Entry<TMyObject, IDispatch>()};
//           return table;
//       }
//       ...IDispatch methods...
//   };
//
// IUnknown is always answered. The object deletes itself when the count drops to zero; it is
// created with count 0, so the first ComPtr takes the first reference.
#include <atomic>
#include <span>

#include "platform/core/Object.h"
#include "platform/ole/ComIntf.h"

namespace xan::plat {

class TInterfacedObject : public TObject, public virtual IUnknown {
    XAN_CLASS(TInterfacedObject, TObject)
    TInterfacedObject() noexcept = default;

    HRESULT QueryInterface(const TGUID& iid, void** out) noexcept override;
    std::uint32_t AddRef() noexcept override;
    std::uint32_t Release() noexcept override;
    std::int32_t RefCount() const noexcept { return refs_.load(std::memory_order_acquire); }

    struct InterfaceEntry {
        const TGUID* iid;
        // The object as a pointer of the interface's own type (what QueryInterface hands out).
        void* (*cast)(TInterfacedObject* self) noexcept;
    };
    template <class Self, class Intf>
    static constexpr InterfaceEntry Entry() noexcept {
        return {&Intf::IID, [](TInterfacedObject* self) noexcept -> void* {
                    return static_cast<Intf*>(static_cast<Self*>(self));
                }};
    }

protected:
    // The interfaces besides IUnknown; the default offers none.
    virtual std::span<const InterfaceEntry> InterfaceTable() const noexcept { return {}; }

private:
    std::atomic<std::int32_t> refs_{0};
};

}  // namespace xan::plat
