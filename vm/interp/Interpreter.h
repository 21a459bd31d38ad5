#pragma once
// TXANInterpreter: runs activations of bytecode. The virtual machine derives from it and fills
// the hook points below (calls, script exceptions, breakpoints, stepping, the host's type test).
//
// Interpret runs one activation in a dispatch loop on the native stack of the calling thread.
// Script procedures it calls run in the same loop (their frames come from the thread's frame
// pool). Every activation's slots come from the thread's slot pool; its frame is linked into
// the thread's call stack for as long as it runs, and is unlinked on every way out, normal or
// by exception.
#include <atomic>
#include <cstdint>

#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/VMBase.h"
#include "vm/interp/CallStackFrame.h"
#include "vm/interp/Thread.h"

namespace xan {

class TXANByteCode;
struct TXANInlineFrame;

// How a global call left the activation's control flow.
struct TXANCallExit {
    // ceEnter: run Code as a script procedure with the call's arguments and result slot (the
    // by-value copies taken), inside the caller's dispatch loop rather than a nested one.
    enum TKind : std::uint8_t { ceNext, ceJump, ceReturn, ceEnter };
    TKind Kind = ceNext;
    union {
        PXANInstr Target = nullptr;  // ceJump: where to continue (the operand stack is emptied)
        TXANByteCode* Code;          // ceEnter
    };

    static TXANCallExit Enter(TXANByteCode* ACode) noexcept {
        TXANCallExit exit;
        exit.Kind = ceEnter;
        exit.Code = ACode;
        return exit;
    }
};

// What to do with the instruction at an icBreak once the break handling has decided.
enum TXANBreakAction : std::uint8_t {
    baRerun,      // run the instruction at the same place again (it is not patched any more,
                  // or the trap came from the terminate flag, which has been restored)
    baRunCovered  // run the covered instruction (given by the hook) and continue after it
};

class TXANInterpreter : public TXANVMBase {
public:
    // Nesting deeper than this raises a runtime error instead of exhausting the native stack.
    static constexpr std::int32_t DefaultMaxDepth = 1000;
    static constexpr std::uint32_t TerminateRunning = 0xFFFFFFFFu;

    TXANInterpreter() = default;

    // Runs the activation to its icRet, or until an exception leaves it.
    void Interpret(TXANThread& AThread, TXANVMInterpretContext& ACtx);

    // All bits set while running normally; 0 makes the next instruction of every activation of this
    // machine trap as icBreak (abort and requested break). Written by any thread.
    std::atomic<std::uint32_t> FTerminateFlag{TerminateRunning};
    std::int32_t FMaxDepth = DefaultMaxDepth;

protected:
    // ---- Hook points. The defaults raise "not supported yet" runtime errors where the
    // ---- instruction needs machinery that lives above the interpreter.

