#include "vm/SiteNameCache.h"

namespace xan {

std::atomic<std::uint32_t> TXANSiteNameCache::FEpoch{1};

std::size_t TXANSiteNameCache::SlotOf(const void* ASite) noexcept {
    // Sites are separate heap objects: the low bits are alignment, the next ones vary.
    const auto address = reinterpret_cast<std::uintptr_t>(ASite);
    return static_cast<std::size_t>((address >> 4) ^ (address >> 12)) & (EntryCount - 1);
}

// A debugger's variable belongs to one stopped frame, and "not found" must be asked again in
// case the name appears (it raises an error anyway); the result variable is left out because
// a call through a function's own name resolves past it, by the call's kind.
bool TXANSiteNameCache::Cacheable(TXANNameSearchResKind AKind) noexcept {
    return AKind != srNotFound && AKind != srDebugVar && AKind != srResult;
}

bool TXANSiteNameCache::Lookup(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
                               TXANNameSearchRes& ARes) const noexcept {
    const TEntry& e = FEntries[SlotOf(ASite)];
    if (e.Site != ASite || e.Namespace != ANs || e.Name != AName) return false;
    if (e.Epoch != FEpoch.load(std::memory_order_acquire)) return false;
    ARes = e.Res;
    return true;
}

void TXANSiteNameCache::Store(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
                              const TXANNameSearchRes& ARes) noexcept {
    if (!Cacheable(ARes.ObjKind)) return;
    FEntries[SlotOf(ASite)] = TEntry{ASite, ANs, AName, FEpoch.load(std::memory_order_acquire), ARes};
}

void TXANSiteNameCache::Clear() noexcept { FEntries.fill(TEntry{}); }

void TXANSiteNameCache::NoteCodeFreed() noexcept { FEpoch.fetch_add(1, std::memory_order_acq_rel); }

}  // namespace xan
