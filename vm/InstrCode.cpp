#include "vm/InstrCode.h"

namespace xan {

const char* XANInstrCodeName(unsigned code) noexcept {
    static const char* const names[XANInstrCodeCount] = {
        "icBreak", "icBreakpointJmp", "icRet", "icJump", "icPop", "icPush", "icPush0",
        "icPushUnassigned", "icPushLiteral", "icPushLocalVar", "icPushLocalConst", "icPushArg",
        "icPushResult", "icPushLocalVarRef", "icPushArgRef", "icPushResultRef", "icGreater",
        "icGreaterEqual", "icLess", "icLessEqual", "icIn", "icIs", "icEqual", "icRefEqual",
        "icNotEqual", "icRefNotEqual", "icPlus", "icStrConcat", "icMinus", "icImp", "icEqv", "icOr",
        "icXor", "icMultiply", "icDivide", "icIntDiv", "icMod", "icAnd", "icShl", "icShr", "icPower",
        "icUnaryPlus", "icUnaryMinus", "icUnaryNot", "icJmpIfTrue", "icJmpIfFalse", "icPopJmpIfTrue",
        "icPopJmpIfFalse", "icPopJmpIfEqual", "icPopJmpIfNotEqual", "icAddValToSet",
        "icAddRangeToSet", "icGlobCall", "icMemberCall", "icUnnamedCall", "icGlobCallRef",
        "icMemberCallRef", "icUnnamedCallRef", "icNewUnnamedCall", "icAssignGlobCall",
        "icAssignMemberCall", "icAssignUnnamedCall", "icAssignLValue", "icAssignLocalVar",
        "icAssignArg", "icAssignResult", "icAssignGlobalVar", "icAssignGlobalConst",
        "icForInitLValue", "icForInitLocal", "icForInc", "icForIncStep", "icForDec", "icForJmpIfLE",
        "icForJmpIfGE", "icForJmpStep", "icCaseJmpIfEqual", "icCaseJmpIfInRange", "icRaise",
        "isReraise", "icRaiseEBCFromFinally", "icCallFinally", "icFinallyRet", "icExceptJmpIfIs",
        "icExceptDone", "icExceptToVar", "icSetNamespace", "icArrayCreate", "icArrayRedimLValue",
        "icArrayRedimLocal", "icEventHandlerMake"};
    return code < unsigned(XANInstrCodeCount) ? names[code] : "?";
}

}  // namespace xan
