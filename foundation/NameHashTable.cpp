#include "foundation/NameHashTable.h"

#include <new>
#include <utility>

#include "platform/core/Assert.h"

namespace xan {

namespace {
constexpr std::size_t kInitialBuckets = 4;
}

TXANNameHashTable::TXANNameHashTable(bool AOwnItems)
    : FOwnItems(AOwnItems), FItems(std::make_unique<TXANNamedItem*[]>(kInitialBuckets)), FBucketCount(kInitialBuckets) {}

TXANNameHashTable::~TXANNameHashTable() { DetachAll(); }

void TXANNameHashTable::DetachAll() noexcept {
    std::unique_ptr<TXANNamedItem*[]> old = std::move(FItems);
    const std::size_t oldCount = std::exchange(FBucketCount, 0);
    FCount = 0;
    for (std::size_t b = 0; b < oldCount; ++b) {
        for (TXANNamedItem* item = old[b]; item;) {
            TXANNamedItem* next = std::exchange(item->FNext, nullptr);
            if (FOwnItems) delete item;
            item = next;
        }
    }
}

void TXANNameHashTable::Clear() {
    DetachAll();
    try {
        FItems = std::make_unique<TXANNamedItem*[]>(kInitialBuckets);
        FBucketCount = kInitialBuckets;
    } catch (const std::bad_alloc&) {
        // A table without buckets is valid (the next Add allocates them).
    }
}

bool TXANNameHashTable::Add(TXANNamedItem* AItem) {
    XAN_ASSERT("XANSctClass", AItem != nullptr);
    if (Find(AItem->FName)) return false;
    if (static_cast<std::size_t>(FCount) == FBucketCount) Rehash(FBucketCount == 0 ? kInitialBuckets : FBucketCount * 2);
    TXANNamedItem*& head = FItems[BucketOf(AItem->FName, FBucketCount)];
    AItem->FNext = head;
    head = AItem;
    ++FCount;
    return true;
}

void TXANNameHashTable::Rehash(std::size_t ANewCount) {
    auto fresh = std::make_unique<TXANNamedItem*[]>(ANewCount);
    for (std::size_t b = FBucketCount; b-- > 0;) {
        for (TXANNamedItem* item = std::exchange(FItems[b], nullptr); item;) {
            TXANNamedItem* next = item->FNext;
            TXANNamedItem*& head = fresh[BucketOf(item->FName, ANewCount)];
            item->FNext = head;
            head = item;
            item = next;
        }
    }
    FItems = std::move(fresh);
    FBucketCount = ANewCount;
}

bool TXANNameHashTable::Remove(Integer AKey) {
    if (FBucketCount == 0) return false;
    for (TXANNamedItem** link = &FItems[BucketOf(AKey, FBucketCount)]; *link; link = &(*link)->FNext) {
        TXANNamedItem* item = *link;
        if (item->FName != AKey) continue;
        *link = std::exchange(item->FNext, nullptr);
        --FCount;
        if (FOwnItems) delete item;
        return true;
    }
    return false;
}

TXANNamedItem* TXANNameHashTable::Find(Integer AKey) const noexcept {
    if (FBucketCount == 0) return nullptr;
    for (TXANNamedItem* item = FItems[BucketOf(AKey, FBucketCount)]; item; item = item->FNext)
        if (item->FName == AKey) return item;
    return nullptr;
}

void TXANNameHashTable::GetAll(std::vector<TXANNamedItem*>& AResult) const {
    AResult.reserve(AResult.size() + static_cast<std::size_t>(FCount));
    for (std::size_t b = 0; b < FBucketCount; ++b)
        for (TXANNamedItem* item = FItems[b]; item; item = item->FNext) AResult.push_back(item);
}

}  // namespace xan
