#include "vm/TryEmit.h"

namespace xan {

namespace {

std::uintptr_t Slot(std::int32_t AIndex) { return static_cast<std::uintptr_t>(AIndex); }

}  // namespace

void XANEmitJumpOrReturn(TXANByteCode& ACode, TXANLabel* ATarget) {
    if (ATarget)
        ACode.Emit(icJump, ATarget);
    else
        ACode.Emit(icRet);
}

TXANTry* XANBeginFinallyBlock(TXANByteCode& ACode) {
    TXANTry* block = ACode.BeginProtectedBlock();
    block->FFinallyLabel = ACode.CreateLabel();
    block->FHandlerLabel = ACode.CreateLabel();
    block->FFinallyRetVar = ACode.AddLocalVar();
    XANAddExceptionSlots(ACode, block);
    return block;
}

void XANAddExceptionSlots(TXANByteCode& ACode, TXANTry* ABlock) { ABlock->FExceptionVar = ACode.AddLocalVarArray(2); }

void XANEmitExceptLeavePad(TXANByteCode& ACode, TXANLabel* APad, TXANLabel* ATarget) {
    if (!APad) return;
    ACode.BindLabel(APad);
    ACode.Emit(icExceptDone);
    XANEmitJumpOrReturn(ACode, ATarget);
}

void XANEmitFinallyLeavePad(TXANByteCode& ACode, TXANTry* ABlock, TXANLabel* APad, TXANLabel* AReturn,
                            TXANLabel* ATarget) {
    if (!APad) return;
    ACode.BindLabel(APad);
    ACode.Emit(icCallFinally, ABlock);
    ACode.BindLabel(AReturn);
    XANEmitJumpOrReturn(ACode, ATarget);
}

void XANEmitFinallyTail(TXANByteCode& ACode, TXANTry* ABlock, TXANAbstractNamespace* ANamespace,
                        TXANLabel* ARaiseLeave, TXANLabel* AEnd, std::initializer_list<TXANLabel*> AReturns) {
    ACode.BindLabel(ARaiseLeave);
    ACode.Emit(icRaiseEBCFromFinally);
    ACode.BindLabel(ABlock->FHandlerLabel);
    ACode.Emit(icSetNamespace, ANamespace);
    ACode.Emit(icCallFinally, ABlock);
    ACode.Emit(isReraise, Slot(ABlock->FExceptionVar));
    ACode.BindLabel(AEnd);
    for (TXANLabel* r : AReturns)
        if (r) ABlock->AddKnownFinallyRet(r);
}

void XANEmitCatchBinding(TXANByteCode& ACode, TXANTry* ABlock, std::int32_t ASlot) {
    ACode.Emit(icExceptToVar, Slot(ABlock->FExceptionVar));
    ACode.Emit(icAssignLocalVar, Slot(ASlot));
}

}  // namespace xan
