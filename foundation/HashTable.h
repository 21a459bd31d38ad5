#pragma once
// A general hash table whose key is known only to its traits class. Keys travel by address,
// untouched; items are host-side objects (TObject descendants) so that an owning table can
// destroy them.
//
// The table has no lock: its owner serialises access. While GetAll hands items to a callback,
// the callback must not change the table (that is an assertion failure, not a crash).
#include <string_view>
#include <vector>

#include "foundation/ChainedBuckets.h"
#include "foundation/HashFunctions.h"
#include "foundation/HashTableTraits.h"
#include "platform/core/Method.h"
#include "platform/core/Object.h"

namespace xan {

// Chain node of a bucket holding more than one item.
using TXANHashTableColl = detail::TChainNode<plat::TObject>;

using TXANHashTableItemProc = plat::Event<void(plat::TObject* AItem)>;
using TXANHashTableItemProcEx = void (*)(plat::TObject* AItem, void* AUserData);

class TXANHashTable {
public:
    TXANHashTable(TXANHashTableTraitsClass ATraits, bool AOwnItems);
    TXANHashTable(const TXANHashTable&) = delete;
    TXANHashTable& operator=(const TXANHashTable&) = delete;
    ~TXANHashTable();

    // Destroys the items of an owning table; the table is left without buckets.
    void Clear();
    // False, adding nothing, when the traits' BeforeAdd refuses the item; the caller then keeps
    // it. If Add throws (out of memory, a traits failure), the table is unchanged.
    bool Add(plat::TObject* AItem);
    bool Remove(const void* AKey);
    plat::TObject* Find(const void* AKey) const;
    // Buckets in ascending order, newest first within a bucket.
    void GetAll(std::vector<plat::TObject*>& AResult) const;
    void GetAll(const TXANHashTableItemProc& AProc) const;
    void GetAll(TXANHashTableItemProcEx AProc, void* AUserData) const;
    // Asks the traits' OnUpdate about every item: uaDelete removes it; items whose key changed
    // are moved to their new buckets.
    void Update();

    Integer Count() const noexcept { return static_cast<Integer>(FItems.Count()); }
    Integer BucketCount() const noexcept { return static_cast<Integer>(FItems.BucketCount()); }
    bool OwnItems() const noexcept { return FOwnItems; }
    TXANHashTableTraitsClass Traits() const noexcept { return FTraits; }

    // The hash functions traits build on.
    static Integer IntHash(Integer AKey) noexcept { return xan::IntHash(AKey); }
    static Integer PtrHash(const void* AKey) noexcept { return xan::PtrHash(AKey); }
    static Integer StrHash(std::u16string_view AKey) noexcept { return xan::StrHash(AKey); }

private:
    class TEnumerationScope;
    std::uint32_t HashOfItem(const plat::TObject* AItem) const;
    void ReleaseItem(plat::TObject* AItem) const noexcept;
    void CheckNotEnumerating() const;

    TXANHashTableTraitsClass FTraits;
    bool FOwnItems;
    detail::TChainedBuckets<plat::TObject> FItems;
    mutable int FEnumerating = 0;
};

}  // namespace xan
