#include "foundation/HashTable.h"

#include "platform/core/Assert.h"

namespace xan {

// Marks the table as being walked so that a callback that changes it is caught.
class TXANHashTable::TEnumerationScope {
public:
    explicit TEnumerationScope(int& depth) noexcept : depth_(depth) { ++depth_; }
    ~TEnumerationScope() { --depth_; }
    TEnumerationScope(const TEnumerationScope&) = delete;
    TEnumerationScope& operator=(const TEnumerationScope&) = delete;

private:
    int& depth_;
};

TXANHashTable::TXANHashTable(TXANHashTableTraitsClass ATraits, bool AOwnItems) : FTraits(ATraits), FOwnItems(AOwnItems) {
    XAN_ASSERT("XANHashTable", ATraits != nullptr);
}

TXANHashTable::~TXANHashTable() {
    FItems.Drain([this](plat::TObject* item) noexcept { ReleaseItem(item); });
}

std::uint32_t TXANHashTable::HashOfItem(const plat::TObject* AItem) const {
    return static_cast<std::uint32_t>(FTraits->MakeHashI(AItem));
}

void TXANHashTable::ReleaseItem(plat::TObject* AItem) const noexcept {
    if (FOwnItems) delete AItem;
}

void TXANHashTable::CheckNotEnumerating() const {
    XAN_ASSERT("XANHashTable", FEnumerating == 0);
}

void TXANHashTable::Clear() {
    CheckNotEnumerating();
    FItems.Drain([this](plat::TObject* item) noexcept { ReleaseItem(item); });
}

bool TXANHashTable::Add(plat::TObject* AItem) {
    XAN_ASSERT("XANHashTable", AItem != nullptr);
    CheckNotEnumerating();
    if (!FTraits->BeforeAdd(AItem, *this)) return false;
    const std::uint32_t hash = HashOfItem(AItem);
    FItems.GrowIfFull([this](const plat::TObject* item) { return HashOfItem(item); });
    FItems.InsertHead(AItem, hash);
    return true;
}

bool TXANHashTable::Remove(const void* AKey) {
    CheckNotEnumerating();
    if (FItems.BucketCount() == 0) return false;
    plat::TObject* item = FItems.Unlink(static_cast<std::uint32_t>(FTraits->MakeHashK(AKey)),
                                        [this, AKey](const plat::TObject* i) { return FTraits->Compare(AKey, i); });
    if (!item) return false;
    ReleaseItem(item);
    return true;
}

plat::TObject* TXANHashTable::Find(const void* AKey) const {
    if (FItems.BucketCount() == 0) return nullptr;
    return FItems.Find(static_cast<std::uint32_t>(FTraits->MakeHashK(AKey)),
                       [this, AKey](const plat::TObject* i) { return FTraits->Compare(AKey, i); });
}

void TXANHashTable::GetAll(std::vector<plat::TObject*>& AResult) const {
    AResult.reserve(AResult.size() + FItems.Count());
    FItems.ForEach([&AResult](plat::TObject* item) { AResult.push_back(item); });
}

void TXANHashTable::GetAll(const TXANHashTableItemProc& AProc) const {
    TEnumerationScope scope(FEnumerating);
    FItems.ForEach([&AProc](plat::TObject* item) { AProc.Fire(item); });
}

void TXANHashTable::GetAll(TXANHashTableItemProcEx AProc, void* AUserData) const {
    XAN_ASSERT("XANHashTable", AProc != nullptr);
    TEnumerationScope scope(FEnumerating);
    FItems.ForEach([AProc, AUserData](plat::TObject* item) { AProc(item, AUserData); });
}

void TXANHashTable::Update() {
    CheckNotEnumerating();
    bool moved = false;
    {
        TEnumerationScope scope(FEnumerating);
        const std::size_t mask = FItems.BucketCount() - 1;
        FItems.RemoveIf(
            [this, mask, &moved](plat::TObject* item, std::size_t bucket) {
                if (FTraits->OnUpdate(item) == uaDelete) return true;
                if ((HashOfItem(item) & mask) != bucket) moved = true;
                return false;
            },
            [this](plat::TObject* item) { ReleaseItem(item); });
    }
    if (moved) FItems.Rehash(FItems.BucketCount(), [this](const plat::TObject* item) { return HashOfItem(item); });
}

}  // namespace xan
