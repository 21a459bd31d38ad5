#pragma once
// Intrusive table of named items keyed by name id. The chain link lives in the item, so adding
// never allocates except when the bucket array grows.
#include <cstddef>
#include <memory>
#include <vector>

#include "foundation/HashFunctions.h"
#include "platform/core/Object.h"

namespace xan {

// Base of everything that lives in a TXANNameHashTable: global objects, procedure locals,
// extern objects, used units. An item can be in one table at a time.
class TXANNamedItem : public plat::TObject {
    XAN_CLASS(TXANNamedItem, plat::TObject)
    explicit TXANNamedItem(Integer AName) noexcept : FName(AName) {}

    Integer FName;  // name id; the key, so it must not change while the item is in a table

private:
    friend class TXANNameHashTable;
    TXANNamedItem* FNext = nullptr;  // next item of the same bucket
};

class TXANNameHashTable {
public:
    // An owning table destroys its items when they are removed or cleared.
    explicit TXANNameHashTable(bool AOwnItems);
    TXANNameHashTable(const TXANNameHashTable&) = delete;
    TXANNameHashTable& operator=(const TXANNameHashTable&) = delete;
    ~TXANNameHashTable();

    void Clear();
    // False, adding nothing, when an item with the same id is present; the caller keeps it.
    bool Add(TXANNamedItem* AItem);
    bool Remove(Integer AKey);
    TXANNamedItem* Find(Integer AKey) const noexcept;
    // Appends every item: buckets in ascending order, newest first within a bucket.
    void GetAll(std::vector<TXANNamedItem*>& AResult) const;

    Integer Count() const noexcept { return FCount; }
    Integer BucketCount() const noexcept { return static_cast<Integer>(FBucketCount); }
    bool OwnItems() const noexcept { return FOwnItems; }

private:
    static std::size_t BucketOf(Integer AKey, std::size_t ABucketCount) noexcept {
        return static_cast<std::uint32_t>(IntHash(AKey)) & (ABucketCount - 1);
    }
    void Rehash(std::size_t ANewCount);
    // Detaches every item, leaving the table empty and without buckets.
    void DetachAll() noexcept;

    bool FOwnItems;
    std::unique_ptr<TXANNamedItem*[]> FItems;
    std::size_t FBucketCount = 0;
    Integer FCount = 0;
};

}  // namespace xan
