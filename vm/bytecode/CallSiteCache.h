#pragma once
// TXANCallSiteCache: what a global call site's name denoted last (a script procedure, or a
// variable it reads, writes or indexes), kept in the site so that the dispatch loop does the
// same again without asking the machine to resolve the name.
//
// An entry holds for one thread's record of the machine (its owner) and one scope, while no
// code was freed and no machine's published names changed (both move the code epoch).
// Threads share bytecode, so the entry is a sequence lock: a reader that sees a write under
// way, or a different count after reading, takes the machine's way instead. A writer that finds another writer at work
// gives up (the entry is only a shortcut).
#include <atomic>
#include <cstdint>

#include "platform/ole/Variant.h"
#include "vm/bytecode/CodeEpoch.h"

namespace xan {

class TXANProcObject;
class TIntrinsic;

// What a site's name denotes, in one word: a script procedure, a built-in routine, a global
// variable's value, or the slot index of a local variable or parameter of the running
// activation. The low three bits tell which (the objects and values are 8-byte aligned).
class TXANSiteTarget {
public:
    enum TKind : std::uintptr_t { tkProc = 0, tkGlobal = 1, tkLocal = 2, tkParam = 3, tkIntrinsic = 4 };

    TXANSiteTarget() = default;
    static TXANSiteTarget Proc(const TXANProcObject* AProc) noexcept { return TXANSiteTarget(Bits(AProc)); }
    static TXANSiteTarget Global(plat::Variant* AValue) noexcept { return TXANSiteTarget(Bits(AValue) | tkGlobal); }
    static TXANSiteTarget Local(std::int32_t AIndex) noexcept { return OfIndex(AIndex, tkLocal); }
    static TXANSiteTarget Param(std::int32_t AIndex) noexcept { return OfIndex(AIndex, tkParam); }
    static TXANSiteTarget Intrinsic(const TIntrinsic* AIntrinsic) noexcept {
        return TXANSiteTarget(Bits(AIntrinsic) | tkIntrinsic);
    }
    static TXANSiteTarget FromBits(std::uintptr_t ABits) noexcept { return TXANSiteTarget(ABits); }

    explicit operator bool() const noexcept { return FBits != 0; }
    TKind Kind() const noexcept { return static_cast<TKind>(FBits & KindMask); }
    bool IsProc() const noexcept { return Kind() == tkProc; }
    const TXANProcObject* AsProc() const noexcept { return reinterpret_cast<const TXANProcObject*>(FBits); }
    bool IsIntrinsic() const noexcept { return Kind() == tkIntrinsic; }
    TIntrinsic* AsIntrinsic() const noexcept { return reinterpret_cast<TIntrinsic*>(FBits & ~KindMask); }
    bool IsVariable() const noexcept { return Kind() >= tkGlobal && Kind() <= tkParam; }
    // The variable a variable target denotes in an activation with slots AStack and
    // arguments AArgs.
    plat::Variant& Variable(plat::Variant* AStack, plat::Variant* AArgs) const noexcept {
        switch (Kind()) {
            case tkGlobal: return *reinterpret_cast<plat::Variant*>(FBits & ~KindMask);
            case tkLocal: return AStack[FBits >> IndexShift];
            default: return AArgs[FBits >> IndexShift];
        }
    }
    std::uintptr_t ToBits() const noexcept { return FBits; }

private:
    static constexpr std::uintptr_t KindMask = 7;
    static constexpr unsigned IndexShift = 3;
    explicit TXANSiteTarget(std::uintptr_t ABits) noexcept : FBits(ABits) {}
    static std::uintptr_t Bits(const void* APtr) noexcept { return reinterpret_cast<std::uintptr_t>(APtr); }
    static TXANSiteTarget OfIndex(std::int32_t AIndex, TKind AKind) noexcept {
        return TXANSiteTarget((static_cast<std::uintptr_t>(AIndex) << IndexShift) | AKind);
    }
    std::uintptr_t FBits = 0;
};

class TXANCallSiteCache {
public:
    // The target stored for AOwner and AScope, when it still holds; otherwise none. An entry
    // never stored has no target, so no owner (a frame that has not looked its record up)
    // finds nothing. Inline: every global call of the dispatch loop asks it first.
    TXANSiteTarget Lookup(const void* AOwner, const void* AScope) const noexcept {
        const std::uint32_t seq = FSeq.load(std::memory_order_acquire);
        const std::uintptr_t target = FTarget.load(std::memory_order_relaxed);
        if (FOwner.load(std::memory_order_relaxed) != AOwner) return {};
        if (FScope.load(std::memory_order_relaxed) != AScope) return {};
        if (FEpoch.load(std::memory_order_relaxed) != TXANCodeEpoch::Current()) return {};
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((seq & 1u) != 0 || FSeq.load(std::memory_order_relaxed) != seq) return {};
        return TXANSiteTarget::FromBits(target);
    }

    // Remembers ATarget for AOwner and AScope as of code epoch AEpoch, read before the name was
    // resolved (a change meanwhile then only costs a miss). No owner stores nothing.
    void Store(const void* AOwner, const void* AScope, std::uint32_t AEpoch, TXANSiteTarget ATarget) noexcept {
        if (!AOwner) return;
        std::uint32_t seq = FSeq.load(std::memory_order_relaxed);
        if ((seq & 1u) != 0 || !FSeq.compare_exchange_strong(seq, seq + 1, std::memory_order_acquire)) return;
        // Keeps the fields' stores after the odd count is visible.
        std::atomic_thread_fence(std::memory_order_release);
        FOwner.store(AOwner, std::memory_order_relaxed);
        FScope.store(AScope, std::memory_order_relaxed);
        FEpoch.store(AEpoch, std::memory_order_relaxed);
        FTarget.store(ATarget.ToBits(), std::memory_order_relaxed);
        FSeq.store(seq + 2, std::memory_order_release);
    }

private:
    std::atomic<std::uint32_t> FSeq{0};  // odd while a writer is at work
    std::atomic<const void*> FOwner{nullptr};
    std::atomic<const void*> FScope{nullptr};
    std::atomic<std::uint32_t> FEpoch{0};
    std::atomic<std::uintptr_t> FTarget{0};
};

}  // namespace xan
