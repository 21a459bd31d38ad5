// Code generation of try/except and try/finally: protected blocks, handler code, and the
// landing pads through which Exit, Break and Continue leave a handler or a protected part.
#include "lang/pascal/PasNamespaces.h"
#include "lang/pascal/PasStatements.h"
#include "vm/compiler/TryEmit.h"

namespace xan::pas {

using enum TXANTryStmtType;

void TXANTryStmt::DoEmitByteCode(TXANContext& C) {
    // The statements inside carry their own breakable marks.
    C.Code->ManualResetNextInstrBreakable();
    if (FTryStmtType == ttExcept)
        EmitExcept(C);
    else
        EmitFinally(C);
}

void TXANTryStmt::EmitExcept(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    const TXANEBC saved = C.CurEBC;
    const bool inLoop = saved.BreakL != nullptr;
    TXANTry* block = XANBeginExceptBlock(code);
    TXANLabel* end = code.CreateLabel();

    FTryStmtList.EmitByteCode(C);
    XANEnterExceptHandler(code, block, end, C.CurNamespace);
    TXANTry* savedReraise = C.CurReraise;
    C.CurReraise = block;
    TXANEBC pads{code.CreateLabel(), inLoop ? code.CreateLabel() : nullptr, inLoop ? code.CreateLabel() : nullptr};
    C.CurEBC = pads;
    if (FExceptionBlock) {
        EmitHandlers(C, block, end);
    } else {
        // Every exception is caught.
        FExceptStmtList.EmitByteCode(C);
        code.Emit(icExceptDone);
        code.Emit(icJump, end);
    }
    C.CurEBC = saved;
    C.CurReraise = savedReraise;
    code.EndExcHdrCode(block);

    // Leaving a handler by Break, Continue or Exit first ends the handler.
    XANEmitExceptLeavePad(code, pads.BreakL, saved.BreakL);
    XANEmitExceptLeavePad(code, pads.ContinueL, saved.ContinueL);
    XANEmitExceptLeavePad(code, pads.ExitL, saved.ExitL);
    code.BindLabel(end);
}

void TXANTryStmt::EmitHandlers(TXANContext& C, TXANTry* ATry, TXANLabel* AEnd) {
    TXANByteCode& code = *C.Code;
    const auto& handlers = FExceptionBlock->FBlocks;
    std::vector<TXANLabel*> labels;
    // The type tests, in source order: the first matching handler runs.
    for (const auto& handler : handlers) {
        TXANSourcePosScope position(&code, handler->FSourcePos);
        labels.push_back(code.CreateLabel());
        handler->FExpr->EmitByteCode(C, erStack);
        code.Emit(icExceptJmpIfIs, code.AddExcJmp(ATry, labels.back()));
    }
    TXANLabel* elseLabel = code.CreateLabel();
    code.Emit(icJump, elseLabel);
    for (std::size_t i = 0; i < handlers.size(); ++i) {
        TXANExceptionSubBlock& handler = *handlers[i];
        TXANSourcePosScope position(&code, handler.FSourcePos);
        if (handler.FName == -1) {
            code.BindLabel(labels[i]);
            handler.FStmt->EmitByteCode(C);
        } else {
            const std::int32_t slot = code.AddLocalVar();
            TXANAbstractNamespace* outer = C.CurNamespace;
            C.CurNamespace =
                code.Adopt(std::make_unique<TXANHandlerVarNamespace>(outer, handler.FName, handler.FStrName, slot));
            code.BindLabel(labels[i]);
            code.Emit(icSetNamespace, C.CurNamespace);
            XANEmitCatchBinding(code, ATry, slot);
            handler.FStmt->EmitByteCode(C);
            code.Emit(icSetNamespace, outer);
            C.CurNamespace = outer;
        }
        code.Emit(icExceptDone);
        code.Emit(icJump, AEnd);
    }
    code.BindLabel(elseLabel);
    if (FExceptionBlock->FHasElse) {
        TXANSourcePosScope position(&code, FExceptionBlock->FElseSourcePos);
        FExceptionBlock->FElseStmtList.EmitByteCode(C);
        code.Emit(icExceptDone);
        code.Emit(icJump, AEnd);
    } else {
        // An exception no handler matched propagates.
        code.Emit(isReraise, static_cast<std::uintptr_t>(ATry->FExceptionVar));
    }
}

void TXANTryStmt::EmitFinally(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    if (FFinallyStmtList.FItems.empty()) {
        FTryStmtList.EmitByteCode(C);  // nothing to protect it with
        return;
    }
    const TXANEBC saved = C.CurEBC;
    const bool inLoop = saved.BreakL != nullptr;
    TXANTry* block = XANBeginFinallyBlock(code);
    TXANLabel* rNormal = code.CreateLabel();
    TXANLabel* rExit = code.CreateLabel();
    TXANLabel* rBreak = inLoop ? code.CreateLabel() : nullptr;
    TXANLabel* rContinue = inLoop ? code.CreateLabel() : nullptr;
    TXANLabel* end = code.CreateLabel();
    TXANEBC pads{code.CreateLabel(), inLoop ? code.CreateLabel() : nullptr, inLoop ? code.CreateLabel() : nullptr};

    C.CurEBC = pads;
    FTryStmtList.EmitByteCode(C);
    code.EndProtectedBlock();
    code.Emit(icCallFinally, block);
    code.BindLabel(rNormal);
    code.Emit(icJump, end);
    C.CurEBC = saved;

    // Exit, Break and Continue inside the finally statements are run-time errors.
    code.BeginExcHdrCode(block);
    TXANLabel* raiseEBC = code.CreateLabel();
    C.CurEBC = TXANEBC{raiseEBC, raiseEBC, raiseEBC};
    code.BindLabel(block->FFinallyLabel);
    FFinallyStmtList.EmitByteCode(C);
    code.Emit(icFinallyRet, block);
    C.CurEBC = saved;
    code.EndExcHdrCode(block);

    // Leaving the protected part by Break, Continue or Exit runs the finally statements first.
    XANEmitFinallyLeavePad(code, block, pads.BreakL, rBreak, saved.BreakL);
    XANEmitFinallyLeavePad(code, block, pads.ContinueL, rContinue, saved.ContinueL);
    XANEmitFinallyLeavePad(code, block, pads.ExitL, rExit, saved.ExitL);
    // An exception runs the finally statements and propagates.
    XANEmitFinallyTail(code, block, C.CurNamespace, raiseEBC, end, {rNormal, rExit, rBreak, rContinue});
}

}  // namespace xan::pas
