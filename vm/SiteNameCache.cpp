#include "vm/SiteNameCache.h"

namespace xan {

std::atomic<std::uint32_t> TXANSiteNameCache::FEpoch{1};

// A debugger's variable belongs to one stopped frame, and "not found" must be asked again in
// case the name appears (it raises an error anyway); the result variable is left out because
// a call through a function's own name resolves past it, by the call's kind.
bool TXANSiteNameCache::Cacheable(TXANNameSearchResKind AKind) noexcept {
    return AKind != srNotFound && AKind != srDebugVar && AKind != srResult;
}

void TXANSiteNameCache::Store(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
                              const TXANNameSearchRes& ARes) noexcept {
    if (!Cacheable(ARes.ObjKind)) return;
    FEntries[SlotOf(ASite)] = TEntry{ASite, ANs, AName, FEpoch.load(std::memory_order_acquire), ARes};
}

void TXANSiteNameCache::Clear() noexcept { FEntries.fill(TEntry{}); }

void TXANSiteNameCache::NoteCodeFreed() noexcept { FEpoch.fetch_add(1, std::memory_order_acq_rel); }

}  // namespace xan
