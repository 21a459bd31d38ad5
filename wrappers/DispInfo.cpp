#include "wrappers/DispInfo.h"

#include <algorithm>

#include "foundation/FieldKeyTraits.h"
#include "platform/core/CharCase.h"
#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"

namespace xan {

namespace {
using TDispInfoNameIndexTraits = TXANFieldKeyTraits<TXANInvokeItem, plat::UString, &TXANInvokeItem::UppName, true>;

std::unique_ptr<TXANInvokeItem> NewDefaultSlot() {
    auto slot = std::make_unique<TXANInvokeItem>();
    slot->Index = 0;
    return slot;
}
}  // namespace

// ---- Tables ------------------------------------------------------------------------------------

TXANAbstractDispInfo::TXANAbstractDispInfo() : FTypeInfo(new TDispTypeInfo(this)) {}

TXANAbstractDispInfo::~TXANAbstractDispInfo() { FTypeInfo->Detach(); }

plat::ITypeInfo* TXANAbstractDispInfo::TypeInfo() const noexcept { return FTypeInfo.Get(); }

TXANDispInfo::TXANDispInfo() : FNameIndex(TDispInfoNameIndexTraits::Class(), false) {}

TXANDispInfo::~TXANDispInfo() { FNameIndex.Clear(); }

TXANInvokeItem* TXANDispInfo::Add(std::unique_ptr<TXANInvokeItem> AItem) {
    if (FItems.empty()) FItems.push_back(NewDefaultSlot());
    AItem->Index = static_cast<plat::Integer>(FItems.size());
    TXANInvokeItem* item = AItem.get();
    FItems.push_back(std::move(AItem));
    if (!item->UppName.empty()) {
        FNameIndex.Remove(&item->UppName);
        FNameIndex.Add(item);
    }
    if (!item->Has(iiaHidden) && item->Has(iiaDefaultProp)) FItems[0]->Assign(*item);
    return item;
}

TXANInvokeItem* TXANDispInfo::FindByName(std::u16string_view AName) const {
    const plat::UString key = plat::IdentUpperCase(plat::UString(AName));
    return static_cast<TXANInvokeItem*>(FNameIndex.Find(&key));
}

plat::Integer TXANDispInfo::GetIDOfName(std::u16string_view AName, bool AAllowHidden) const {
    const TXANInvokeItem* item = FindByName(AName);
    if (!item || (item->Has(iiaHidden) && !AAllowHidden)) return -1;
    return item->Index;
}

plat::Integer TXANMetatypeDispInfo::GetIDOfName(std::u16string_view AName, bool AAllowHidden) const {
    const plat::Integer id = FOriginalInfo->GetIDOfName(AName, AAllowHidden);
    if (id < 0 || !FOriginalInfo->GetItem(id)->Has(iiaMetaMember)) return -1;
    return id;
}

// ---- Type information ----------------------------------------------------------------------------

const TXANInvokeItem* TDispTypeInfo::ItemOf(plat::MEMBERID AMemId) const noexcept {
    if (!FDispInfo || AMemId < 0 || AMemId >= FDispInfo->GetCount()) return nullptr;
    return FDispInfo->GetItem(AMemId);
}

plat::HRESULT TDispTypeInfo::GetTypeAttr(plat::TYPEATTR** out) noexcept {
    if (!out) return plat::E_INVALIDARG;
    *out = nullptr;
    if (!FDispInfo) return plat::E_FAIL;
    return plat::SafeCall([&] {
        auto attr = std::make_unique<plat::TYPEATTR>();
        attr->typekind = plat::TKIND_DISPATCH;
        attr->memidConstructor = plat::MEMBERID_NIL;
        attr->memidDestructor = plat::MEMBERID_NIL;
        attr->cFuncs = static_cast<std::uint16_t>(std::max(FDispInfo->GetCount() - 1, 0));
        attr->wTypeFlags = plat::TYPEFLAG_FDISPATCHABLE | plat::TYPEFLAG_FNONEXTENSIBLE;
        *out = attr.release();
    });
}

plat::HRESULT TDispTypeInfo::GetFuncDesc(std::uint32_t index, plat::FUNCDESC** out) noexcept {
    if (!out) return plat::E_INVALIDARG;
    *out = nullptr;
    if (!FDispInfo) return plat::E_FAIL;
    if (index >= static_cast<std::uint32_t>(std::max(FDispInfo->GetCount() - 1, 0))) return plat::E_INVALIDARG;
    return plat::SafeCall([&] {
        const TXANInvokeItem& item = *FDispInfo->GetItem(static_cast<plat::Integer>(index) + 1);
        auto desc = std::make_unique<plat::FUNCDESC>();
        desc->memid = item.Index;
        desc->funckind = plat::FUNC_DISPATCH;
        desc->invkind = static_cast<plat::INVOKEKIND>(item.InvokeFlags);
        desc->cParams = static_cast<std::int16_t>(item.ParamCount);
        desc->cParamsOpt = 0;
        desc->elemdescFunc.vt = item.VarType();
        *out = desc.release();
    });
}

plat::HRESULT TDispTypeInfo::GetNames(plat::MEMBERID memid, plat::UString* names, std::uint32_t maxNames,
                                      std::uint32_t* count) noexcept {
    if (count) *count = 0;
    const TXANInvokeItem* item = ItemOf(memid);
    if (!item) return plat::TYPE_E_ELEMENTNOTFOUND;
    if (names && maxNames > 0) {
        names[0] = item->Name;
        if (count) *count = 1;
    }
    return plat::S_OK;
}

plat::HRESULT TDispTypeInfo::GetIDsOfNames(const char16_t* const* names, std::uint32_t count,
                                           plat::MEMBERID* ids) noexcept {
    if (!names || !ids || count == 0) return plat::E_INVALIDARG;
    for (std::uint32_t i = 1; i < count; ++i) ids[i] = plat::MEMBERID_NIL;
    if (!FDispInfo) return plat::E_FAIL;
    return plat::SafeCall([&]() -> plat::HRESULT {
        const plat::Integer id = FDispInfo->GetIDOfName(names[0], true);
        if (id <= 0) {
            ids[0] = plat::MEMBERID_NIL;
            return plat::DISP_E_UNKNOWNNAME;
        }
        ids[0] = id;
        return plat::S_OK;
    });
}

plat::HRESULT TDispTypeInfo::GetDocumentation(plat::MEMBERID memid, plat::UString* name, plat::UString* doc,
                                              std::uint32_t* helpContext, plat::UString* helpFile) noexcept {
    const TXANInvokeItem* item = ItemOf(memid);
    if (!item) return plat::TYPE_E_ELEMENTNOTFOUND;
    if (name) *name = item->Name;
    if (doc) *doc = item->Name;
    if (helpContext) *helpContext = static_cast<std::uint32_t>(-1);
    if (helpFile) *helpFile = plat::UString();
    return plat::S_OK;
}

}  // namespace xan
