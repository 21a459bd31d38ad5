// Code generation of VBScript-dialect expressions: operators, literals and designator chains.
#include <vector>

#include "lang/vb/VbExpressions.h"
#include "platform/core/Assert.h"

namespace xan::vb {

using enum TXANVbUnaryOp;
using enum TXANVbBinaryOp;

namespace {

constexpr const char* kUnit = "XANSctVbCompiler";
// Deep enough for any condition written by hand; deeper chains jump on their value instead.
constexpr int kMaxJumpNesting = 64;

TXANInstrCode PlainBinaryInstr(TXANVbBinaryOp AOp) {
    switch (AOp) {
        case boPlus: return icPlus;
        case boMinus: return icMinus;
        case boMult: return icMultiply;
        case boDivide: return icDivide;
        case boIntDivide: return icIntDiv;
        case boImp: return icImp;
        case boEqv: return icEqv;
        case boXor: return icXor;
        case boGreater: return icGreater;
        case boGreaterEqual: return icGreaterEqual;
        case boLess: return icLess;
        case boLessEqual: return icLessEqual;
        case boEqual: return icEqual;
        case boNotEqual: return icNotEqual;
        case boStrConcat: return icStrConcat;
        case boMod: return icMod;
        case boExp: return icPower;
        case boIs: return icRefEqual;
        case boIsNot: return icRefNotEqual;
        case boTypeOfIs: return icIs;
        case boOr:
        case boAnd: break;
    }
    plat::AssertFailed(kUnit, "binary operator without a plain instruction", __FILE__, __LINE__);
}

bool IsBooleanLiteral(const plat::Variant& AValue, bool AWanted) {
    return AValue.VType == plat::varBoolean && (AValue.VBoolean != 0) == AWanted;
}

}  // namespace

void TXANVbLiteralExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                                       bool& AHandled) {
    // A constant condition decides at compile time: the jump is unconditional.
    if ((AEmitRes == erPopJmpIfTrue && IsBooleanLiteral(FValue, true)) ||
        (AEmitRes == erPopJmpIfFalse && IsBooleanLiteral(FValue, false))) {
        C.Code->Emit(icJump, AJmpLabel);
        AHandled = false;
        return;
    }
    if (FValue.VType == plat::varInteger && FValue.VInteger == 0)
        C.Code->Emit(icPush0);
    else if (FValue.VType == plat::varEmpty)
        C.Code->Emit(icPushUnassigned);
    else
        C.Code->Emit(icPushLiteral, C.Code->AddLiteral(FValue));
}

void TXANVbUnaryOpExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                                       bool& AHandled) {
    // Not under a conditional jump costs nothing: the operand jumps on the opposite value.
    if (FOpType == uoNot && (AEmitRes == erPopJmpIfTrue || AEmitRes == erPopJmpIfFalse)) {
        FOperand->EmitByteCode(C, AEmitRes == erPopJmpIfTrue ? erPopJmpIfFalse : erPopJmpIfTrue, AJmpLabel);
        AHandled = false;
        return;
    }
    FOperand->EmitByteCode(C, erStack);
    C.Code->Emit(FOpType == uoPlus ? icUnaryPlus : FOpType == uoMinus ? icUnaryMinus : icUnaryNot);
}

void TXANVbBinaryOpExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                                        bool& AHandled) {
    if (AEmitRes != erStack && C.JumpNesting < kMaxJumpNesting && EmitJumpForm(C, AEmitRes, AJmpLabel)) {
        AHandled = false;
        return;
    }
    EmitValueChain(C);
}

// The forms that realise a mode other than the value themselves: Or and And with short circuit,
// = and <> jumping straight on a match. False when the operator has no such form.
bool TXANVbBinaryOpExpr::EmitJumpForm(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel) {
    const bool isOr = FOpType == boOr;
    if (isOr || FOpType == boAnd) {
        ++C.JumpNesting;
        const TXANExprEmitRes deciding = isOr ? erPopJmpIfTrue : erPopJmpIfFalse;
        TXANLabel* label = AEmitRes == deciding ? AJmpLabel : C.Code->CreateLabel();
        FLeftExpr->EmitByteCode(C, deciding, label);
        FRightExpr->EmitByteCode(C, AEmitRes, AJmpLabel);
        if (label != AJmpLabel) C.Code->BindLabel(label);
        --C.JumpNesting;
        return true;
    }
    if (AEmitRes == erPopJmpIfTrue && (FOpType == boEqual || FOpType == boNotEqual)) {
        FLeftExpr->EmitByteCode(C, erStack);
        FRightExpr->EmitByteCode(C, erStack);
        C.Code->Emit(FOpType == boEqual ? icPopJmpIfEqual : icPopJmpIfNotEqual, AJmpLabel);
        return true;
    }
    return false;
}

// The value of a left-nested chain such as a & b & c & ... is emitted along the chain in a loop,
// not by recursion: a long chain in the source must not exhaust the native stack.
void TXANVbBinaryOpExpr::EmitValueChain(TXANContext& C) {
    std::vector<TXANVbBinaryOpExpr*> chain{this};
    TXANVbExpression* leftmost = FLeftExpr.get();
    while (auto* inner = dynamic_cast<TXANVbBinaryOpExpr*>(leftmost)) {
        chain.push_back(inner);
        leftmost = inner->FLeftExpr.get();
    }
    leftmost->EmitByteCode(C, erStack);
    for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
        TXANSourcePosScope position(C.Code, (*node)->FSourcePos);
        (*node)->EmitRightOperand(C);
    }
}

// With the left operand's value on the stack: the right operand and the operator. As values, Or
// and And keep the left operand when it decides and do not evaluate the right one.
void TXANVbBinaryOpExpr::EmitRightOperand(TXANContext& C) {
    if (FOpType == boOr || FOpType == boAnd) {
        TXANLabel* done = C.Code->CreateLabel();
        C.Code->Emit(FOpType == boOr ? icJmpIfTrue : icJmpIfFalse, done);
        C.Code->Emit(icPop);
        FRightExpr->EmitByteCode(C, erStack);
        C.Code->BindLabel(done);
        return;
    }
    FRightExpr->EmitByteCode(C, erStack);
    C.Code->Emit(PlainBinaryInstr(FOpType));
}

// ---- Designators -------------------------------------------------------------------------------

// Exit, Break and Continue are statements here, never names a call resolves to: no jump targets.
void TXANVbDesignatorExpr::EmitUse(TXANContext& C, TXANDesignatorUse AUse, TXANVbExpression* AValue,
                                   const TXANVbDesignatorItem* ANewItem) {
    XANEmitDesignator(C, FItems, AUse, TXANCallJumps{}, AValue, ANewItem);
}

void TXANVbDesignatorExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel*, bool&) {
    if (AEmitRes == erNoRes) LastItem().FIsResultUsed = false;
    EmitUse(C, TXANDesignatorUse::Value, nullptr);
}

bool TXANVbDesignatorExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitUse(C, TXANDesignatorUse::Ref, nullptr);
    return true;
}

void TXANVbDesignatorExpr::EmitAssign(TXANContext& C, TXANVbExpression& AValue) {
    EmitUse(C, TXANDesignatorUse::Assign, &AValue);
}

void TXANVbNewExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel*, bool&) {
    if (AEmitRes == erNoRes && &LastItem() != FNewCallItem) LastItem().FIsResultUsed = false;
    EmitUse(C, TXANDesignatorUse::Value, nullptr, FNewCallItem);
}

bool TXANVbNewExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitUse(C, TXANDesignatorUse::Ref, nullptr, FNewCallItem);
    return true;
}

}  // namespace xan::vb
