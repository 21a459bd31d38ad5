#pragma once
// TXANStackPool: the per-thread source of activation slot arrays.
//
// Slots are handed out strictly last-in first-out from chunks of at least 256 Variants, so an
// activation costs no allocation in the common case. Chunks never move (references point into
// slots). Released slots are cleared at once, so whatever an activation held (strings, objects,
// arrays) is released when it ends, and every slot handed out is Empty.
#include <cstdint>
#include <memory>

#include "platform/ole/Variant.h"

namespace xan {

class TXANStackItem {
public:
    explicit TXANStackItem(std::int32_t ASize, std::unique_ptr<TXANStackItem> APrev);

    std::unique_ptr<plat::Variant[]> FData;
    std::int32_t FSize;
    std::unique_ptr<TXANStackItem> FPrev;
    std::int32_t FUsedItemSize = 0;
};

class TXANStackPool;

// ACount slots of a pool for the life of a scope (given back in last-in first-out order, as
// every use of the pool).
class TXANPoolSlots {
public:
    TXANPoolSlots(TXANStackPool& APool, std::int32_t ACount);
    ~TXANPoolSlots();
    TXANPoolSlots(const TXANPoolSlots&) = delete;
    TXANPoolSlots& operator=(const TXANPoolSlots&) = delete;

    plat::Variant* Data() const noexcept { return FSlots; }
    plat::Variant& operator[](std::size_t AIndex) const noexcept { return FSlots[AIndex]; }

private:
    TXANStackPool& FPool;
    std::int32_t FCount;
    plat::Variant* FSlots;
};

class TXANStackPool {
public:
    static constexpr std::int32_t MinChunkSize = 256;

    TXANStackPool() = default;
    TXANStackPool(const TXANStackPool&) = delete;
    TXANStackPool& operator=(const TXANStackPool&) = delete;
    ~TXANStackPool();

    // The first of ASize consecutive Empty slots. Inline: every script call takes slots.
    plat::Variant* AsquireStack(std::int32_t ASize) {
        TXANStackItem* chunk = FLast.get();
        if (!chunk || chunk->FSize - chunk->FUsedItemSize < ASize) chunk = AddChunk(ASize);
        plat::Variant* first = chunk->FData.get() + chunk->FUsedItemSize;
        chunk->FUsedItemSize += ASize;
        return first;
    }
    // Gives back (and clears) the last ASize slots handed out.
    void ReleaseStack(std::int32_t ASize) noexcept { ReleaseStack(ASize, ASize); }
    // The same when the caller knows that only the first ADirtyCount of them can hold a value
    // (the rest are Empty already): an activation whose operand stack has been emptied.
    void ReleaseStack(std::int32_t ASize, std::int32_t ADirtyCount) noexcept {
        TXANStackItem& chunk = *FLast;
        chunk.FUsedItemSize -= ASize;
        plat::Variant* slot = chunk.FData.get() + chunk.FUsedItemSize;
        for (std::int32_t i = 0; i < ADirtyCount; ++i) slot[i].Clear();
        if (chunk.FUsedItemSize == 0 && chunk.FPrev) DropEmptyChunk();
    }

    std::int32_t ChunkCount() const noexcept;  // for tests and diagnostics

private:
    // A chunk with room for ASize slots becomes the last one (the kept spare, or a new one).
    TXANStackItem* AddChunk(std::int32_t ASize);
    // The last chunk is empty: the one before it becomes the last.
    void DropEmptyChunk() noexcept;

    std::unique_ptr<TXANStackItem> FLast;
    // One emptied chunk is kept for reuse, so that a recursion going back and forth over a
    // chunk boundary does not allocate on every call.
    std::unique_ptr<TXANStackItem> FSpare;
};

}  // namespace xan
