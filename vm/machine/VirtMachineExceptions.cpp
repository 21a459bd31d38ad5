// The machine's exception instructions and the routing of an exception that escapes an
// instruction to a handler of the running activation.
#include <memory>

#include "vm/interp/ExceptionState.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

using plat::Variant;

void TXANVirtMachine::ReportPosition(TXANCallStackFrame& AFrame, plat::Exception* E) noexcept {
    const TXANVMSource& source = AFrame.Ctx->Source ? *AFrame.Ctx->Source : FSource;
    try {
        FormatException(source, static_cast<plat::Integer>(AFrame.IP->SourcePos()), E);
    } catch (...) {
        // A failing host handler must not replace the script's exception.
    }
}

PXANInstr TXANVirtMachine::HandleException(TXANThread& AThread, TXANCallStackFrame& AFrame) {
    // From here on this activation owns the exception object.
    plat::Exception* e = plat::TranslateCurrentException();
    // Errors of code the debugger runs during a break are the debugger's, not the host's.
    if (!InBreak(AThread, AFrame)) ReportPosition(AFrame, e);
    const std::int8_t tryIndex = AFrame.IP->TryIndex;
    if (tryIndex >= 0 && FTerminateFlag.load(std::memory_order_relaxed) != 0) {
        TXANTry* block = AFrame.Ctx->Code->TryAt(tryIndex);
        // States whose handler does not enclose this block's handler are finished.
        for (TXANExceptionState* s; (s = TXANExceptionState::Innermost(AFrame)) != nullptr;) {
            if (s->Try->FHdrHierLow <= block->FHdrHierLow && block->FHdrHierLow <= s->Try->FHdrHierHigh) break;
            TXANExceptionState::Pop(AFrame, e);
        }
        try {
            TXANExceptionState::Push(AFrame, AFrame.Stack, block, e);
        } catch (...) {
            delete e;
            throw;
        }
        // A step goes on in the handler.
        if (FDebugger) SetExcStepBPs(AThread, AFrame, block);
        return block->FHandlerLabel->FTarget;
    }
    TXANExceptionState::DropAll(AFrame, e);
    plat::Reraise(e);
}

void TXANVirtMachine::DoRaise(TXANThread&, TXANCallStackFrame& AFrame, Variant& AValue) {
    plat::Exception* e = nullptr;
    if (OnVarToException) OnVarToException(this, AValue, e);
    if (!e) EXANVMRuntime::RaiseError(retCannotRaiseNil);
    if (TXANExceptionState::IsHeld(AFrame, e)) EXANVMRuntime::RaiseError(retCannotRaiseLocked);
    plat::Raise(e);
}

void TXANVirtMachine::DoReraise(TXANThread&, TXANCallStackFrame&, Variant* AState) {
    plat::Reraise(TXANExceptionState::At(AState)->E);
}

bool TXANVirtMachine::DoExceptJmpIfIs(TXANThread&, TXANCallStackFrame& AFrame, TXANExcJump& AJump, Variant& AType) {
    bool matches = false;
    if (OnExceptionIsTest)
        OnExceptionIsTest(this, TXANExceptionState::At(&AFrame.Stack[AJump.FTry->FExceptionVar])->E, AType, matches);
    return matches;
}

void TXANVirtMachine::DoExceptDone(TXANThread&, TXANCallStackFrame& AFrame) { TXANExceptionState::Pop(AFrame); }

void TXANVirtMachine::DoExceptToVar(TXANThread&, TXANCallStackFrame&, Variant* AState, Variant& AResult) {
    AResult.Clear();
    if (OnExceptionToVar) OnExceptionToVar(this, TXANExceptionState::At(AState)->E, AResult);
}

}  // namespace xan
