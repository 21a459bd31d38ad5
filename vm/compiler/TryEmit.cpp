#include "vm/compiler/TryEmit.h"

namespace xan {

namespace {

std::uintptr_t Slot(std::int32_t AIndex) { return static_cast<std::uintptr_t>(AIndex); }

void AddExceptionSlots(TXANByteCode& ACode, TXANTry* ABlock) { ABlock->FExceptionVar = ACode.AddLocalVarArray(2); }

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
    AddExceptionSlots(ACode, block);
    return block;
}

TXANTry* XANBeginExceptBlock(TXANByteCode& ACode) {
    TXANTry* block = ACode.BeginProtectedBlock();
    block->FHandlerLabel = ACode.CreateLabel();
    AddExceptionSlots(ACode, block);
    return block;
}

void XANEnterExceptHandler(TXANByteCode& ACode, TXANTry* ABlock, TXANLabel* AEnd, TXANAbstractNamespace* ANamespace) {
    ACode.EndProtectedBlock();
    ACode.Emit(icJump, AEnd);
    ACode.BeginExcHdrCode(ABlock);
    ACode.BindLabel(ABlock->FHandlerLabel);
    ACode.Emit(icSetNamespace, ANamespace);
}

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
