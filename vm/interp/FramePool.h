#pragma once
// TXANFramePool: the per-thread store of the frames of script calls that run inside the
// dispatch loop of their caller (no native call per script call).
//
// Frames are handed out strictly last-in first-out from chunks that never move: the thread's
// call stack links them, and the debugger reads them from other code while they run.
#include <cstdint>
#include <memory>
#include <vector>

#include "vm/interp/CallStackFrame.h"

namespace xan {

// The frame of a script call entered inside the caller's dispatch loop, with the context it
// runs, where the caller's operand stack stood, and slots of its own for a small activation
// (most are: it then takes nothing from the slot pool).
struct TXANInlineFrame : TXANCallStackFrame {
    static constexpr std::int32_t OwnSlotCount = 12;

    TXANVMInterpretContext OwnCtx;
    plat::Variant* CallerTop = nullptr;  // one above the caller's top at the call
    plat::Variant OwnSlots[OwnSlotCount];  // Empty whenever they are not in use
};

class TXANFramePool {
public:
    static constexpr std::size_t ChunkSize = 64;

    TXANFramePool() = default;
    TXANFramePool(const TXANFramePool&) = delete;
    TXANFramePool& operator=(const TXANFramePool&) = delete;

    TXANInlineFrame& Acquire() {
        if (FNext == FEnd) NextChunk();
        return *FNext++;
    }
    // Gives back the frame handed out last.
    void Release() noexcept {
        if (FNext == FBegin) PreviousChunk();
        --FNext;
    }

    std::size_t Used() const noexcept { return FChunk * ChunkSize + std::size_t(FNext - FBegin); }

private:
    void NextChunk();                // the next chunk (made on first need) becomes the current one
    void PreviousChunk() noexcept;   // the current chunk is empty: the one before it, full, is current

    std::vector<std::unique_ptr<TXANInlineFrame[]>> FChunks;
    std::size_t FChunk = 0;          // index of the current chunk (valid once FBegin is set)
    TXANInlineFrame* FBegin = nullptr;
    TXANInlineFrame* FNext = nullptr;
    TXANInlineFrame* FEnd = nullptr;
};

}  // namespace xan
