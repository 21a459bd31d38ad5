#include "vm/interp/FramePool.h"

namespace xan {

void TXANFramePool::NextChunk() {
    const std::size_t next = FBegin ? FChunk + 1 : 0;
    if (next == FChunks.size()) FChunks.push_back(std::make_unique<TXANInlineFrame[]>(ChunkSize));
    FChunk = next;
    FBegin = FNext = FChunks[next].get();
    FEnd = FBegin + ChunkSize;
}

void TXANFramePool::PreviousChunk() noexcept {
    --FChunk;
    FBegin = FChunks[FChunk].get();
    FNext = FEnd = FBegin + ChunkSize;
}

}  // namespace xan