    // icGlobCall / icGlobCallRef (ARef). ATop is the top of the operand stack; the call leaves
    // its result in the result slot (ATop - FResOffset). Exit, Break and Continue answer a jump
    // or a return.
    virtual TXANCallExit DoGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                    plat::Variant* ATop, bool ARef);
    // icMemberCall / icMemberCallRef and icUnnamedCall / icUnnamedCallRef (identical pairs).
    virtual void DoMemberCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop);
    virtual void DoUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall, plat::Variant* ATop);
    // The same as a reference: an element of an array the object slot refers to, so that a
    // store into it (the inner level of a(1)(2) = v) reaches the array.
    virtual void DoUnnamedCallRef(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                  plat::Variant* ATop);
    virtual void DoNewUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                  plat::Variant* ATop);
    // The assignment forms; the value to assign is ATop.
    virtual void DoAssignGlobCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                  plat::Variant* ATop);
    virtual void DoAssignMemberCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                    plat::Variant* ATop);
    virtual void DoAssignUnnamedCall(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANCall& ACall,
                                     plat::Variant* ATop);

    // icRaise (AValue = TOS), isReraise (AState = the exception-state slots), icExceptJmpIfIs
    // (answers whether the exception of AJump.FTry is of type AType), icExceptDone, icExceptToVar.
    virtual void DoRaise(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant& AValue);
    virtual void DoReraise(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant* AState);
    virtual bool DoExceptJmpIfIs(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANExcJump& AJump,
                                 plat::Variant& AType);
    virtual void DoExceptDone(TXANThread& AThread, TXANCallStackFrame& AFrame);
    virtual void DoExceptToVar(TXANThread& AThread, TXANCallStackFrame& AFrame, plat::Variant* AState,
                               plat::Variant& AResult);

    // Called inside the catch block when an exception escapes an instruction (AFrame.IP). Answers
    // the instruction at which this activation continues (a handler; the operand stack is emptied
    // first), or none to let the exception leave the activation. To replace the exception, throw.
    // The default routes nothing: every exception leaves the activation.
    virtual PXANInstr HandleException(TXANThread& AThread, TXANCallStackFrame& AFrame);

    // icBreak at AFrame.IP: a patched breakpoint or a cleared terminate flag. For baRunCovered
    // the hook fills ACovered with the covered instruction's code (its operand and position are
    // taken from AFrame.IP). The default: a cleared flag aborts the script
    // ("Script execution has been aborted.") and leaves the flag cleared, so outer activations
    // stop too; a patched instruction without a breakpoint table is an internal error.
    virtual TXANBreakAction DoBreak(TXANThread& AThread, TXANCallStackFrame& AFrame, std::uint8_t& ACovered);

    // Activation entry (after the frame is linked) and exit (before it is unlinked, on every
    // way out): where stepping arms its breakpoints and resets its base. Defaults do nothing.
    virtual void OnActivationEnter(TXANThread& AThread, TXANCallStackFrame& AFrame);
    virtual void OnActivationLeave(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept;

    // icIs: the host's type test; the default (no host test) answers False.
    virtual bool DoIsTest(const plat::Variant& AObj, const plat::Variant& AType);

    // Whether OnActivationEnter / OnActivationLeave are called. A machine whose hooks do
    // nothing clears it, and every script call saves two virtual calls; a machine whose hooks
    // only matter while a step is armed keeps it set only then. Atomic: the thread that arms
    // a step sets it on every such machine, whatever threads run them.
    std::atomic<bool> FActivationHooks{true};

    bool ActivationHooksDue() const noexcept { return FActivationHooks.load(std::memory_order_relaxed); }

private:
    class TActivation;
    using TCallHook = void (TXANInterpreter::*)(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*);
    // The machine's hook for the call operand of the instruction at AIp, then the operands
    // it took popped (the call's result slot stays, or nothing for an assignment): the new top.
    template <TCallHook Hook, bool Assigns>
    plat::Variant* RunCallHook(TXANThread& AThread, TXANCallStackFrame& AFrame, PXANInstr AIp, plat::Variant* ATop);
    // Links AFrame as the thread's innermost activation of ACtx, with its slots from the pool.
    void EnterFrame(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANVMInterpretContext& ACtx);
    // What every way into an activation shares (ACtx's code and the depth checked by the caller).
    void LinkFrame(TXANThread& AThread, TXANCallStackFrame& AFrame, TXANVMInterpretContext& ACtx,
                   TXANThreadVM* AThreadVM, std::int32_t ADepth, plat::Variant* AStack) noexcept;
    // Unlinks the innermost frame (its slots are the caller's to give back).
    void UnlinkFrame(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept;
    // Unlinks the innermost frame and gives back its pool slots (its operand stack is empty).
    void LeaveFrame(TXANThread& AThread, TXANCallStackFrame& AFrame) noexcept;
    // A script call from ACaller (the innermost frame) entered in its loop: the callee's frame,
    // linked and announced. ACode is checked by the machine that answered the call.
    TXANInlineFrame& EnterInline(TXANThread& AThread, const TXANCallStackFrame& ACaller, TXANByteCode* ACode,
                                 plat::Variant* AArgs, plat::Variant* AResult, plat::Variant* ACallerTop);
    // Ends the inline frame AFrame: answers its caller's frame.
    TXANCallStackFrame* LeaveInline(TXANThread& AThread, TXANCallStackFrame* AFrame) noexcept;
    // Inside a catch block: the handler of the innermost frame, or of the inline callers the
    // exception leaves on its way (their frames are ended). Throws when none above AEntry has one.
    PXANInstr RouteException(TXANThread& AThread, TXANCallStackFrame*& AFrame, const TXANCallStackFrame* AEntry);
    void Run(TXANThread& AThread, TXANCallStackFrame& AEntry);
};

}  // namespace xan
