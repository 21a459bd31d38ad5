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

// How one item of a designator is emitted: a direct local access or a call with its descriptor.
struct TXANDesignatorExpr::TItemCode {
    TXANInstrCode Code;
    std::uintptr_t Data;
    bool NeedsResultSlot;
    TXANCall* Call = nullptr;  // the item's call, unless the item is a direct access
};

namespace {

// Direct access to a local variable, a parameter, the result or a computed constant, by use.
bool DirectAccess(const TXANNameSearchRes& ARes, int AUse /* 0 value, 1 ref, 2 assign */, TXANInstrCode& ACode,
                  std::uintptr_t& AData) {
    static constexpr TXANInstrCode local[] = {icPushLocalVar, icPushLocalVarRef, icAssignLocalVar};
    static constexpr TXANInstrCode param[] = {icPushArg, icPushArgRef, icAssignArg};
    static constexpr TXANInstrCode result[] = {icPushResult, icPushResultRef, icAssignResult};
    switch (ARes.ObjKind) {
        case srLocalVar:
            ACode = local[AUse];
            AData = static_cast<std::uintptr_t>(ARes.LocalVarIndex);
            return true;
        case srParam:
            ACode = param[AUse];
            AData = ARes.ParamInfo.Pack();
            return true;
        case srResult:
            ACode = result[AUse];
            AData = 0;
            return true;
        case srLocalConstSlot:
            // Read as a copy, like any constant; an assignment is left to the run-time refusal.
            if (AUse == 2) return false;
            ACode = icPushLocalVar;
            AData = static_cast<std::uintptr_t>(ARes.LocalVarIndex);
            return true;
        default: return false;
    }
}

}  // namespace

TXANDesignatorExpr::TItemCode TXANDesignatorExpr::ItemCode(TXANContext& C, std::size_t AIndex, TUse AUse) {
    const TXANDesignatorItem& item = *FItems[AIndex];
    const bool last = AIndex + 1 == FItems.size();
    // An inner item yields the next object; where the next item indexes it and the whole is
    // stored into or passed by reference (a[1][2] := v), it yields a reference, so that the
    // store reaches the inner array where it stands rather than a copy.
    const bool indexedNext = !last && !FItems[AIndex + 1]->IsNamed();
    const TUse use = last ? AUse : indexedNext && AUse != TUse::Value ? TUse::Ref : TUse::Value;
    if (AIndex == 0 && item.FBracketType == bkNon && C.CurNamespace) {
        TItemCode direct{icPush, 0, false};
        if (DirectAccess(C.CurNamespace->CompileTimeFind(item.FName), static_cast<int>(use), direct.Code, direct.Data))
            return direct;
    }
    static constexpr TXANInstrCode global[] = {icGlobCall, icGlobCallRef, icAssignGlobCall};
    static constexpr TXANInstrCode member[] = {icMemberCall, icMemberCallRef, icAssignMemberCall};
    static constexpr TXANInstrCode unnamed[] = {icUnnamedCall, icUnnamedCallRef, icAssignUnnamedCall};
    const int u = static_cast<int>(use);
    const TXANInstrCode code = AIndex == 0 ? global[u] : item.IsNamed() ? member[u] : unnamed[u];
    TXANCall* call = C.Code->AddCall(item.FName, item.FStrName, item.FBracketType,
                                     static_cast<std::int32_t>(item.FArgs.size()), AIndex > 0, use == TUse::Assign,
                                     item.FIsResultUsed);
    call->FExitLabel = C.CurEBC.ExitL;
    call->FBreakLabel = C.CurEBC.BreakL;
    call->FContinueLabel = C.CurEBC.ContinueL;
    return {code, reinterpret_cast<std::uintptr_t>(call), use != TUse::Assign, call};
}

void TXANDesignatorExpr::EmitUse(TXANContext& C, TUse AUse, TXANExpression* AValue) {
    std::vector<TItemCode> codes;
    codes.reserve(FItems.size());
    std::uintptr_t resultSlots = 0;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        codes.push_back(ItemCode(C, i, AUse));
        resultSlots += codes.back().NeedsResultSlot;
    }
    // Each call's result slot lies just below its object, so one result is the next object.
    if (resultSlots > 0) C.Code->Emit(icPush, resultSlots);
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        bool mayBeRef = false;
        for (const auto& arg : FItems[i]->FArgs) mayBeRef |= arg->EmitRefByteCode(C);
        if (codes[i].Call) codes[i].Call->FArgsByValue = !mayBeRef;
        if (AUse == TUse::Assign && i + 1 == FItems.size()) AValue->EmitByteCode(C, erStack);
        C.Code->Emit(codes[i].Code, codes[i].Data);
    }
}

void TXANDesignatorExpr::DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool&, TXANLabel*) {
    if (AEmitRes == erNoRes) FItems.back()->FIsResultUsed = false;
    EmitUse(C, TUse::Value, nullptr);
}

bool TXANDesignatorExpr::DoEmitRefByteCode(TXANContext& C) {
    EmitUse(C, TUse::Ref, nullptr);
    return true;
}

// Emitted at the assignment statement's position (its ':='), not the designator's.
void TXANDesignatorExpr::EmitAssign(TXANContext& C, TXANExpression& AValue) { EmitUse(C, TUse::Assign, &AValue); }

}  // namespace xan::pas
