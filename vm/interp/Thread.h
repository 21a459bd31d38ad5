#pragma once
// TXANThread: the execution state of one OS thread inside the engine: its slot pool, its call
// stack and the scratch values the call instructions pass between steps. The thread registry
// creates one per thread and extends it with per-machine records.
#include <cstdint>

#include "platform/ole/Variant.h"
#include "vm/interp/CallStackFrame.h"
#include "vm/interp/FramePool.h"
#include "vm/interp/StackPool.h"

namespace xan {

class TXANThread {
public:
    TXANThread() = default;
    TXANThread(const TXANThread&) = delete;
    TXANThread& operator=(const TXANThread&) = delete;

    TXANStackPool FStackPool;
    TXANFramePool FFramePool;                 // frames of script calls run in their caller's loop
    PXANCallStackFrame FCallStack = nullptr;  // top frame; none when idle
    plat::Variant* PV = nullptr;              // scratch address for the call instructions
    plat::Variant V;                          // scratch value for the call instructions

    // Activations currently running on this thread.
    std::int32_t Depth() const noexcept { return FCallStack ? FCallStack->Depth : 0; }
};

}  // namespace xan
