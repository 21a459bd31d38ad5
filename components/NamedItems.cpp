#include "components/NamedItems.h"

#include "platform/ole/HResult.h"
#include "platform/rtl/CaseCompare.h"

namespace xan {

using plat::HRESULT;

plat::UString XANNamedItemKey(const plat::UString& AName) { return plat::WideUpperCase(AName); }

plat::ComPtr<plat::IDispatch> XANDispatchOf(const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType == plat::varDispatch) return plat::ComPtr<plat::IDispatch>(v.VDispatch);
    if (v.VType == plat::varUnknown && v.VUnknown) {
        plat::IDispatch* d = nullptr;
        if (v.VUnknown->QueryInterface(plat::IDispatch::IID, reinterpret_cast<void**>(&d)) == plat::S_OK)
            return plat::ComPtr<plat::IDispatch>::Attach(d);
    }
    return nullptr;
}

TNamedValuesHolder::TNamedValuesHolder() : FNameMap(TMapTraits::Class(), true), FDispIdIndex(1, nullptr) {}

void TNamedValuesHolder::AddValue(const plat::UString& AName, plat::Variant& AValue) {
    auto item = std::make_unique<TItem>();
    item->UppName = XANNamedItemKey(AName);
    if (FNameMap.Find(&item->UppName)) return;
    item->DispId = static_cast<plat::DISPID>(FDispIdIndex.size());
    item->Value = &AValue;
    FDispIdIndex.push_back(item.get());
    if (FNameMap.Add(item.get())) item.release();
}

HRESULT TNamedValuesHolder::GetTypeInfoCount(std::uint32_t* count) noexcept {
    *count = 0;
    return plat::S_OK;
}

HRESULT TNamedValuesHolder::GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept {
    *out = nullptr;
    return plat::E_NOTIMPL;
}

HRESULT TNamedValuesHolder::GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t count,
                                          plat::LCID, plat::DISPID* ids) noexcept {
    if (count > 0) {
        const plat::UString key = XANNamedItemKey(plat::UString(names[0]));
        if (const auto* item = static_cast<const TItem*>(FNameMap.Find(&key))) {
            ids[0] = item->DispId;
            return plat::S_OK;
        }
    }
    for (std::uint32_t i = 0; i < count; ++i) ids[i] = -1;
    return plat::DISP_E_UNKNOWNNAME;
}

HRESULT TNamedValuesHolder::Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t flags,
                                   plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO*,
                                   std::uint32_t*) noexcept {
    if (id <= 0 || static_cast<std::size_t>(id) >= FDispIdIndex.size()) return plat::DISP_E_MEMBERNOTFOUND;
    plat::Variant& storage = *FDispIdIndex[static_cast<std::size_t>(id)]->Value;
    const std::uint32_t argCount = params ? params->cArgs : 0;
    try {
        if (flags & plat::DISPATCH_PROPERTYGET) {
            if (argCount != 0) return plat::DISP_E_BADPARAMCOUNT;
            if (result) *result = storage;
            return plat::S_OK;
        }
        if (flags & plat::DISPATCH_PROPERTYPUT) {
            if (argCount != 1) return plat::DISP_E_BADPARAMCOUNT;
            storage = plat::Variant(plat::VarDerefAll(params->rgvarg[0]));
            return plat::S_OK;
        }
    } catch (...) {
        return plat::E_FAIL;
    }
    return plat::DISP_E_TYPEMISMATCH;
}

std::span<const plat::TInterfacedObject::InterfaceEntry> TNamedValuesHolder::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TNamedValuesHolder, plat::IDispatch>(),
                                           Entry<TNamedValuesHolder, IXANNamedValuesHolder>()};
    return table;
}

}  // namespace xan
