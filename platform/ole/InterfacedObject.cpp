#include "platform/ole/InterfacedObject.h"

#include "platform/ole/ComPtr.h"

namespace xan::plat {

HRESULT TInterfacedObject::QueryInterface(const TGUID& iid, void** out) noexcept {
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

std::uint32_t TInterfacedObject::AddRef() noexcept {
    return static_cast<std::uint32_t>(refs_.fetch_add(1, std::memory_order_relaxed) + 1);
}

std::uint32_t TInterfacedObject::Release() noexcept {
    const std::int32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return static_cast<std::uint32_t>(left);
}

bool SameObject(IUnknown* a, IUnknown* b) noexcept {
    if (a == b) return true;
    if (!a || !b) return false;
    ComPtr<IUnknown> ua, ub;
    a->QueryInterface(IID_IUnknown, ua.PutVoid());
    b->QueryInterface(IID_IUnknown, ub.PutVoid());
    return ua && ua == ub;
}

}  // namespace xan::plat
