// The machine's side of breakpoints and stepping: what an icBreak trap means, the break
// procedure with its resume kinds, and re-arming a step on activation entry, after calls and
// when an exception is routed to a handler. Everything here runs only when a breakpoint or the
// terminate flag traps, or (activation hooks) while a debugger is attached.
#include "vm/bytecode/ByteCode.h"
#include "vm/interp/Thread.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

plat::Integer TXANVirtMachine::FrameLine(const TXANCallStackFrame& AFrame) const {
    const TXANVMSource& source = AFrame.Ctx->Source ? *AFrame.Ctx->Source : FSource;
    return source.PosToLine(static_cast<std::int32_t>(AFrame.IP->SourcePos()));
}

TXANThreadVM& TXANVirtMachine::ThreadVMOf(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    if (!AFrame.ThreadVM) AFrame.ThreadVM = TVMIndexes::ThreadVMOf(&AThread, FId.Index);
    return *AFrame.ThreadVM;
}

TXANThreadVM* TXANVirtMachine::SteppingRecord(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    if (!FDebugger) return nullptr;
    TXANThreadVM& threadVM = ThreadVMOf(AThread, AFrame);
    // Code the debugger runs during a break (evaluations) never steps.
    if (threadVM.FInBreak || !threadVM.FSteppingBase) return nullptr;
    return XANFrameQualifies(AFrame, *threadVM.FSteppingBase) ? &threadVM : nullptr;
}

// Prepared code (an expression or statement with its own source) is never patched: it may be
// freed while its breakpoint records would still point into it. Its frame only sets the base.
void TXANVirtMachine::SetStepBPsFrom(TXANThread& AThread, TXANThreadVM& AThreadVM, TXANCallStackFrame& AFrame,
                                     const TXANCallStackFrame* ABase, bool ASkipLine) {
    if (AFrame.Ctx->Source) {
        XANSetSteppingBase(AThreadVM.FSteppingBase, ABase ? reinterpret_cast<TXANSteppingBase>(ABase) : sbAnyFrame);
        return;
    }
    FBreakpoints.SetStepBPs(&AThread, AThreadVM.FSteppingBase, ABase, *AFrame.Ctx->Code, AFrame.IP, ASkipLine);
}

void TXANVirtMachine::OnActivationEnter(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    if (TXANThreadVM* threadVM = SteppingRecord(AThread, AFrame)) SetStepBPsFrom(AThread, *threadVM, AFrame, &AFrame, false);
}

// The step keeps its kind: a step into that came back from a call steps into the next call of
// the same line too, so every line that runs is visited.
void TXANVirtMachine::ReArmAfterCall(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    TXANThreadVM* threadVM = SteppingRecord(AThread, AFrame);
    if (!threadVM) return;
    const TXANSteppingBase base = *threadVM->FSteppingBase;
    const auto* baseFrame = base == sbAnyFrame ? nullptr : reinterpret_cast<const TXANCallStackFrame*>(base);
    SetStepBPsFrom(AThread, *threadVM, AFrame, baseFrame, true);
}

