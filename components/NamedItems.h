#pragma once
// Named objects and values of a script control, and the holder through which its engine
// reaches the named values.
//
// Items are keyed by the upper-cased name, so names are case-insensitive and unique across
// both kinds. The holder binds a name to the storage of an item's Value (not a copy): a script
// assignment to a named value is what the host reads afterwards.
#include <vector>

#include "foundation/FieldKeyTraits.h"
#include "foundation/HashTable.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/Variant.h"

namespace xan {

enum TNamedItemKind : std::uint8_t { nikObject, nikValue };

struct TNamedItem : plat::TObject {
    TNamedItemKind Kind = nikValue;
    plat::UString UppName;  // the key
    plat::UString Name;     // as the caller wrote it
    plat::Variant Value;    // an object: its dispatch interface; a value: the value
    bool PubMembers = false;
};

using TNamedItemsTraits = TXANFieldKeyTraits<TNamedItem, plat::UString, &TNamedItem::UppName, true>;

// The key of a name given to the control (the platform's Unicode upper-casing).
plat::UString XANNamedItemKey(const plat::UString& AName);
// The dispatch interface a variant holds (references followed); none for any other value.
plat::ComPtr<plat::IDispatch> XANDispatchOf(const plat::VarData& AValue);

inline constexpr plat::TGUID IID_IXANNamedValuesHolder{
    0x5C0E3A51, 0x9B7D, 0x4E22, {0xA6, 0x1F, 0x3D, 0x84, 0x0B, 0x77, 0xC2, 0x19}};
struct IXANNamedValuesHolder : virtual plat::IUnknown {
    static constexpr const plat::TGUID& IID = IID_IXANNamedValuesHolder;
    // Binds AName to the storage AValue (which must outlive the binding). A name bound already
    // keeps its first binding.
    virtual void AddValue(const plat::UString& AName, plat::Variant& AValue) = 0;
};

// Dispatch identifiers are 1, 2, 3 … in order of first addition, never reused.
class TNamedValuesHolder : public plat::TInterfacedObject, public plat::IDispatch, public IXANNamedValuesHolder {
    XAN_CLASS(TNamedValuesHolder, plat::TInterfacedObject)
    TNamedValuesHolder();

    void AddValue(const plat::UString& AName, plat::Variant& AValue) override;

    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override;
    plat::HRESULT GetTypeInfo(std::uint32_t index, plat::LCID locale, plat::ITypeInfo** out) noexcept override;
    plat::HRESULT GetIDsOfNames(const plat::TGUID& iid, const char16_t* const* names, std::uint32_t count,
                                plat::LCID locale, plat::DISPID* ids) noexcept override;
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID& iid, plat::LCID locale, std::uint16_t flags,
                         plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO* excep,
                         std::uint32_t* argErr) noexcept override;

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override;

private:
    struct TItem : plat::TObject {
        plat::UString UppName;
        plat::DISPID DispId = 0;
        plat::Variant* Value = nullptr;
    };
    using TMapTraits = TXANFieldKeyTraits<TItem, plat::UString, &TItem::UppName, true>;

    TXANHashTable FNameMap;
    std::vector<TItem*> FDispIdIndex;  // entry 0 unused
};

}  // namespace xan
