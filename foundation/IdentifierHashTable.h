#pragma once
// Items keyed by text, compared exactly code unit by code unit. Tables that want
// case-insensitive keys store upper-cased names; FindIdentifier then looks up any spelling of an
// identifier without building its upper-cased copy.
#include <string_view>
#include <vector>

#include "foundation/ChainedBuckets.h"
#include "foundation/HashFunctions.h"
#include "platform/core/Object.h"
#include "platform/core/UString.h"

namespace xan {

class TXANIdentifierItem : public plat::TObject {
    XAN_CLASS(TXANIdentifierItem, plat::TObject)
    TXANIdentifierItem() = default;
    explicit TXANIdentifierItem(plat::UString AName, void* AData = nullptr) noexcept
        : Name(std::move(AName)), Data(AData) {}

    // The payload is an object or, for tables that map names to numbers, an integer.
    std::intptr_t IntData() const noexcept { return reinterpret_cast<std::intptr_t>(Data); }
    void SetIntData(std::intptr_t AValue) noexcept { Data = reinterpret_cast<void*>(AValue); }

    plat::UString Name;  // the key; must not change while the item is in a table
    void* Data = nullptr;
};

// Chain node of a bucket holding more than one item.
using TCollision = detail::TChainNode<TXANIdentifierItem>;

class TXANIdentifierHashTable {
public:
    // An owning table destroys its items when they are removed or cleared.
    // ABuckets (a power of two) saves the rehashes of a table known to grow large.
    static constexpr std::size_t DefaultBuckets = 4;
    explicit TXANIdentifierHashTable(bool AOwnItems, std::size_t ABuckets = DefaultBuckets);
    TXANIdentifierHashTable(const TXANIdentifierHashTable&) = delete;
    TXANIdentifierHashTable& operator=(const TXANIdentifierHashTable&) = delete;
    ~TXANIdentifierHashTable();

    void Clear();
    // False, adding nothing, when an item with the same Name is present; the caller then keeps
    // the item. If Add throws (out of memory), the table is unchanged and the caller keeps it too.
    bool Add(TXANIdentifierItem* AItem);
    // Add for an item the caller has just looked for and not found: no second search.
    void AddAbsent(TXANIdentifierItem* AItem);
    bool Remove(std::u16string_view AKey);
    TXANIdentifierItem* Find(std::u16string_view AKey) const noexcept;
    // The item whose Name is the identifier upper-case form of AText (see IdentUpperCase).
    TXANIdentifierItem* FindIdentifier(std::u16string_view AText) const noexcept;
    // Appends every item: buckets in ascending order, newest first within a bucket.
    void GetAll(std::vector<TXANIdentifierItem*>& AResult) const;

    Integer Count() const noexcept { return static_cast<Integer>(FItems.Count()); }
    Integer BucketCount() const noexcept { return static_cast<Integer>(FItems.BucketCount()); }
    bool OwnItems() const noexcept { return FOwnItems; }

private:
    void ReleaseItem(TXANIdentifierItem* AItem) const noexcept;

    bool FOwnItems;
    detail::TChainedBuckets<TXANIdentifierItem> FItems;
};

}  // namespace xan
