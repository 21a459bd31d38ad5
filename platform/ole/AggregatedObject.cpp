#include "platform/ole/AggregatedObject.h"

namespace xan::plat {

HRESULT TAggregatedObject::QueryInterface(const TGUID& iid, void** out) noexcept {
    return controller_->QueryInterface(iid, out);
}

HRESULT TContainedObject::QueryInterface(const TGUID& iid, void** out) noexcept {
    if (!out) return E_POINTER;
    void* found = nullptr;
    if (iid == IID_IUnknown) {
        found = static_cast<IUnknown*>(this);
    } else {
        for (const InterfaceEntry& e : InterfaceTable())
            if (*e.iid == iid) {
                found = e.cast(this);
                break;
            }
    }
    *out = found;
    if (!found) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

}  // namespace xan::plat
