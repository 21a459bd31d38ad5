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

namespace {

// Direct access to a local variable, a parameter or the result: AUse is 0 for the value, 1 for
// a reference, 2 for an assignment.
bool LocalForm(const TXANNameSearchRes& ARes, int AUse, TXANVbDesignatorExpr::TItemCode& ACode) {
    static constexpr TXANInstrCode local[] = {icPushLocalVar, icPushLocalVarRef, icAssignLocalVar};
    static constexpr TXANInstrCode param[] = {icPushArg, icPushArgRef, icAssignArg};
    static constexpr TXANInstrCode result[] = {icPushResult, icPushResultRef, icAssignResult};
    switch (ARes.ObjKind) {
        case srLocalVar: ACode = {local[AUse], static_cast<std::uintptr_t>(ARes.LocalVarIndex), false}; return true;
        case srParam: ACode = {param[AUse], ARes.ParamInfo.Pack(), false}; return true;
        case srResult: ACode = {result[AUse], 0, false}; return true;
        default: return false;
    }
}

}  // namespace

TXANVbDesignatorExpr::TItemCode TXANVbDesignatorExpr::ItemCode(TXANContext& C, const TXANVbDesignatorItem& AItem,
                                                               std::size_t AIndex, TUse AUseKind) {
    const int use = static_cast<int>(AUseKind);
    TItemCode code{icPush, 0, false};
    // Arguments without parentheses (Foo 1, 2) make a call even where the name is a local:
    // inside function Foo, the statement Foo 5 calls it rather than reading its result.
    if (AIndex == 0 && !AItem.HasArgList() && AItem.FArgs.empty() && C.CurNamespace &&
        LocalForm(C.CurNamespace->CompileTimeFind(AItem.FName), use, code))
        return code;
    static constexpr TXANInstrCode global[] = {icGlobCall, icGlobCallRef, icAssignGlobCall};
    static constexpr TXANInstrCode member[] = {icMemberCall, icMemberCallRef, icAssignMemberCall};
    static constexpr TXANInstrCode unnamed[] = {icUnnamedCall, icUnnamedCallRef, icAssignUnnamedCall};
    const bool assign = AUseKind == TUse::Assign;
    TXANCall* call = C.Code->AddCall(AItem.FName, AItem.FStrName, AItem.FBracketType,
                                     static_cast<std::int32_t>(AItem.FArgs.size()), AIndex > 0, assign,
                                     AItem.FIsResultUsed);
    const TXANInstrCode instr = AIndex == 0 ? global[use] : AItem.IsNamed() ? member[use] : unnamed[use];
    // An assignment call produces no result, so it takes no slot.
    return {instr, reinterpret_cast<std::uintptr_t>(call), !assign, call};
}

void TXANVbDesignatorExpr::EmitChain(TXANContext& C, bool AIsRef, TOnItemArgs AOnItemArgs, void* AArgsData,
                                     TOnItemCode AOnItemCode) {
    std::vector<TItemCode> codes;
    codes.reserve(FItems.size());
    std::uintptr_t resultSlots = 0;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        TItemCode code{icPush, 0, true};
        // An inner item that the next one indexes yields a reference where the whole is one
        // (a(1)(2) passed by reference or stored into), so that a store reaches the inner array.
        const bool last = i + 1 == FItems.size();
        const bool ref = AIsRef && (last || !FItems[i + 1]->IsNamed());
        if (!AOnItemCode || !AOnItemCode(C, *this, i, code)) code = ItemCode(C, *FItems[i], i, ref ? TUse::Ref : TUse::Value);
        codes.push_back(code);
        resultSlots += code.NeedsResultSlot;
    }
    // Each call's result slot lies below its object, so one call's result is the next one's object.
    if (resultSlots > 0) C.Code->Emit(icPush, resultSlots);
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        // A designator argument goes by reference, any other expression by value.
        bool mayBeRef = false;
        for (const auto& arg : FItems[i]->FArgs) mayBeRef |= arg->EmitRefByteCode(C);
        if (AOnItemArgs) AOnItemArgs(C, *this, i, AArgsData);
        else if (codes[i].Call) codes[i].Call->FArgsByValue = !mayBeRef;
        C.Code->Emit(codes[i].Code, codes[i].Data);
    }
}

void TXANVbDesignatorExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel*, bool&) {
    if (AEmitRes == erNoRes) LastItem().FIsResultUsed = false;
    EmitChain(C, false, nullptr, nullptr, nullptr);
}

bool TXANVbDesignatorExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitChain(C, true, nullptr, nullptr, nullptr);
    return true;
}

namespace {

// The construction step of New: an unnamed call that makes the object.
bool NewItemCode(TXANContext& C, TXANVbDesignatorExpr& ADesignator, std::size_t AIndex,
                 TXANVbDesignatorExpr::TItemCode& ACode) {
    const TXANVbDesignatorItem& item = *ADesignator.FItems[AIndex];
    if (&item != static_cast<TXANVbNewExpr&>(ADesignator).FNewCallItem) return false;
    TXANCall* call = C.Code->AddCall(-1, plat::UString(), item.FBracketType,
                                     static_cast<std::int32_t>(item.FArgs.size()), true, false, true);
    ACode = {icNewUnnamedCall, reinterpret_cast<std::uintptr_t>(call), true, call};
    return true;
}

}  // namespace

void TXANVbNewExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel*, bool&) {
    if (AEmitRes == erNoRes && &LastItem() != FNewCallItem) LastItem().FIsResultUsed = false;
    EmitChain(C, false, nullptr, nullptr, NewItemCode);
}

bool TXANVbNewExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitChain(C, true, nullptr, nullptr, NewItemCode);
    return true;
}

}  // namespace xan::vb
