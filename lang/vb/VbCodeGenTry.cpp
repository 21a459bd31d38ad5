// Code generation of Try statements: the protected block with its Catch clauses inside, the
// Finally part around it, and the landing pads through which the exit statements leave a
// handler or a protected part.
#include "lang/vb/VbLocalNamespace.h"
#include "lang/vb/VbStatements.h"
#include "vm/compiler/TryEmit.h"

namespace xan::vb {

namespace {

TXANLabel* LabelIf(TXANByteCode& ACode, bool ANeeded) { return ANeeded ? ACode.CreateLabel() : nullptr; }

// The Catch clauses with a class filter (and so a variable), then a last catch-all clause for
// what none of them matched; the clauses' code keeps the Try statement's position.
class TCatches final : public TXANHandlerChain {
public:
    TCatches(TXANContext& C, std::vector<std::unique_ptr<TXANVbCatch>>& ACatches)
        : FContext(C), FCatches(ACatches), FFiltered(ACatches.size() - (ACatches.back()->IsCatchAll() ? 1 : 0)) {}

protected:
    std::size_t FilteredCount() const override { return FFiltered; }
    THandler Handler(std::size_t AIndex) const override {
        return {-1, FCatches[AIndex]->FName, FCatches[AIndex]->FStrName};
    }
    void EmitFilter(std::size_t AIndex) override { FCatches[AIndex]->FExpr->EmitByteCode(FContext, erStack); }
    void EmitBody(std::size_t AIndex) override { FCatches[AIndex]->FStmts.EmitByteCode(FContext); }
    bool HasCatchAll() const override { return FFiltered < FCatches.size(); }
    std::int32_t CatchAllSourcePos() const override { return -1; }
    void EmitCatchAll() override { FCatches.back()->FStmts.EmitByteCode(FContext); }

private:
    TXANContext& FContext;
    std::vector<std::unique_ptr<TXANVbCatch>>& FCatches;
    const std::size_t FFiltered;
};

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
    if (FCatches.size() == 1 && FCatches.back()->IsCatchAll()) {
        // Every exception is caught: no filter to test.
        FCatches[0]->FStmts.EmitByteCode(C);
        XANEmitHandlerDone(*C.Code, AEnd);
        return;
    }
    TCatches(C, FCatches).Emit(*C.Code, C.CurNamespace, ATry, AEnd);
}

}  // namespace xan::vb
