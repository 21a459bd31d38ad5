#pragma once
// Inner objects that live inside another object (the controller) and share its identity and
// reference count.
//
//   TAggregatedObject  every IUnknown call goes to the controller: asking the inner object
//                      for an interface answers what the controller offers
//   TContainedObject   offers its own interface table; AddRef/Release still count on the
//                      controller, so the inner object lives exactly as long as the outer one
//
// The controller owns the inner object and deletes it; the inner object holds no counted
// reference to the controller (that would be a cycle).
#include "platform/ole/InterfacedObject.h"

namespace xan::plat {

class TAggregatedObject : public TObject, public virtual IUnknown {
    XAN_CLASS(TAggregatedObject, TObject)
    explicit TAggregatedObject(IUnknown* controller) noexcept : controller_(controller) {}

    HRESULT QueryInterface(const TGUID& iid, void** out) noexcept override;
    std::uint32_t AddRef() noexcept override { return controller_->AddRef(); }
    std::uint32_t Release() noexcept override { return controller_->Release(); }
    IUnknown* Controller() const noexcept { return controller_; }

private:
    IUnknown* controller_;
};

class TContainedObject : public TAggregatedObject {
    XAN_CLASS(TContainedObject, TAggregatedObject)
    using TAggregatedObject::TAggregatedObject;

    HRESULT QueryInterface(const TGUID& iid, void** out) noexcept override;

    struct InterfaceEntry {
        const TGUID* iid;
        void* (*cast)(TContainedObject* self) noexcept;  // the object as the interface's own pointer
    };
    template <class Self, class Intf>
    static constexpr InterfaceEntry Entry() noexcept {
        return {&Intf::IID, [](TContainedObject* self) noexcept -> void* {
                    return static_cast<Intf*>(static_cast<Self*>(self));
                }};
    }

protected:
    // The interfaces besides IUnknown (IUnknown answers the contained object itself).
    virtual std::span<const InterfaceEntry> InterfaceTable() const noexcept { return {}; }
};

}  // namespace xan::plat
