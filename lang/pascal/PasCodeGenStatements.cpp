// Code generation of Pascal statements (try statements: PasCodeGenTry.cpp).
#include "lang/pascal/PasNamespaces.h"
#include "lang/pascal/PasStatements.h"
#include "platform/core/Assert.h"

namespace xan::pas {

using enum TXANForCounterKind;

namespace {

// Loops give Break and Continue new targets and restore the outer ones when they end.
class TXANLoopTargets {
public:
    TXANLoopTargets(TXANContext& C, TXANLabel* ABreak, TXANLabel* AContinue) : FContext(C), FSaved(C.CurEBC) {
        C.CurEBC.BreakL = ABreak;
        C.CurEBC.ContinueL = AContinue;
    }
    TXANLoopTargets(const TXANLoopTargets&) = delete;
    TXANLoopTargets& operator=(const TXANLoopTargets&) = delete;
    ~TXANLoopTargets() { FContext.CurEBC = FSaved; }

private:
    TXANContext& FContext;
    TXANEBC FSaved;
};

}  // namespace

void TXANStatement::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    TXANContext c;
    c.Code = AByteCode;
    c.CurNamespace = ANamespace;
    EmitByteCode(c);
}

void TXANStatement::EmitByteCode(TXANContext& C) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    C.Code->SetNextInstrBreakable();
    DoEmitByteCode(C);
}

void TXANStmtList::EmitByteCode(TXANContext& C) {
    for (const TXANStatementPtr& stmt : FItems) stmt->EmitByteCode(C);
}

void TXANPasEmptyStmt::DoEmitByteCode(TXANContext& C) { C.Code->ManualResetNextInstrBreakable(); }

void TXANCompound::DoEmitByteCode(TXANContext& C) { FStmtList.EmitByteCode(C); }

void TXANAssignmentStmt::DoEmitByteCode(TXANContext& C) { FLeftExpr->EmitAssign(C, *FRightExpr); }

void TXANExpressionStmt::DoEmitByteCode(TXANContext& C) { FExpr->EmitByteCode(C, erNoRes); }

void TXANIfStmt::DoEmitByteCode(TXANContext& C) {
    TXANLabel* afterThen = C.Code->CreateLabel();
    FIfExpr->EmitByteCode(C, erPopJmpIfFalse, afterThen);
    FThenStmt->EmitByteCode(C);
    if (!FElseStmt) {
        C.Code->BindLabel(afterThen);
        return;
    }
    TXANLabel* end = C.Code->CreateLabel();
    C.Code->Emit(icJump, end);
    C.Code->BindLabel(afterThen);
    FElseStmt->EmitByteCode(C);
    C.Code->BindLabel(end);
}

void TXANCaseStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    std::vector<TXANLabel*> targets;
    TXANLabel* elseLabel = code.CreateLabel();
    TXANLabel* end = code.CreateLabel();
    FCaseExpr->EmitByteCode(C, erStack);
    // The first matching label in source order wins.
    for (const auto& selector : FSelectors) {
        targets.push_back(code.CreateLabel());
        for (const auto& label : selector->FLabels) {
            TXANSourcePosScope position(&code, label->FSourcePos);
            label->FFirstExpr->EmitByteCode(C, erStack);
            if (label->FSecondExpr) {
                label->FSecondExpr->EmitByteCode(C, erStack);
                code.Emit(icCaseJmpIfInRange, targets.back());
            } else {
                code.Emit(icCaseJmpIfEqual, targets.back());
            }
        }
    }
    code.Emit(icPop);
    code.Emit(icJump, elseLabel);
    for (std::size_t i = 0; i < FSelectors.size(); ++i) {
        code.BindLabel(targets[i]);
        FSelectors[i]->FStmt->EmitByteCode(C);
        code.Emit(icJump, end);
    }
    code.BindLabel(elseLabel);
    FElseStmts.EmitByteCode(C);
    code.BindLabel(end);
}

void TXANRepeatStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* top = code.CreateLabel();
    TXANLabel* breakL = code.CreateLabel();
    TXANLabel* continueL = code.CreateLabel();
    code.BindLabel(top);
    {
        TXANLoopTargets loop(C, breakL, continueL);
        FStmtList.EmitByteCode(C);
    }
    code.BindLabel(continueL);
    code.SetNextInstrBreakable();
    FRepeatExpr->EmitByteCode(C, erPopJmpIfFalse, top);
    code.BindLabel(breakL);
}

void TXANWhileStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* body = code.CreateLabel();
    TXANLabel* cond = code.CreateLabel();
    TXANLabel* breakL = code.CreateLabel();
    code.Emit(icJump, cond);
    code.BindLabel(body);
    {
        TXANLoopTargets loop(C, breakL, cond);
        FStmt->EmitByteCode(C);
    }
    code.BindLabel(cond);
    code.SetNextInstrBreakable();
    FWhileExpr->EmitByteCode(C, erPopJmpIfTrue, body);
    code.BindLabel(breakL);
}

void TXANForStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* body = code.CreateLabel();
    TXANLabel* test = code.CreateLabel();
    TXANLabel* breakL = code.CreateLabel();
    TXANLabel* continueL = code.CreateLabel();
    const TXANNameSearchRes var = C.CurNamespace ? C.CurNamespace->CompileTimeFind(FVarExpr->FItems[0]->FName)
                                                 : TXANNameSearchRes::NotFound();
    TXANFor* loop;
    if (var.ObjKind == srLocalVar) {
        loop = code.AddFor(body, var.LocalVarIndex, false);
        FFromExpr->EmitByteCode(C, erStack);
        code.Emit(icForInitLocal, loop);
    } else {
        loop = code.AddFor(body, false);
        FVarExpr->EmitRefByteCode(C);
        FFromExpr->EmitByteCode(C, erStack);
        code.Emit(icForInitLValue, loop);
    }
    // The final value is evaluated once, before the first test.
    FToExpr->EmitByteCode(C, erStack);
    code.Emit(icAssignLocalVar, static_cast<std::uintptr_t>(loop->FToVar));
    code.Emit(icJump, test);
    code.BindLabel(body);
    {
        TXANLoopTargets targets(C, breakL, continueL);
        FStmt->EmitByteCode(C);
    }
    code.BindLabel(continueL);
    code.Emit(FCounterKind == ckTo ? icForInc : icForDec, loop);
    code.BindLabel(test);
    code.SetNextInstrBreakable();
    code.Emit(FCounterKind == ckTo ? icForJmpIfLE : icForJmpIfGE, loop);
    code.BindLabel(breakL);
}

void TXANRaiseStmt::DoEmitByteCode(TXANContext& C) {
    if (FExpr) {
        FExpr->EmitByteCode(C, erStack);
        C.Code->Emit(icRaise);
        return;
    }
    XAN_ASSERT("XANSctPasCompiler", C.CurReraise != nullptr);
    C.Code->Emit(isReraise, static_cast<std::uintptr_t>(C.CurReraise->FExceptionVar));
}

}  // namespace xan::pas
