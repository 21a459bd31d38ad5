#include "foundation/IdentifierHashTable.h"

#include <new>

#include "platform/core/Assert.h"
#include "platform/core/CharCase.h"

namespace xan {

namespace {

std::uint32_t HashOfItem(const TXANIdentifierItem* AItem) noexcept {
    return static_cast<std::uint32_t>(StrHash(AItem->Name));
}
}  // namespace

TXANIdentifierHashTable::TXANIdentifierHashTable(bool AOwnItems, std::size_t ABuckets)
    : FOwnItems(AOwnItems), FItems(ABuckets) {}

TXANIdentifierHashTable::~TXANIdentifierHashTable() {
    FItems.Drain([this](TXANIdentifierItem* item) noexcept { ReleaseItem(item); });
}

void TXANIdentifierHashTable::ReleaseItem(TXANIdentifierItem* AItem) const noexcept {
    if (FOwnItems) delete AItem;
}

void TXANIdentifierHashTable::Clear() {
    FItems.Drain([this](TXANIdentifierItem* item) noexcept { ReleaseItem(item); });
    try {
        FItems.Allocate(DefaultBuckets);
    } catch (const std::bad_alloc&) {
        // A table without buckets is valid (the next Add allocates them), so a cleared table
        // stays usable even when memory is short.
    }
}

bool TXANIdentifierHashTable::Add(TXANIdentifierItem* AItem) {
    XAN_ASSERT("XANSctClass", AItem != nullptr);
    if (Find(AItem->Name)) return false;
    AddAbsent(AItem);
    return true;
}

void TXANIdentifierHashTable::AddAbsent(TXANIdentifierItem* AItem) {
    XAN_ASSERT("XANSctClass", AItem != nullptr);
    FItems.GrowIfFull(HashOfItem);
    FItems.InsertHead(AItem, HashOfItem(AItem));
}

bool TXANIdentifierHashTable::Remove(std::u16string_view AKey) {
    TXANIdentifierItem* item = FItems.Unlink(static_cast<std::uint32_t>(StrHash(AKey)),
                                             [AKey](const TXANIdentifierItem* i) { return i->Name.view() == AKey; });
    if (!item) return false;
    ReleaseItem(item);
    return true;
}

TXANIdentifierItem* TXANIdentifierHashTable::Find(std::u16string_view AKey) const noexcept {
    return FItems.Find(static_cast<std::uint32_t>(StrHash(AKey)),
                       [AKey](const TXANIdentifierItem* i) noexcept { return i->Name.view() == AKey; });
}

TXANIdentifierItem* TXANIdentifierHashTable::FindIdentifier(std::u16string_view AText) const noexcept {
    std::uint32_t h = 0;
    for (char16_t c : AText) h = StrHashStep(h, plat::IdentUpperChar(c));
    return FItems.Find(h, [AText](const TXANIdentifierItem* i) noexcept {
        const std::u16string_view name = i->Name.view();
        if (name.size() != AText.size()) return false;
        for (std::size_t k = 0; k < name.size(); ++k)
            if (name[k] != plat::IdentUpperChar(AText[k])) return false;
        return true;
    });
}

void TXANIdentifierHashTable::GetAll(std::vector<TXANIdentifierItem*>& AResult) const {
    AResult.reserve(AResult.size() + FItems.Count());
    FItems.ForEach([&AResult](TXANIdentifierItem* item) { AResult.push_back(item); });
}

}  // namespace xan
