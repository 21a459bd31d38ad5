#include "vm/interp/ExceptionState.h"

#include "vm/interp/CallStackFrame.h"
#include "vm/interp/SlotOps.h"

namespace xan {

TXANExceptionState* TXANExceptionState::Innermost(const TXANCallStackFrame& AFrame) noexcept {
    return static_cast<TXANExceptionState*>(AFrame.ExcSt);
}

TXANExceptionState* TXANExceptionState::At(const plat::Variant* AStateSlot) noexcept {
    return XANRawAddress<TXANExceptionState>(*AStateSlot);
}

bool TXANExceptionState::IsHeld(const TXANCallStackFrame& AFrame, const plat::Exception* AObj) noexcept {
    for (TXANExceptionState* s = Innermost(AFrame); s; s = s->Prev)
        if (s->E == AObj) return true;
    return false;
}

void TXANExceptionState::Push(TXANCallStackFrame& AFrame, plat::Variant* AStack, TXANTry* ATry, plat::Exception* AObj) {
    plat::Variant* slot = &AStack[ATry->FExceptionVar];
    auto* state = new TXANExceptionState{ATry, AObj, Innermost(AFrame), slot};
    XANSetRawAddress(*slot, state);
    AFrame.ExcSt = state;
}

void TXANExceptionState::Pop(TXANCallStackFrame& AFrame, const plat::Exception* AKeep) noexcept {
    TXANExceptionState* state = Innermost(AFrame);
    if (!state) return;
    AFrame.ExcSt = state->Prev;
    state->Slot->Clear();
    if (state->E != AKeep) delete state->E;
    delete state;
}

void TXANExceptionState::DropAll(TXANCallStackFrame& AFrame, const plat::Exception* AKeep) noexcept {
    while (AFrame.ExcSt) Pop(AFrame, AKeep);
}

}  // namespace xan
