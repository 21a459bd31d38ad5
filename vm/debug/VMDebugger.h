#pragma once
// TXANVMDebugger: the debugger object machines are attached to (Open with a debugger). Every
// stop of an attached machine (a user breakpoint, a step, a requested break) reaches OnBreak on
// the script's own thread, with the kind of stop, the line and a snapshot of the call stack
// (frames of every attached machine on that thread); the handler's resume kind tells the
// machine how to go on. Several threads may break at the same time, each in its own call.
#include "platform/core/Method.h"
#include "vm/debug/StackFrames.h"
#include "vm/machine/VMDebuggerBase.h"

namespace xan {

class TXANVMDebugger;

// AResumeKind is rkContinue when the handler is called.
using TXANOnBreak = plat::Event<void(TXANVMDebugger* Sender, TXANVMBreakKind ABreakKind, TXANVirtMachine* AVM,
                                     plat::Integer ALine, const TXANPasStackFramesRef& ACallStack,
                                     TXANVMResumeKind& AResumeKind)>;

class TXANVMDebugger : public TXANVMDebuggerBase {
public:
    TXANOnBreak OnBreak;

    // rkContinue unless OnBreak is assigned; then OnBreak's answer.
    virtual TXANVMResumeKind DoVMBreak(TXANVMBreakKind ABreakKind, TXANVirtMachine* AVM, plat::Integer ALine,
                                       const TXANPasStackFramesRef& ACallStack);

    // Builds the snapshot, marks the thread as in a break for every machine in it (nothing
    // stops and no step is armed while the host evaluates), and calls DoVMBreak.
    TXANVMResumeKind Break(TXANVMBreakKind AKind, TXANVirtMachine& AVM, plat::Integer ALine,
                           TXANThread& AThread) override;
};

}  // namespace xan
