// Code generation of Pascal expressions.
#include "lang/pascal/PasExpressions.h"
#include "platform/core/Assert.h"

namespace xan::pas {

using enum TXANUnaryOp;
using enum TXANBinaryOp;

namespace {

constexpr const char* kUnit = "XANSctPasCompiler";

TXANInstrCode PlainBinaryInstr(TXANBinaryOp AOp) {
    switch (AOp) {
        case bopGreater: return icGreater;
        case bopGreaterEqual: return icGreaterEqual;
        case bopEqual: return icEqual;
        case bopLess: return icLess;
        case bopLessEqual: return icLessEqual;
        case bopNotEqual: return icNotEqual;
        case bopIn: return icIn;
        case bopIs: return icIs;
        case bopPlus: return icPlus;
        case bopMinus: return icMinus;
        case bopXor: return icXor;
        case bopMultiply: return icMultiply;
        case bopDivide: return icDivide;
        case bopDiv: return icIntDiv;
        case bopMod: return icMod;
        case bopShl: return icShl;
        case bopShr: return icShr;
        case bopOr:
        case bopAnd: break;
    }
    plat::AssertFailed(kUnit, "binary operator outside the enumeration", __FILE__, __LINE__);
}

}  // namespace

// ---- Entry points ----------------------------------------------------------------------------

void TXANExpression::Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) {
    TXANContext c;
    c.Code = AByteCode;
    c.CurNamespace = ANamespace;
    EmitByteCode(c, erStack);
}

void TXANExpression::EmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    bool pending = true;
    DoEmitByteCode(C, AEmitRes, pending, AJmpLabel);
    if (!pending) return;
    switch (AEmitRes) {
        case erNoRes: C.Code->Emit(icPop); break;
        case erStack: break;
        case erPopJmpIfTrue: C.Code->Emit(icPopJmpIfTrue, AJmpLabel); break;
        case erPopJmpIfFalse: C.Code->Emit(icPopJmpIfFalse, AJmpLabel); break;
    }
}

bool TXANExpression::EmitRefByteCode(TXANContext& C) {
    TXANSourcePosScope position(C.Code, FSourcePos);
    return DoEmitRefByteCode(C);
}

// ---- Simple expressions ------------------------------------------------------------------------

void TXANLiteral::DoEmitByteCode(TXANContext& C, TXANExprEmitRes, bool&, TXANLabel*) {
    if (FValue.VType == plat::varInteger && FValue.VInteger == 0)
        C.Code->Emit(icPush0);
    else
        C.Code->Emit(icPushLiteral, C.Code->AddLiteral(FValue));
}

void TXANUnaryExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) {
    // 'not' under a conditional jump costs nothing: the operand jumps on the opposite value.
    if (FOperator == uopNot && (AEmitRes == erPopJmpIfTrue || AEmitRes == erPopJmpIfFalse)) {
        FExpr->EmitByteCode(C, AEmitRes == erPopJmpIfTrue ? erPopJmpIfFalse : erPopJmpIfTrue, AJmpLabel);
        AValuePending = false;
        return;
    }
    FExpr->EmitByteCode(C, erStack);
    C.Code->Emit(FOperator == uopPlus ? icUnaryPlus : FOperator == uopMinus ? icUnaryMinus : icUnaryNot);
}

void TXANBinaryExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) {
    if (FOperator == bopOr || FOperator == bopAnd) {
        // Short-circuit: the right operand is not evaluated when the left one decides.
        const bool isOr = FOperator == bopOr;
        if (AEmitRes == erStack) {
            TXANLabel* done = C.Code->CreateLabel();
            FLeftExpr->EmitByteCode(C, erStack);
            C.Code->Emit(isOr ? icJmpIfTrue : icJmpIfFalse, done);
            C.Code->Emit(icPop);
            FRightExpr->EmitByteCode(C, erStack);
            C.Code->BindLabel(done);
            return;
        }
        const TXANExprEmitRes deciding = isOr ? erPopJmpIfTrue : erPopJmpIfFalse;
        TXANLabel* label = AEmitRes == deciding ? AJmpLabel : C.Code->CreateLabel();
        FLeftExpr->EmitByteCode(C, deciding, label);
        FRightExpr->EmitByteCode(C, AEmitRes, AJmpLabel);
        if (label != AJmpLabel) C.Code->BindLabel(label);
        AValuePending = false;
        return;
    }
    FLeftExpr->EmitByteCode(C, erStack);
    FRightExpr->EmitByteCode(C, erStack);
    if (AEmitRes == erPopJmpIfTrue && (FOperator == bopEqual || FOperator == bopNotEqual)) {
        C.Code->Emit(FOperator == bopEqual ? icPopJmpIfEqual : icPopJmpIfNotEqual, AJmpLabel);
        AValuePending = false;
        return;
    }
    C.Code->Emit(PlainBinaryInstr(FOperator));
}

void TXANPasSetExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes, bool&, TXANLabel*) {
    C.Code->Emit(icPush0);  // the empty set
    for (const auto& element : FSetElements) {
        TXANSourcePosScope position(C.Code, element->FSourcePos);
        element->FLeftExpr->EmitByteCode(C, erStack);
        if (element->FRightExpr) {
            element->FRightExpr->EmitByteCode(C, erStack);
            C.Code->Emit(icAddRangeToSet);
        } else {
            C.Code->Emit(icAddValToSet);
        }
    }
}

void TXANArrayExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes, bool&, TXANLabel*) {
    for (const auto& dim : FArrayDims) {
        TXANSourcePosScope position(C.Code, dim->FSourcePos);
        dim->FLeftExpr->EmitByteCode(C, erStack);
        dim->FRightExpr->EmitByteCode(C, erStack);
    }
    C.Code->Emit(icArrayCreate, C.Code->AddArray(static_cast<std::int32_t>(FArrayDims.size()), FElemVarType));
}

void TXANEventMakeExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes, bool&, TXANLabel*) {
    C.Code->Emit(icEventHandlerMake, C.Code->Adopt(std::make_unique<plat::UString>(FStrProcName)));
}

// ---- Designators -------------------------------------------------------------------------------

void TXANDesignatorExpr::EmitUse(TXANContext& C, TXANDesignatorUse AUse, TXANExpression* AValue) {
    const TXANCallJumps jumps{C.CurEBC.ExitL, C.CurEBC.BreakL, C.CurEBC.ContinueL};
    XANEmitDesignator(C, FItems, AUse, jumps, AValue);
}

void TXANDesignatorExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool&, TXANLabel*) {
    if (AEmitRes == erNoRes) FItems.back()->FIsResultUsed = false;
    EmitUse(C, TXANDesignatorUse::Value, nullptr);
}

bool TXANDesignatorExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitUse(C, TXANDesignatorUse::Ref, nullptr);
    return true;
}

// Emitted at the assignment statement's position (its ':='), not the designator's.
void TXANDesignatorExpr::EmitAssign(TXANContext& C, TXANExpression& AValue) { EmitUse(C, TXANDesignatorUse::Assign, &AValue); }

}  // namespace xan::pas
