#include "vm/compiler/TryEmit.h"

#include <memory>
#include <optional>
#include <vector>

#include "vm/compiler/CodeGenSupport.h"
#include "vm/compiler/Namespaces.h"

namespace xan {

namespace {

std::uintptr_t Slot(std::int32_t AIndex) { return static_cast<std::uintptr_t>(AIndex); }

// Emits inside ASourcePos, or inside the enclosing position where there is none (-1).
class TOptionalPosScope {
public:
    TOptionalPosScope(TXANByteCode& ACode, std::int32_t ASourcePos) {
        if (ASourcePos >= 0) FScope.emplace(&ACode, ASourcePos);
    }

private:
    std::optional<TXANSourcePosScope> FScope;
};

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

void XANEmitHandlerDone(TXANByteCode& ACode, TXANLabel* AEnd) {
    ACode.Emit(icExceptDone);
    ACode.Emit(icJump, AEnd);
}

void TXANHandlerChain::Emit(TXANByteCode& ACode, TXANAbstractNamespace*& ANamespace, TXANTry* ATry, TXANLabel* AEnd) {
    const std::size_t count = FilteredCount();
    std::vector<TXANLabel*> labels;
    for (std::size_t i = 0; i < count; ++i) {
        TOptionalPosScope position(ACode, Handler(i).SourcePos);
        labels.push_back(ACode.CreateLabel());
        EmitFilter(i);
        ACode.Emit(icExceptJmpIfIs, ACode.AddExcJmp(ATry, labels.back()));
    }
    TXANLabel* noMatch = ACode.CreateLabel();
    ACode.Emit(icJump, noMatch);
    for (std::size_t i = 0; i < count; ++i) {
        TOptionalPosScope position(ACode, Handler(i).SourcePos);
        EmitNamedHandler(ACode, ANamespace, ATry, labels[i], i);
        XANEmitHandlerDone(ACode, AEnd);
    }
    ACode.BindLabel(noMatch);
    if (HasCatchAll()) {
        TOptionalPosScope position(ACode, CatchAllSourcePos());
        EmitCatchAll();
        XANEmitHandlerDone(ACode, AEnd);
    } else {
        ACode.Emit(isReraise, Slot(ATry->FExceptionVar));
    }
}

// A handler without a variable runs in the enclosing namespace.
void TXANHandlerChain::EmitNamedHandler(TXANByteCode& ACode, TXANAbstractNamespace*& ANamespace, TXANTry* ATry,
                                        TXANLabel* ALabel, std::size_t AIndex) {
    const THandler handler = Handler(AIndex);
    if (handler.Name == -1) {
        ACode.BindLabel(ALabel);
        EmitBody(AIndex);
        return;
    }
    const std::int32_t slot = ACode.AddLocalVar();
    TXANAbstractNamespace* outer = ANamespace;
    ANamespace = ACode.Adopt(std::make_unique<TXANHandlerVarNamespace>(outer, handler.Name, handler.StrName, slot));
    ACode.BindLabel(ALabel);
    ACode.Emit(icSetNamespace, ANamespace);
    XANEmitCatchBinding(ACode, ATry, slot);
    EmitBody(AIndex);
    ACode.Emit(icSetNamespace, outer);
    ANamespace = outer;
}

}  // namespace xan
