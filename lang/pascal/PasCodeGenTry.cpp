// Code generation of try/except and try/finally: protected blocks, handler code, and the
// landing pads through which Exit, Break and Continue leave a handler or a protected part.
#include "lang/pascal/PasNamespaces.h"
#include "lang/pascal/PasStatements.h"
#include "vm/compiler/TryEmit.h"

namespace xan::pas {

using enum TXANTryStmtType;

namespace {

// The 'on' handlers, each at its own position, and the 'else' part for what none of them matched.
class THandlers final : public TXANHandlerChain {
public:
    THandlers(TXANContext& C, TXANExceptionBlock& ABlock) : FContext(C), FBlock(ABlock) {}

protected:
    std::size_t FilteredCount() const override { return FBlock.FBlocks.size(); }
    THandler Handler(std::size_t AIndex) const override {
        const TXANExceptionSubBlock& handler = *FBlock.FBlocks[AIndex];
        return {handler.FSourcePos, handler.FName, handler.FStrName};
    }
    void EmitFilter(std::size_t AIndex) override { FBlock.FBlocks[AIndex]->FExpr->EmitByteCode(FContext, erStack); }
    void EmitBody(std::size_t AIndex) override { FBlock.FBlocks[AIndex]->FStmt->EmitByteCode(FContext); }
    bool HasCatchAll() const override { return FBlock.FHasElse; }
    std::int32_t CatchAllSourcePos() const override { return FBlock.FElseSourcePos; }
    void EmitCatchAll() override { FBlock.FElseStmtList.EmitByteCode(FContext); }

private:
    TXANContext& FContext;
    TXANExceptionBlock& FBlock;
};

}  // namespace

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
        XANEmitHandlerDone(code, end);
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
    THandlers(C, *FExceptionBlock).Emit(*C.Code, C.CurNamespace, ATry, AEnd);
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
