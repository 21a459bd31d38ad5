#include "foundation/NameTable.h"

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/core/Assert.h"
#include "platform/core/CharCase.h"

namespace xan {

namespace {
plat::UString IdentUpperCopy(std::u16string_view AText) {
    char16_t* buffer;
    plat::UString result = plat::UString::Uninitialized(static_cast<std::int32_t>(AText.size()), buffer);
    for (std::size_t i = 0; i < AText.size(); ++i) buffer[i] = plat::IdentUpperChar(AText[i]);
    return result;
}
}  // namespace

// Every process registers a few hundred names before its first script runs (the built-ins of a
// dialect, the host classes): start with room for them rather than rehash six times.
constexpr std::size_t kInitialNameBuckets = 512;

TXANNameTable::TXANNameTable() : FMap(false, kInitialNameBuckets) {}

TXANNameTable::~TXANNameTable() {
    FMap.Clear();
    FNameByIndex.ForEachUpTo(static_cast<std::uint32_t>(Count()), [](TXANIdentifierItem* item) { delete item; });
}

Integer TXANNameTable::GetNameIndex(std::u16string_view AName, bool ACreateNewItem) {
    Integer seen;
    {
        std::shared_lock lock(FSection);
        if (const TXANIdentifierItem* item = FMap.FindIdentifier(AName)) return static_cast<Integer>(item->IntData());
        seen = FCount.load(std::memory_order_relaxed);
    }
    if (!ACreateNewItem) return -1;
    std::unique_lock lock(FSection);
    // Another thread may have registered names between the two locks; only then look again.
    if (FCount.load(std::memory_order_relaxed) != seen)
        if (const TXANIdentifierItem* item = FMap.FindIdentifier(AName)) return static_cast<Integer>(item->IntData());
    return Register(AName);
}

// Called with the table locked exclusively, after a search for AName found nothing.
Integer TXANNameTable::Register(std::u16string_view AName) {
    const Integer id = FCount.load(std::memory_order_relaxed);
    XAN_ASSERT("XANSctVMCompBase", id < INT32_MAX);
    // Everything that can fail comes before the item becomes visible anywhere.
    FNameByIndex.Reserve(static_cast<std::uint32_t>(id));
    auto item = std::make_unique<TXANIdentifierItem>(IdentUpperCopy(AName));
    item->SetIntData(id);
    FMap.AddAbsent(item.get());
    FNameByIndex.Publish(static_cast<std::uint32_t>(id), item.release());
    FCount.store(id + 1, std::memory_order_release);
    return id;
}

void TXANNameTable::CheckIndex(Integer AIndex) const {
    XAN_ASSERT("XANSctVMCompBase", AIndex >= 0 && AIndex < Count());
}

plat::UString TXANNameTable::GetName(Integer AIndex) const {
    CheckIndex(AIndex);
    return FNameByIndex.Get(static_cast<std::uint32_t>(AIndex))->Name;
}

TXANIdentifierItem* TXANNameTable::GetNameIndexes(Integer AIndex) const {
    CheckIndex(AIndex);
    return FNameByIndex.Get(static_cast<std::uint32_t>(AIndex));
}

TXANNameTable& GlobalNameTable() {
    // Never destroyed: every name lives as long as the process, and freeing a thousand items
    // one by one is all that exit would do with it (ids must also stay valid for code that
    // still runs during static destruction).
    static TXANNameTable* const table = new TXANNameTable;
    return *table;
}

namespace {
// Create the table while the process starts, before any script thread exists.
[[maybe_unused]] const bool g_globalNameTableCreated = (GlobalNameTable(), true);
}  // namespace

}  // namespace xan
