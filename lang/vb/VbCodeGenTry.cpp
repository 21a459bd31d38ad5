// Code generation of Try statements: the protected block with its Catch clauses inside, the
// Finally part around it, and the landing pads through which the exit statements leave a
// handler or a protected part.
#include "lang/vb/VbLocalNamespace.h"
#include "lang/vb/VbStatements.h"
#include "vm/compiler/TryEmit.h"

namespace xan::vb {

namespace {

TXANLabel* LabelIf(TXANByteCode& ACode, bool ANeeded) { return ANeeded ? ACode.CreateLabel() : nullptr; }

}  // namespace

void TXANVbTryStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    // The Try line has no breakable instruction of its own.
    code.ManualResetNextInstrBreakable();
    if (FFinallyStmts.Empty()) {
        EmitCatches(C);
        return;
    }
    const TXANExitLabels saved = C.CurExits;
    TXANTry* block = XANBeginFinallyBlock(code);
    TXANLabel* rNormal = code.CreateLabel();
    TXANLabel* rProc = code.CreateLabel();
    TXANLabel* rDo = LabelIf(code, saved.DoL);
    TXANLabel* rFor = LabelIf(code, saved.ForL);
    TXANLabel* end = code.CreateLabel();
    const TXANExitLabels pads{code.CreateLabel(), LabelIf(code, saved.ForL), LabelIf(code, saved.DoL)};

    {
        TXANExitScope exits(C);
        C.CurExits = pads;
        EmitCatches(C);
    }
    code.EndProtectedBlock();
    code.Emit(icCallFinally, block);
    code.BindLabel(rNormal);
    code.Emit(icJump, end);

    // An exit statement inside the finally statements is a run-time error.
    code.BeginExcHdrCode(block);
    TXANLabel* raiseExit = code.CreateLabel();
    {
        TXANExitScope exits(C);
        C.CurExits = TXANExitLabels{raiseExit, raiseExit, raiseExit};
        code.BindLabel(block->FFinallyLabel);
        FFinallyStmts.EmitByteCode(C);
        code.Emit(icFinallyRet, block);
    }
    code.EndExcHdrCode(block);

    // Leaving the protected part by an exit statement runs the finally statements first.
    XANEmitFinallyLeavePad(code, block, pads.DoL, rDo, saved.DoL);
    XANEmitFinallyLeavePad(code, block, pads.ForL, rFor, saved.ForL);
    XANEmitFinallyLeavePad(code, block, pads.ProcL, rProc, saved.ProcL);
    // An exception runs the finally statements and propagates.
    XANEmitFinallyTail(code, block, C.CurNamespace, raiseExit, end, {rNormal, rProc, rDo, rFor});
}

void TXANVbTryStmt::EmitCatches(TXANContext& C) {
    if (FCatches.empty()) {
        FTryStmts.EmitByteCode(C);
        return;
    }
    TXANByteCode& code = *C.Code;
    const TXANExitLabels saved = C.CurExits;
    TXANTry* block = XANBeginExceptBlock(code);
    TXANLabel* end = code.CreateLabel();

    FTryStmts.EmitByteCode(C);
    XANEnterExceptHandler(code, block, end, C.CurNamespace);
    const TXANExitLabels pads{code.CreateLabel(), LabelIf(code, saved.ForL), LabelIf(code, saved.DoL)};
    {
        TXANExitScope exits(C);
        C.CurReraise = block;
        C.CurExits = pads;
        EmitHandlers(C, block, end);
    }
    code.EndExcHdrCode(block);

    // Leaving a handler by an exit statement first ends the exception handling.
    XANEmitExceptLeavePad(code, pads.DoL, saved.DoL);
    XANEmitExceptLeavePad(code, pads.ForL, saved.ForL);
    XANEmitExceptLeavePad(code, pads.ProcL, saved.ProcL);
    code.BindLabel(end);
}

void TXANVbTryStmt::EmitHandlers(TXANContext& C, TXANTry* ATry, TXANLabel* AEnd) {
    TXANByteCode& code = *C.Code;
    const bool lastCatchesAll = FCatches.back()->IsCatchAll();
    if (FCatches.size() == 1 && lastCatchesAll) {
        // Every exception is caught: no filter to test.
        FCatches[0]->FStmts.EmitByteCode(C);
        code.Emit(icExceptDone);
        code.Emit(icJump, AEnd);
        return;
    }
    const std::size_t named = FCatches.size() - (lastCatchesAll ? 1 : 0);
    std::vector<TXANLabel*> labels;
    // The filters, in source order: the first matching clause runs.
    for (std::size_t i = 0; i < named; ++i) {
        labels.push_back(code.CreateLabel());
        FCatches[i]->FExpr->EmitByteCode(C, erStack);
        code.Emit(icExceptJmpIfIs, code.AddExcJmp(ATry, labels.back()));
    }
    TXANLabel* noMatch = code.CreateLabel();
    code.Emit(icJump, noMatch);
    for (std::size_t i = 0; i < named; ++i) {
        TXANVbCatch& clause = *FCatches[i];
        const std::int32_t slot = code.AddLocalVar();
        TXANAbstractNamespace* outer = C.CurNamespace;
        C.CurNamespace =
            code.Adopt(std::make_unique<TXANHandlerVarNamespace>(outer, clause.FName, clause.FStrName, slot));
        code.BindLabel(labels[i]);
        code.Emit(icSetNamespace, C.CurNamespace);
        XANEmitCatchBinding(code, ATry, slot);
        clause.FStmts.EmitByteCode(C);
        code.Emit(icSetNamespace, outer);
        C.CurNamespace = outer;
        code.Emit(icExceptDone);
        code.Emit(icJump, AEnd);
    }
    code.BindLabel(noMatch);
    if (lastCatchesAll) {
        FCatches.back()->FStmts.EmitByteCode(C);
        code.Emit(icExceptDone);
        code.Emit(icJump, AEnd);
    } else {
        // An exception no clause matched propagates.
        code.Emit(isReraise, static_cast<std::uintptr_t>(ATry->FExceptionVar));
    }
}

}  // namespace xan::vb
