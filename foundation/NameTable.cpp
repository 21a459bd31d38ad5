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

TXANNameTable::TXANNameTable() : FMap(false) {}

TXANNameTable::~TXANNameTable() {
    FMap.Clear();
    FNameByIndex.ForEachUpTo(static_cast<std::uint32_t>(Count()), [](TXANIdentifierItem* item) { delete item; });
}

Integer TXANNameTable::GetNameIndex(std::u16string_view AName, bool ACreateNewItem) {
    {
        std::shared_lock lock(FSection);
        if (const TXANIdentifierItem* item = FMap.FindIdentifier(AName)) return static_cast<Integer>(item->IntData());
    }
    if (!ACreateNewItem) return -1;
    std::unique_lock lock(FSection);
    // Another thread may have registered the name between the two locks.
    if (const TXANIdentifierItem* item = FMap.FindIdentifier(AName)) return static_cast<Integer>(item->IntData());
    return Register(AName);
}

Integer TXANNameTable::Register(std::u16string_view AName) {
    const Integer id = FCount.load(std::memory_order_relaxed);
    XAN_ASSERT("XANSctVMCompBase", id < INT32_MAX);
    // Everything that can fail comes before the item becomes visible anywhere.
    FNameByIndex.Reserve(static_cast<std::uint32_t>(id));
    auto item = std::make_unique<TXANIdentifierItem>(IdentUpperCopy(AName));
    item->SetIntData(id);
    const bool added = FMap.Add(item.get());
    XAN_ASSERT("XANSctVMCompBase", added);
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
