#pragma once
// A probabilistic set of watched addresses, read without a lock on every object release.
//
// The filter is a bit set of 2^20 bits; an address maps to the low 20 bits of its PtrHash. A
// clear bit means the address is certainly not watched; a set bit means it may be (the owner
// of the watched set must look the address up exactly). Bits are never cleared one by one:
// every 100th watch rebuilds the whole filter from the owner's current set, through an
// enumerator the owner supplies, so bits of addresses no longer watched disappear then.
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/core/Method.h"
#include "platform/core/Sync.h"

namespace xan {

// Called once for every address still watched.
using TXANEnumItemProc = plat::Event<void(const void* AItem)>;
// Calls its item callback once for every address that is still watched.
using TXANEnumProc = plat::Event<void(const TXANEnumItemProc& AItemProc)>;

class TXANBlockFilter {
public:
    static constexpr unsigned kBits = 20;
    static constexpr int kRebuildPeriod = 100;

    TXANBlockFilter();
    TXANBlockFilter(const TXANBlockFilter&) = delete;
    TXANBlockFilter& operator=(const TXANBlockFilter&) = delete;

    // Lock-free; safe on any thread at any time.
    bool MayBeWatched(const void* P) const noexcept;

    // Sets the bit of P; every kRebuildPeriod-th call rebuilds the filter through AEnumerator.
    // The enumerator must report P (the owner records P before asking to watch it).
    void WatchBlock(const void* P, const TXANEnumProc& AEnumerator);
    // Rebuilds the filter from exactly the addresses AEnumerator reports. Without an
    // enumerator nothing is known about what is still watched, so the filter is kept. If the
    // enumerator throws, the filter is kept as well.
    void Collect(const TXANEnumProc& AEnumerator);
    // The item callback Collect hands to the enumerator: marks one address in the set being
    // rebuilt.
    void ItemProc(const void* AItem);

    int WatchCallsSinceRebuild() const;

private:
    static constexpr std::uint32_t kWords = (1u << kBits) / 32;
    static std::uint32_t BitOf(const void* P) noexcept;

    mutable plat::CriticalSection FSection;  // WatchBlock, Collect and ItemProc
    // Both sets are made when first needed: most scripts never watch a block, and a process
    // that starts a script and ends should not pay for 128 KB it never reads.
    struct TFree {
        void operator()(std::uint32_t* P) const noexcept;
    };
    using TWords = std::unique_ptr<std::uint32_t[], TFree>;
    static TWords ZeroedWords();
    // The published set, made under the lock; readers load it without one.
    std::uint32_t* EnsureBits();
    // Writers only, under the lock, after EnsureBits.
    std::atomic_ref<std::uint32_t> Word(std::uint32_t AIndex) const noexcept { return std::atomic_ref(FBitsOwner[AIndex]); }

    int FWatchCalls = 0;
    std::atomic<std::uint32_t*> FBits{nullptr};  // owned by FBitsOwner; null until the first watch
    TWords FBitsOwner;
    TWords FScratch;  // the set being rebuilt; made by the first Collect
};

}  // namespace xan
