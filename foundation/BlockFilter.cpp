#include "foundation/BlockFilter.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <mutex>

#include "foundation/HashFunctions.h"

namespace xan {

void TXANBlockFilter::TFree::operator()(std::uint32_t* P) const noexcept { std::free(P); }

TXANBlockFilter::TWords TXANBlockFilter::ZeroedWords() {
    auto* words = static_cast<std::uint32_t*>(std::calloc(kWords, sizeof(std::uint32_t)));
    if (!words) throw std::bad_alloc();
    return TWords(words);
}

TXANBlockFilter::TXANBlockFilter() = default;

std::uint32_t* TXANBlockFilter::EnsureBits() {
    if (!FBitsOwner) {
        FBitsOwner = ZeroedWords();
        FBits.store(FBitsOwner.get(), std::memory_order_release);
    }
    return FBitsOwner.get();
}

std::uint32_t TXANBlockFilter::BitOf(const void* P) noexcept {
    return static_cast<std::uint32_t>(PtrHash(P)) & ((1u << kBits) - 1);
}

bool TXANBlockFilter::MayBeWatched(const void* P) const noexcept {
    std::uint32_t* bits = FBits.load(std::memory_order_acquire);
    if (!bits) return false;
    const std::uint32_t b = BitOf(P);
    return (std::atomic_ref(bits[b >> 5]).load(std::memory_order_relaxed) >> (b & 31)) & 1u;
}

void TXANBlockFilter::WatchBlock(const void* P, const TXANEnumProc& AEnumerator) {
    plat::SectionGuard guard(FSection);
    EnsureBits();
    const std::uint32_t b = BitOf(P);
    Word(b >> 5).fetch_or(1u << (b & 31), std::memory_order_relaxed);
    if (++FWatchCalls < kRebuildPeriod) return;
    FWatchCalls = 0;
    Collect(AEnumerator);
}

void TXANBlockFilter::Collect(const TXANEnumProc& AEnumerator) {
    if (!AEnumerator) return;
    plat::SectionGuard guard(FSection);
    if (FScratch)
        std::fill_n(FScratch.get(), kWords, 0u);
    else
        FScratch = ZeroedWords();
    AEnumerator(TXANEnumItemProc::Bind<&TXANBlockFilter::ItemProc>(this));
    EnsureBits();
    // Word-wise copy: a bit of an address that stays watched is set both before and after, so
    // a concurrent reader never sees it clear.
    for (std::uint32_t w = 0; w < kWords; ++w) Word(w).store(FScratch[w], std::memory_order_relaxed);
}

void TXANBlockFilter::ItemProc(const void* AItem) {
    plat::SectionGuard guard(FSection);
    if (!FScratch) FScratch = ZeroedWords();
    const std::uint32_t b = BitOf(AItem);
    FScratch[b >> 5] |= 1u << (b & 31);
}

int TXANBlockFilter::WatchCallsSinceRebuild() const {
    plat::SectionGuard guard(FSection);
    return FWatchCalls;
}

}  // namespace xan
