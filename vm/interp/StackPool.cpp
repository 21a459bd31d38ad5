#include "vm/interp/StackPool.h"

#include <algorithm>

#include "platform/core/Assert.h"

namespace xan {

TXANStackItem::TXANStackItem(std::int32_t ASize, std::unique_ptr<TXANStackItem> APrev)
    : FData(std::make_unique<plat::Variant[]>(std::size_t(ASize))), FSize(ASize), FPrev(std::move(APrev)) {}

TXANStackPool::~TXANStackPool() {
    // Unlink iteratively: a deep chain of chunks must not recurse through unique_ptr destructors.
    while (FLast) FLast = std::move(FLast->FPrev);
}

TXANStackItem* TXANStackPool::AddChunk(std::int32_t ASize) {
    XAN_ASSERT("XANSctVM", ASize >= 0);
    if (FSpare && FSpare->FSize >= ASize) {
        FSpare->FPrev = std::move(FLast);
        FLast = std::move(FSpare);
    } else {
        FLast = std::make_unique<TXANStackItem>(std::max(MinChunkSize, ASize), std::move(FLast));
    }
    return FLast.get();
}

void TXANStackPool::DropEmptyChunk() noexcept {
    std::unique_ptr<TXANStackItem> emptied = std::move(FLast);
    FLast = std::move(emptied->FPrev);
    if (!FSpare || FSpare->FSize < emptied->FSize) FSpare = std::move(emptied);
}

TXANPoolSlots::TXANPoolSlots(TXANStackPool& APool, std::int32_t ACount)
    : FPool(APool), FCount(ACount), FSlots(APool.AsquireStack(ACount)) {}

TXANPoolSlots::~TXANPoolSlots() { FPool.ReleaseStack(FCount); }

std::int32_t TXANStackPool::ChunkCount() const noexcept {
    std::int32_t n = 0;
    for (const TXANStackItem* c = FLast.get(); c; c = c->FPrev.get()) ++n;
    return n;
}

}  // namespace xan