void TXANVirtMachine::OnActivationLeave(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept {
    try {
        TXANThreadVM& threadVM = ThreadVMOf(AThread, AFrame);
        TXANSteppingBase* cell = threadVM.FSteppingBase;
        if (!FDebugger || !cell || *cell == sbNone || threadVM.FInBreak) return;
        // A step over that leaves its procedure stops in the caller.
        if (*cell == reinterpret_cast<TXANSteppingBase>(&AFrame)) XANSetSteppingBase(cell, sbAnyFrame);
        TXANCallStackFrame* caller = AFrame.Next;
        if (!caller) {
            // The thread's run is over, and so is its step: the next run starts without one.
            FBreakpoints.RemoveStepBps(&AThread, cell);
            return;
        }
        // The call returns into its caller (of any machine of this debugger): a step goes on
        // there after the call's line.
        auto* callerVM = dynamic_cast<TXANVirtMachine*>(caller->VM);
        if (callerVM && callerVM->FDebugger == FDebugger) callerVM->ReArmAfterCall(AThread, *caller);
    } catch (...) {
        // Stepping that cannot be armed must not change how the script runs.
    }
}

void TXANVirtMachine::SetExcStepBPs(TXANThread& AThread, TXANCallStackFrame& AFrame, const TXANTry* AHandler) {
    try {
        if (TXANThreadVM* threadVM = SteppingRecord(AThread, AFrame); threadVM && !AFrame.Ctx->Source)
            FBreakpoints.SetExcStepBPs(&AThread, threadVM->FSteppingBase, &AFrame, *AFrame.Ctx->Code, AHandler);
    } catch (...) {
        // As above: the exception goes to its handler whatever happens to the step.
    }
}

bool TXANVirtMachine::InBreak(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    return FDebugger && ThreadVMOf(AThread, AFrame).FInBreak;
}

TXANBreakAction TXANVirtMachine::DoBreak(TXANThread& AThread, TXANCallStackFrame& AFrame, std::uint8_t& ACovered) {
    if (FTerminateFlag.load(std::memory_order_relaxed) == 0) {
        // Only closing clears the flag of a machine without a debugger; it stays cleared, so
        // that every outer activation stops too.
        if (!FDebugger) EXANVMRuntime::RaiseError(retAborted);
        FTerminateFlag.store(TerminateRunning, std::memory_order_relaxed);
        if (TVMIndexes::Instance().IsInactiveOrClosing(FId)) {
            FTerminateFlag.store(0, std::memory_order_relaxed);
            EXANVMRuntime::RaiseError(retAborted);
        }
    }
    TXANThreadVM& threadVM = ThreadVMOf(AThread, AFrame);
    TXANVMBreakKind kind = bkBreakpoint;
    TXANInstr origin;
    switch (FBreakpoints.GetInfo(&AThread, FDebugger, threadVM.FSteppingBase, AFrame, AFrame.IP, kind, origin)) {
        case bpirOk:
            BreakAt(AThread, AFrame, threadVM, kind);
            ACovered = origin.Code;
            return baRunCovered;
        case bpirCausedBreak:
            BreakAt(AThread, AFrame, threadVM, kind);
            return baRerun;
        case bpirGoThrough:
            // A requested break that met a breakpoint of no concern is taken at the next trap.
            if (FDebugger && FDebugger->BreakRequested(false)) FTerminateFlag.store(0, std::memory_order_relaxed);
            ACovered = origin.Code;
            return baRunCovered;
        case bpirBPRemoved: return baRerun;
        case bpirNoBPInfo: break;
    }
    FBreakpoints.RemoveStepBps(&AThread, threadVM.FSteppingBase);
    EXANVMRuntime::RaiseError(retIENoBreakpointInfo);
}

void TXANVirtMachine::BreakAt(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANThreadVM& AThreadVM,
                              TXANVMBreakKind AKind) {
    if (AThreadVM.FInBreak) return;
    TXANVMResumeKind resume = rkContinue;
    if (FDebugger) {
        // A stop answers a pending request too: the host is in a break either way.
        if (AKind != bkCausedBreak) FDebugger->BreakRequested(true);
        resume = FDebugger->Break(AKind, *this, FrameLine(AFrame), AThread);
    }
    switch (resume) {
        case rkStepOver:
            FBreakpoints.RemoveStepBps(&AThread, AThreadVM.FSteppingBase);
            SetStepBPsFrom(AThread, AThreadVM, AFrame, &AFrame, true);
            break;
        case rkStepInto:
            FBreakpoints.RemoveStepBps(&AThread, AThreadVM.FSteppingBase);
            SetStepBPsFrom(AThread, AThreadVM, AFrame, nullptr, true);
            break;
        case rkContinue: FBreakpoints.RemoveStepBps(&AThread, AThreadVM.FSteppingBase); break;
        case rkIgnore: break;
        case rkAbort: EXANVMRuntime::RaiseError(retAborted);
    }
}

}  // namespace xan
