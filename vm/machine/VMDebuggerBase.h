#pragma once
// TXANVMDebuggerBase: what a machine needs from the debugger it is attached to. The machine
// attaches itself in Open and detaches in Close, takes requested breaks, and hands every stop
// to Break; the debugger above the machine (vm/debug) builds the call-stack snapshot there and
// asks its host how to go on.
#include <cstdint>
#include <vector>

#include "platform/core/Sync.h"
#include "platform/core/Types.h"

namespace xan {

class TXANVirtMachine;
class TXANThread;

enum TXANVMBreakKind : std::uint8_t { bkBreakpoint, bkStep, bkCausedBreak };
enum TXANVMResumeKind : std::uint8_t { rkStepOver, rkStepInto, rkContinue, rkIgnore, rkAbort };

class TXANVMDebuggerBase {
public:
    // Takes a debugger id from the machine registry (stepping cells are kept per thread and id).
    TXANVMDebuggerBase();
    TXANVMDebuggerBase(const TXANVMDebuggerBase&) = delete;
    TXANVMDebuggerBase& operator=(const TXANVMDebuggerBase&) = delete;
    virtual ~TXANVMDebuggerBase();

    std::int32_t Id() const noexcept { return FId; }

    // Requests a break in every attached machine; callable from any thread. The next
    // instruction any of them executes traps, and the first trap that finds the request
    // pending takes it.
    void CauseBreak();

    // ---- For the machine ---------------------------------------------------------------------
    void Attach(TXANVirtMachine* AVM);
    void Detach(TXANVirtMachine* AVM);
    // Whether a requested break is pending; ATake clears it (exactly one trap takes it).
    bool BreakRequested(bool ATake);
    // The stop of AVM on AThread (the calling thread) at ALine: answers how to go on. The
    // machine has checked that the thread is not already in a break for AVM.
    virtual TXANVMResumeKind Break(TXANVMBreakKind AKind, TXANVirtMachine& AVM, plat::Integer ALine,
                                   TXANThread& AThread) = 0;

protected:
    std::int32_t FId;
    plat::CriticalSection FSection;   // guards FVMs and FCausingBreak
    std::vector<TXANVirtMachine*> FVMs;
    bool FCausingBreak = false;
};

}  // namespace xan
