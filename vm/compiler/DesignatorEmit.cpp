#include "vm/compiler/DesignatorEmit.h"

#include "vm/compiler/Namespaces.h"

namespace xan {

namespace {

// Direct access to a local variable, a parameter, the result or a computed constant, by use.
bool DirectAccess(const TXANNameSearchRes& ARes, TXANDesignatorUse AUse, TXANItemCode& ACode) {
    static constexpr TXANInstrCode local[] = {icPushLocalVar, icPushLocalVarRef, icAssignLocalVar};
    static constexpr TXANInstrCode param[] = {icPushArg, icPushArgRef, icAssignArg};
    static constexpr TXANInstrCode result[] = {icPushResult, icPushResultRef, icAssignResult};
    const auto use = static_cast<std::size_t>(AUse);
    switch (ARes.ObjKind) {
        case srLocalVar: ACode = {local[use], static_cast<std::uintptr_t>(ARes.LocalVarIndex), false}; return true;
        case srParam: ACode = {param[use], ARes.ParamInfo.Pack(), false}; return true;
        case srResult: ACode = {result[use], 0, false}; return true;
        case srLocalConstSlot:
            // Read as a copy, like any constant; an assignment is left to the run-time refusal.
            if (AUse == TXANDesignatorUse::Assign) return false;
            ACode = {icPushLocalVar, static_cast<std::uintptr_t>(ARes.LocalVarIndex), false};
            return true;
        default: return false;
    }
}

TXANInstrCode CallInstr(const TXANItemShape& AItem, std::size_t AIndex, TXANDesignatorUse AUse) {
    static constexpr TXANInstrCode global[] = {icGlobCall, icGlobCallRef, icAssignGlobCall};
    static constexpr TXANInstrCode member[] = {icMemberCall, icMemberCallRef, icAssignMemberCall};
    static constexpr TXANInstrCode unnamed[] = {icUnnamedCall, icUnnamedCallRef, icAssignUnnamedCall};
    const auto use = static_cast<std::size_t>(AUse);
    return AIndex == 0 ? global[use] : !AItem.StrName.empty() ? member[use] : unnamed[use];
}

std::int32_t ArgCount(const TXANItemShape& AItem) { return static_cast<std::int32_t>(AItem.ArgCount); }

}  // namespace

TXANDesignatorUse XANItemUse(TXANDesignatorUse AWhole, bool ALast, bool ANextIndexes) {
    if (ALast) return AWhole;
    return ANextIndexes && AWhole != TXANDesignatorUse::Value ? TXANDesignatorUse::Ref : TXANDesignatorUse::Value;
}

TXANItemCode XANItemCode(TXANByteCode& ACode, TXANAbstractNamespace* ANamespace, const TXANItemShape& AItem,
                         std::size_t AIndex, TXANDesignatorUse AUse, const TXANCallJumps& AJumps) {
    // Arguments without brackets (F x) make a call even where the name is a local: inside
    // function F, the statement F 5 calls it rather than reading its result.
    TXANItemCode direct{icPush, 0, false};
    if (AIndex == 0 && AItem.BracketType == bkNon && AItem.ArgCount == 0 && ANamespace &&
        DirectAccess(ANamespace->CompileTimeFind(AItem.Name), AUse, direct))
        return direct;
    const bool assign = AUse == TXANDesignatorUse::Assign;
    TXANCall* call = ACode.AddCall(AItem.Name, AItem.StrName, AItem.BracketType, ArgCount(AItem), AIndex > 0, assign,
                                   AItem.IsResultUsed);
    call->FExitLabel = AJumps.Exit;
    call->FBreakLabel = AJumps.Break;
    call->FContinueLabel = AJumps.Continue;
    // An assignment call produces no result, so it takes no slot.
    return {CallInstr(AItem, AIndex, AUse), reinterpret_cast<std::uintptr_t>(call), !assign, call};
}

TXANItemCode XANNewItemCode(TXANByteCode& ACode, const TXANItemShape& AItem) {
    TXANCall* call = ACode.AddCall(-1, plat::UString(), AItem.BracketType, ArgCount(AItem), true, false, true);
    return {icNewUnnamedCall, reinterpret_cast<std::uintptr_t>(call), true, call};
}

void XANEmitResultSlots(TXANByteCode& ACode, const std::vector<TXANItemCode>& ACodes) {
    std::uintptr_t slots = 0;
    for (const TXANItemCode& code : ACodes) slots += code.NeedsResultSlot;
    if (slots > 0) ACode.Emit(icPush, slots);
}

}  // namespace xan
