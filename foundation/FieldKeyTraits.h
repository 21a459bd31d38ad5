#pragma once
// Traits of the common shape: the key is a field of the item, compared exactly, hashed with
// StrHash (text), PtrHash (addresses) or IntHash (integers and enumerations). With UniqueKeys
// the table refuses an item whose key is already present.
//
//   struct TEntry : plat::TObject { plat::UString UppName; };
//   using TEntryTraits = TXANFieldKeyTraits<TEntry, plat::UString, &TEntry::UppName, true>;
//   TXANHashTable table(TEntryTraits::Class(), true);
//   plat::UString key = u"NAME";
//   table.Find(&key);
#include <string_view>
#include <type_traits>

#include "foundation/HashTable.h"
#include "foundation/HashTableTraits.h"
#include "platform/core/UString.h"

namespace xan {

inline Integer HashKey(const plat::UString& AKey) noexcept { return StrHash(AKey.view()); }
inline Integer HashKey(std::u16string_view AKey) noexcept { return StrHash(AKey); }
template <class P>
Integer HashKey(P* AKey) noexcept {
    return PtrHash(AKey);
}
template <class I>
    requires std::is_integral_v<I> || std::is_enum_v<I>
Integer HashKey(I AKey) noexcept {
    return IntHash(static_cast<Integer>(AKey));
}

template <class Item, class Key, Key Item::*KeyField, bool UniqueKeys = false>
class TXANFieldKeyTraits : public TXANHashTableTraits {
    static_assert(std::is_base_of_v<plat::TObject, Item>, "hash table items are TObjects");
    XAN_HASH_TRAITS(TXANFieldKeyTraits, TXANHashTableTraits)

    static const Key& KeyOf(const plat::TObject* AItem) noexcept { return static_cast<const Item*>(AItem)->*KeyField; }

    bool BeforeAdd(plat::TObject* AItem, TXANHashTable& ATable) const override {
        if constexpr (UniqueKeys)
            return ATable.Find(&KeyOf(AItem)) == nullptr;
        else
            return true;
    }
    Integer MakeHashI(const plat::TObject* AItem) const override { return HashKey(KeyOf(AItem)); }
    Integer MakeHashK(const void* AKey) const override { return HashKey(*static_cast<const Key*>(AKey)); }
    bool Compare(const void* AKey, const plat::TObject* AItem) const override {
        return *static_cast<const Key*>(AKey) == KeyOf(AItem);
    }
};

}  // namespace xan
