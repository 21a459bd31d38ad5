// Code generation of VBScript-dialect statements (Try statements: VbCodeGenTry.cpp).
#include "lang/vb/VbProcDecl.h"
#include "lang/vb/VbStatements.h"
#include "platform/core/Assert.h"
#include "vm/compiler/TryEmit.h"

namespace xan::vb {

using enum TXANVbExitType;
using enum TXANVbLoopType;
using enum TXANVbConditionCheck;

namespace {

constexpr const char* kUnit = "XANSctVbCompiler";

TXANNameSearchRes CompileTimeFind(TXANContext& C, plat::Integer AName) {
    return C.CurNamespace ? C.CurNamespace->CompileTimeFind(AName) : TXANNameSearchRes::NotFound();
}

// Array bounds run from 0 to each given value.
void EmitDims(TXANContext& C, const TXANVbExpressionList& ADims) {
    for (const auto& dim : ADims) {
        C.Code->Emit(icPush0);
        dim->EmitByteCode(C, erStack);
    }
}

std::int32_t DimCount(const TXANVbExpressionList& ADims) { return static_cast<std::int32_t>(ADims.size()); }

}  // namespace

void TXANVbExpressionStmt::DoEmitByteCode(TXANContext& C) { FExpr->EmitByteCode(C, erNoRes); }

void TXANVbCallStmt::DoEmitByteCode(TXANContext& C) {
    // Call Foo calls like Foo(): with an empty argument list.
    if (!FDesignator->LastItem().HasArgList()) FDesignator->LastItem().FBracketType = bkVbRound;
    FDesignator->EmitByteCode(C, erNoRes);
}

void TXANVbAssignmentStmt::DoEmitByteCode(TXANContext& C) {
    FLeftExpr->EmitAssign(C, *FRightExpr);
}

void TXANVbEraseStmt::DoEmitByteCode(TXANContext& C) {
    FExpr->EmitRefByteCode(C);
    C.Code->Emit(icPushUnassigned);
    C.Code->Emit(icAssignLValue);
}

void TXANVbDimStmt::DoEmitByteCode(TXANContext& C) {
    for (const auto& decl : FVarDecls) EmitDecl(C, *decl);
}

void TXANVbDimStmt::EmitDecl(TXANContext& C, TXANVbDimVarDecl& ADecl) {
    TXANByteCode& code = *C.Code;
    TXANSourcePosScope position(&code, ADecl.FSourcePos);
    if (ADecl.FIsArray) {
        if (ADecl.FArrayDims.empty()) {
            code.Emit(icPushUnassigned);  // Dim a() leaves a empty until ReDim
        } else {
            EmitDims(C, ADecl.FArrayDims);
            code.Emit(icArrayCreate, code.AddArray(DimCount(ADecl.FArrayDims), ADecl.FElemType));
        }
    } else if (ADecl.FIniter) {
        ADecl.FIniter->EmitByteCode(C, erStack);
    } else {
        return;
    }
    if (auto* local = dynamic_cast<TXANVbLocalVarDecl*>(ADecl.FVar)) {
        code.Emit(icAssignLocalVar, static_cast<std::uintptr_t>(local->FIndex));
        return;
    }
    auto* global = dynamic_cast<TXANVarObject*>(ADecl.FVar);
    XAN_ASSERT(kUnit, global != nullptr);
    code.Emit(icAssignGlobalVar, global);
}

void TXANVbRedimStmt::DoEmitByteCode(TXANContext& C) {
    for (const auto& decl : FVarDecls) EmitDecl(C, *decl);
}

void TXANVbRedimStmt::EmitDecl(TXANContext& C, TXANVbRedimVarDecl& ADecl) {
    TXANByteCode& code = *C.Code;
    TXANSourcePosScope position(&code, ADecl.FSourcePos);
    const std::int32_t dims = DimCount(ADecl.FArrayDims);
    const TXANNameSearchRes var = CompileTimeFind(C, ADecl.FVarExpr->FItems[0]->FName);
    if (var.ObjKind == srLocalVar) {
        TXANArrayRedim* redim = code.AddArrayRedim(dims, ADecl.FElemType, FPreserve, var.LocalVarIndex);
        EmitDims(C, ADecl.FArrayDims);
        code.Emit(icArrayRedimLocal, redim);
        return;
    }
    TXANArrayRedim* redim = code.AddArrayRedim(dims, ADecl.FElemType, FPreserve);
    ADecl.FVarExpr->EmitRefByteCode(C);
    EmitDims(C, ADecl.FArrayDims);
    code.Emit(icArrayRedimLValue, redim);
}

void TXANVbIfStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* falseLabel = nullptr;
    TXANLabel* end = nullptr;
    for (std::size_t i = 0; i < FBlocks.size(); ++i) {
        TXANVbIfBlock& block = *FBlocks[i];
        if (falseLabel) code.BindLabel(falseLabel);
        falseLabel = code.CreateLabel();
        // Each ElseIf condition is a breakable position of its own.
        TXANSourcePosScope position(&code, block.FSourcePos);
        code.SetNextInstrBreakable();
        block.FCondition->EmitByteCode(C, erPopJmpIfFalse, falseLabel);
        block.FStmtList.EmitByteCode(C);
        if (!FElseStmtList.Empty() || i + 1 < FBlocks.size()) {
            if (!end) end = code.CreateLabel();
            code.Emit(icJump, end);
        }
    }
    if (falseLabel) code.BindLabel(falseLabel);
    FElseStmtList.EmitByteCode(C);
    if (end) code.BindLabel(end);
}

void TXANVbForStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANExitScope exits(C);
    TXANLabel* forEnd = code.CreateLabel();
    C.CurExits.ForL = forEnd;
    TXANLabel* body = code.CreateLabel();
    TXANLabel* test = code.CreateLabel();
    const bool hasStep = FStepExpr != nullptr;
    const TXANNameSearchRes var = CompileTimeFind(C, FVarExpr->FItems[0]->FName);
    TXANFor* loop;
    if (var.ObjKind == srLocalVar) {
        loop = code.AddFor(body, var.LocalVarIndex, hasStep);
        FFromExpr->EmitByteCode(C, erStack);
        code.Emit(icForInitLocal, loop);
    } else {
        loop = code.AddFor(body, hasStep);
        FVarExpr->EmitRefByteCode(C);
        FFromExpr->EmitByteCode(C, erStack);
        code.Emit(icForInitLValue, loop);
    }
    // The final value and the step are evaluated once, before the first test.
    FToExpr->EmitByteCode(C, erStack);
    code.Emit(icAssignLocalVar, static_cast<std::uintptr_t>(loop->FToVar));
    if (hasStep) {
        FStepExpr->EmitByteCode(C, erStack);
        code.Emit(icAssignLocalVar, static_cast<std::uintptr_t>(loop->FStepVar));
    }
    code.Emit(icJump, test);
    code.BindLabel(body);
    FStmts.EmitByteCode(C);
    code.Emit(hasStep ? icForIncStep : icForInc, loop);
    code.BindLabel(test);
    code.SetNextInstrBreakable();
    code.Emit(hasStep ? icForJmpStep : icForJmpIfLE, loop);
    code.BindLabel(forEnd);
}

void TXANVbDoLoopStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* test = code.CreateLabel();
    TXANLabel* body = code.CreateLabel();
    TXANExitScope exits(C);
    TXANLabel* doEnd = code.CreateLabel();
    C.CurExits.DoL = doEnd;
    if (FCondCheck == ccBeforeStmts) code.Emit(icJump, test);
    code.BindLabel(body);
    FStmts.EmitByteCode(C);
    code.BindLabel(test);
    if (FCondCheck == ccNoCondition) {
        code.Emit(icJump, body);
    } else {
        code.SetNextInstrBreakable();
        FExpr->EmitByteCode(C, FLoopType == ltWhile ? erPopJmpIfTrue : erPopJmpIfFalse, body);
    }
    code.BindLabel(doEnd);
}

void TXANVbSelectStmt::DoEmitByteCode(TXANContext& C) {
    TXANByteCode& code = *C.Code;
    TXANLabel* end = code.CreateLabel();
    TXANLabel* elseLabel = code.CreateLabel();
    std::vector<TXANLabel*> targets;
    for (std::size_t i = 0; i < FSelectors.size(); ++i) targets.push_back(code.CreateLabel());
    // The selector stays on the stack while the labels are tested; the first match wins.
    FExpr->EmitByteCode(C, erStack);
    for (std::size_t i = 0; i < FSelectors.size(); ++i) {
        TXANSourcePosScope position(&code, FSelectors[i]->FSourcePos);
        for (const auto& label : FSelectors[i]->FLabels) {
            label->EmitByteCode(C, erStack);
            code.Emit(icCaseJmpIfEqual, targets[i]);
        }
    }
    code.Emit(icPop);
    code.Emit(icJump, elseLabel);
    for (std::size_t i = 0; i < FSelectors.size(); ++i) {
        code.BindLabel(targets[i]);
        FSelectors[i]->FStmts.EmitByteCode(C);
        code.Emit(icJump, end);
    }
    code.BindLabel(elseLabel);
    FElseStmts.EmitByteCode(C);
    code.BindLabel(end);
}

void TXANVbExitStmt::DoEmitByteCode(TXANContext& C) {
    switch (FExitType) {
        case etFor:
            XAN_ASSERT(kUnit, C.CurExits.ForL != nullptr);
            C.Code->Emit(icJump, C.CurExits.ForL);
            break;
        case etDo:
            XAN_ASSERT(kUnit, C.CurExits.DoL != nullptr);
            C.Code->Emit(icJump, C.CurExits.DoL);
            break;
        case etFunction:
        case etSub: XANEmitJumpOrReturn(*C.Code, C.CurExits.ProcL); break;
    }
}

void TXANVbReturnStmt::DoEmitByteCode(TXANContext& C) {
    if (FExpr) {
        FExpr->EmitByteCode(C, erStack);
        C.Code->Emit(icAssignResult);
    }
    XANEmitJumpOrReturn(*C.Code, C.CurExits.ProcL);
}

void TXANVbThrowStmt::DoEmitByteCode(TXANContext& C) {
    if (FExpr) {
        FExpr->EmitByteCode(C, erStack);
        C.Code->Emit(icRaise);
        return;
    }
    XAN_ASSERT(kUnit, C.CurReraise != nullptr);
    C.Code->Emit(isReraise, static_cast<std::uintptr_t>(C.CurReraise->FExceptionVar));
}

}  // namespace xan::vb
