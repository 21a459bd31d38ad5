#include "vm/bytecode/InstrFlow.h"

#include "platform/core/Assert.h"
#include "vm/bytecode/Fusion.h"

namespace xan {

namespace {

TXANInstrFlow Linear(std::int32_t effect) { return {effect, false, nullptr, 0}; }
TXANInstrFlow Jump(std::int32_t effect, const TXANLabel* target, std::int32_t takenEffect) {
    return {effect, false, target, takenEffect};
}
TXANInstrFlow Ending() { return {0, true, nullptr, 0}; }

}  // namespace

TXANInstrFlow XANInstrFlow(const TXANInstr& AInstr) {
    // A fused instruction moves the stack and goes on as its unfused self (its short way
    // skips the next instruction, whose flow ends where the pair's does).
    const TXANInstrCode code = XANUnfusedCode(static_cast<TXANInstrCode>(AInstr.Code));
    switch (code) {
        case icRet:
        case icRaise:
        case isReraise:
        case icRaiseEBCFromFinally:
        case icFinallyRet:
            return Ending();
        case icJump:
            return {0, true, AInstr.DataAs<TXANLabel>(), 0};
        case icPop:
            return Linear(-1);
        case icPush:
            return Linear(std::int32_t(AInstr.DataInt()));
        case icPush0:
        case icPushUnassigned:
        case icPushLiteral:
        case icPushLocalVar:
        case icPushLocalConst:
        case icPushArg:
        case icPushResult:
        case icPushLocalVarRef:
        case icPushArgRef:
        case icPushResultRef:
        case icEventHandlerMake:
        case icExceptToVar:
            return Linear(+1);
        case icGreater: case icGreaterEqual: case icLess: case icLessEqual: case icIn: case icIs:
        case icEqual: case icRefEqual: case icNotEqual: case icRefNotEqual: case icPlus:
        case icStrConcat: case icMinus: case icImp: case icEqv: case icOr: case icXor:
        case icMultiply: case icDivide: case icIntDiv: case icMod: case icAnd: case icShl:
        case icShr: case icPower: case icAddValToSet:
        case icAssignLocalVar: case icAssignArg: case icAssignResult: case icAssignGlobalVar:
        case icAssignGlobalConst: case icForInitLocal:
            return Linear(-1);
        case icUnaryPlus: case icUnaryMinus: case icUnaryNot:
        case icForInc: case icForIncStep: case icForDec:
        case icExceptDone: case icSetNamespace:
            return Linear(0);
        case icAddRangeToSet: case icAssignLValue: case icForInitLValue:
            return Linear(-2);
        case icJmpIfTrue: case icJmpIfFalse:
            return Jump(0, AInstr.DataAs<TXANLabel>(), 0);
        case icPopJmpIfTrue: case icPopJmpIfFalse:
            return Jump(-1, AInstr.DataAs<TXANLabel>(), -1);
        case icPopJmpIfEqual: case icPopJmpIfNotEqual:
            return Jump(-2, AInstr.DataAs<TXANLabel>(), -2);
        case icCaseJmpIfEqual:
            return Jump(-1, AInstr.DataAs<TXANLabel>(), -2);
        case icCaseJmpIfInRange:
            return Jump(-2, AInstr.DataAs<TXANLabel>(), -3);
        case icForJmpIfLE: case icForJmpIfGE: case icForJmpStep:
            return Jump(0, AInstr.DataAs<TXANFor>()->FJmpLabel, 0);
        case icExceptJmpIfIs:
            return Jump(-1, AInstr.DataAs<TXANExcJump>()->FLabel, -1);
        case icCallFinally:
            // The finally code runs at the current depth and returns to the next instruction.
            return Jump(0, AInstr.DataAs<TXANTry>()->FFinallyLabel, 0);
        case icGlobCall: case icMemberCall: case icUnnamedCall: case icGlobCallRef:
        case icMemberCallRef: case icUnnamedCallRef: case icNewUnnamedCall:
            return Linear(-AInstr.DataAs<TXANCall>()->FResOffset);
        case icAssignGlobCall:
            return Linear(-(AInstr.DataAs<TXANCall>()->FArgCount + 1));
        case icAssignMemberCall: case icAssignUnnamedCall:
            return Linear(-(AInstr.DataAs<TXANCall>()->FArgCount + 2));
        case icArrayCreate:
            return Linear(-(2 * AInstr.DataAs<TXANArray>()->FDimCount - 1));
        case icArrayRedimLValue:
            return Linear(-(2 * AInstr.DataAs<TXANArrayRedim>()->FDimCount + 1));
        case icArrayRedimLocal:
            return Linear(-(2 * AInstr.DataAs<TXANArrayRedim>()->FDimCount));
        case icBreak:
        case icBreakpointJmp:
            break;
        default:
            break;  // the fused codes, mapped to their unfused selves above
    }
    plat::AssertFailed("XANSctVMByteCode", "instruction code that never occurs in emitted code", __FILE__,
                       __LINE__);
}

}  // namespace xan
