#pragma once
// Member tables of wrapper classes (dispatch info) and the type information over them.
//
// Position 0 of every table is the default-member slot: it exists from the first item on, has
// no name, and takes the contents of the default member when one is declared, so dispatch id 0
// reaches it while no name does. A later item with the name of an earlier one wins name
// lookups (own members override inherited copies), while the earlier keeps its id.
#include <memory>
#include <string_view>
#include <vector>

#include "foundation/HashTable.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/TypeInfo.h"
#include "wrappers/InvokeItem.h"

namespace xan {

class TDispTypeInfo;

class TXANAbstractDispInfo {
public:
    TXANAbstractDispInfo();
    TXANAbstractDispInfo(const TXANAbstractDispInfo&) = delete;
    TXANAbstractDispInfo& operator=(const TXANAbstractDispInfo&) = delete;
    virtual ~TXANAbstractDispInfo();

    // -1 when the name is not indexed (or hidden and AAllowHidden is False).
    virtual plat::Integer GetIDOfName(std::u16string_view AName, bool AAllowHidden) const = 0;
    virtual TXANInvokeItem* GetItem(plat::Integer AIndex) const = 0;
    virtual plat::Integer GetCount() const = 0;

    // Type information over this table, made with it.
    plat::ITypeInfo* TypeInfo() const noexcept;

private:
    plat::ComPtr<TDispTypeInfo> FTypeInfo;
};

class TXANDispInfo : public TXANAbstractDispInfo {
public:
    TXANDispInfo();
    ~TXANDispInfo() override;

    plat::Integer GetIDOfName(std::u16string_view AName, bool AAllowHidden) const override;
    TXANInvokeItem* GetItem(plat::Integer AIndex) const override { return FItems[static_cast<std::size_t>(AIndex)].get(); }
    plat::Integer GetCount() const override { return static_cast<plat::Integer>(FItems.size()); }

    // Adds AItem (Index assigned here); creates the default-member slot first when the table is
    // empty, and copies a visible default member into it.
    TXANInvokeItem* Add(std::unique_ptr<TXANInvokeItem> AItem);
    // The item of that name, hidden ones included; none when absent.
    TXANInvokeItem* FindByName(std::u16string_view AName) const;

private:
    std::vector<std::unique_ptr<TXANInvokeItem>> FItems;
    TXANHashTable FNameIndex;
};

// The view of a class's table that its type object uses: only class-level members are found
// by name.
class TXANMetatypeDispInfo : public TXANAbstractDispInfo {
public:
    explicit TXANMetatypeDispInfo(TXANAbstractDispInfo* AOriginalInfo) noexcept : FOriginalInfo(AOriginalInfo) {}
    plat::Integer GetIDOfName(std::u16string_view AName, bool AAllowHidden) const override;
    TXANInvokeItem* GetItem(plat::Integer AIndex) const override { return FOriginalInfo->GetItem(AIndex); }
    plat::Integer GetCount() const override { return FOriginalInfo->GetCount(); }

private:
    TXANAbstractDispInfo* FOriginalInfo;
};

// Type information of a member table, what the debugger reads to list an object's
// properties: one function description per item after the default-member slot.
class TDispTypeInfo : public plat::TTypeInfoBase {
    XAN_CLASS(TDispTypeInfo, plat::TTypeInfoBase)
    explicit TDispTypeInfo(const TXANAbstractDispInfo* ADispInfo) noexcept : FDispInfo(ADispInfo) {}

    plat::HRESULT GetTypeAttr(plat::TYPEATTR** out) noexcept override;
    plat::HRESULT GetFuncDesc(std::uint32_t index, plat::FUNCDESC** out) noexcept override;
    plat::HRESULT GetNames(plat::MEMBERID memid, plat::UString* names, std::uint32_t maxNames,
                           std::uint32_t* count) noexcept override;
    plat::HRESULT GetIDsOfNames(const char16_t* const* names, std::uint32_t count, plat::MEMBERID* ids) noexcept override;
    plat::HRESULT GetDocumentation(plat::MEMBERID memid, plat::UString* name, plat::UString* doc,
                                   std::uint32_t* helpContext, plat::UString* helpFile) noexcept override;

    // The table went away (it outlived no one but a holder of this type information).
    void Detach() noexcept { FDispInfo = nullptr; }

private:
    const TXANInvokeItem* ItemOf(plat::MEMBERID AMemId) const noexcept;
    const TXANAbstractDispInfo* FDispInfo;
};

}  // namespace xan
