#pragma once
// The breakpoint table of one machine: user breakpoints (every thread stops there) and step
// breakpoints (each belongs to one thread). Both are the same patch: the code byte of the
// instruction becomes icBreak while a record for it exists, and the interpreter asks GetInfo
// what a trap means. Every patch first unfuses the instruction groups that cover the patched
// instruction, so that no fused group runs past it.
#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/core/Sync.h"
#include "vm/bytecode/Instr.h"
#include "vm/interp/CallStackFrame.h"
#include "vm/machine/VMDebuggerBase.h"
#include "vm/machine/VMIndexes.h"

namespace xan {

class TXANByteCode;
class TXANTry;
class TXANThread;
class TXANVMSource;

// The stepping-base cell's two fixed values; any other value is the base frame's address.
inline constexpr TXANSteppingBase sbNone = -1;      // no stepping
inline constexpr TXANSteppingBase sbAnyFrame = 0;   // step into: every frame qualifies

// Activation hooks of machines with a debugger matter only while a step is armed. Such a
// machine registers its hook flag here; the flags of all registered machines are set exactly
// while some stepping cell (of any thread and debugger) holds a step, so a debugger that is
// attached but not stepping costs nothing per call.
void XANWatchSteps(std::atomic<bool>* AHooksFlag);
void XANUnwatchSteps(std::atomic<bool>* AHooksFlag) noexcept;

// Every write of a stepping cell goes through here, to keep those flags exact. The cell of
// machines without a debugger is shared and always none: it is never written.
void XANSetSteppingBase(TXANSteppingBase* ACell, TXANSteppingBase AValue) noexcept;

// Whether AFrame qualifies for ABase: any frame does for sbAnyFrame, a frame not deeper than
// the base frame does otherwise (step over). The base frame is live whenever the cell holds it:
// it becomes sbAnyFrame when that frame leaves.
inline bool XANFrameQualifies(const TXANCallStackFrame& AFrame, TXANSteppingBase ABase) noexcept {
    if (ABase == sbAnyFrame) return true;
    if (ABase == sbNone) return false;
    return AFrame.Depth <= reinterpret_cast<const TXANCallStackFrame*>(ABase)->Depth;
}

struct TXANVMBreakpoint {
    bool IsUser = false;
    std::vector<TXANThread*> Threads;  // threads with a step breakpoint here
    PXANInstr Instr = nullptr;
    TXANInstrCode Origin = icBreak;    // the code before patching (unfused)

    bool HasThread(const TXANThread* AThread) const noexcept;
};

enum TXANVMGetBPInfoResult : std::uint8_t {
    bpirOk,           // stop here, then run the covered instruction
    bpirCausedBreak,  // stop for a requested break, then run the instruction unchanged
    bpirGoThrough,    // a breakpoint of no concern: run the covered instruction
    bpirBPRemoved,    // no breakpoint any more: run the instruction unchanged
    bpirNoBPInfo      // an icBreak without a record
};

class TXANVMBreakpoints {
public:
    explicit TXANVMBreakpoints(const TXANVMSource& ASource) noexcept : FSource(ASource) {}
    TXANVMBreakpoints(const TXANVMBreakpoints&) = delete;
    TXANVMBreakpoints& operator=(const TXANVMBreakpoints&) = delete;

    // AInstr is an instruction of ACode.
    void SetUserBP(const TXANByteCode& ACode, PXANInstr AInstr);
    void RemoveUserBP(PXANInstr AInstr);
    bool IsUserBP(PXANInstr AInstr);

    // What the icBreak at AInstr means for AThread running ACurFrame (see TXANVMGetBPInfoResult).
    // AOrigin: the instruction with the code it had before patching (bpirOk, bpirGoThrough).
    TXANVMGetBPInfoResult GetInfo(const TXANThread* AThread, TXANVMDebuggerBase* ADebugger,
                                  const TXANSteppingBase* AStepBase, const TXANCallStackFrame& ACurFrame,
                                  PXANInstr AInstr, TXANVMBreakKind& ABreakKind, TXANInstr& AOrigin);

    // Step breakpoints of AThread on the next breakable instructions reachable from
    // AStartFrom (in ACode, or in a frame's breakpoint copy that leads back into it), optionally
    // past the lines of AStartFrom's line; the base becomes ACurFrame (any frame when none).
    void SetStepBPs(TXANThread* AThread, TXANSteppingBase* AStepBase, const TXANCallStackFrame* ACurFrame,
                    const TXANByteCode& ACode, PXANInstr AStartFrom, bool ASkipStartLine);
    // Step breakpoints at the start of the handler code of AHandler and of every enclosing block.
    void SetExcStepBPs(TXANThread* AThread, TXANSteppingBase* AStepBase, const TXANCallStackFrame* ACurFrame,
                       const TXANByteCode& ACode, const TXANTry* AHandler);
    // Every step breakpoint of AThread goes; no stepping.
    void RemoveStepBps(TXANThread* AThread, TXANSteppingBase* AStepBase);
    // Forgets every record without restoring code bytes (the code is being discarded).
    void Clear() noexcept;

    // Records (for tests).
    std::int32_t Count();

private:
    class TWalk;
    TXANVMBreakpoint& Patch(const TXANByteCode& ACode, PXANInstr AInstr);
    void ReleaseIfUnused(PXANInstr AInstr);
    TXANVMBreakpoint* Find(const TXANInstr* AInstr) noexcept;
    std::int32_t LineOf(const TXANInstr& AInstr) const;

    const TXANVMSource& FSource;
    plat::CriticalSection FSection;
    std::unordered_map<const TXANInstr*, std::unique_ptr<TXANVMBreakpoint>> FItems;
};

}  // namespace xan
