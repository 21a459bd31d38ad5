#include "foundation/BlockFilter.h"

#include <algorithm>
#include <mutex>

#include "foundation/HashFunctions.h"

namespace xan {

TXANBlockFilter::TXANBlockFilter()
    : FBits(std::make_unique<std::atomic<std::uint32_t>[]>(kWords)), FScratch(std::make_unique<std::uint32_t[]>(kWords)) {}

std::uint32_t TXANBlockFilter::BitOf(const void* P) noexcept {
    return static_cast<std::uint32_t>(PtrHash(P)) & ((1u << kBits) - 1);
}

bool TXANBlockFilter::MayBeWatched(const void* P) const noexcept {
    const std::uint32_t b = BitOf(P);
    return (FBits[b >> 5].load(std::memory_order_relaxed) >> (b & 31)) & 1u;
}

void TXANBlockFilter::WatchBlock(const void* P, const TXANEnumProc& AEnumerator) {
    plat::SectionGuard guard(FSection);
    const std::uint32_t b = BitOf(P);
    FBits[b >> 5].fetch_or(1u << (b & 31), std::memory_order_relaxed);
    if (++FWatchCalls < kRebuildPeriod) return;
    FWatchCalls = 0;
    Collect(AEnumerator);
}

void TXANBlockFilter::Collect(const TXANEnumProc& AEnumerator) {
    if (!AEnumerator) return;
    plat::SectionGuard guard(FSection);
    std::fill_n(FScratch.get(), kWords, 0u);
    AEnumerator(TXANEnumItemProc::Bind<&TXANBlockFilter::ItemProc>(this));
    // Word-wise copy: a bit of an address that stays watched is set both before and after, so
    // a concurrent reader never sees it clear.
    for (std::uint32_t w = 0; w < kWords; ++w) FBits[w].store(FScratch[w], std::memory_order_relaxed);
}

void TXANBlockFilter::ItemProc(const void* AItem) {
    plat::SectionGuard guard(FSection);
    const std::uint32_t b = BitOf(AItem);
    FScratch[b >> 5] |= 1u << (b & 31);
}

int TXANBlockFilter::WatchCallsSinceRebuild() const {
    plat::SectionGuard guard(FSection);
    return FWatchCalls;
}

}  // namespace xan
