#include "vm/interp/SiteNameCache.h"

namespace xan {

// A debugger's variable belongs to one stopped frame, and "not found" must be asked again in
// case the name appears (it raises an error anyway); the result variable is left out because
// a call through a function's own name resolves past it, by the call's kind.
bool TXANSiteNameCache::Cacheable(TXANNameSearchResKind AKind) noexcept {
    return AKind != srNotFound && AKind != srDebugVar && AKind != srResult;
}

void TXANSiteNameCache::Store(const void* ASite, const TXANAbstractNamespace* ANs, plat::Integer AName,
                              const TXANNameSearchRes& ARes) noexcept {
    if (!Cacheable(ARes.ObjKind)) return;
    // A site keeps the entry it has; a new one takes the set's first entry, whose previous
    // holder moves to the second (the older of the set's two sites goes).
    const std::size_t set = SetOf(ASite);
    TEntry* target = &FEntries[set];
    if (FEntries[set + 1].Site == ASite)
        target = &FEntries[set + 1];
    else if (target->Site != ASite)
        FEntries[set + 1] = *target;
    *target = TEntry{ASite, ANs, AName, TXANCodeEpoch::Current(), ARes};
}

void TXANSiteNameCache::Clear() noexcept { FEntries.fill(TEntry{}); }

}  // namespace xan
