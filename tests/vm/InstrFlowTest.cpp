#include <gtest/gtest.h>

#include <map>

#include "tests/vm/VmTestSupport.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/InstrFlow.h"

namespace xan {
namespace {

TXANInstrFlow FlowOf(TXANInstrCode code, std::uintptr_t data = 0) {
    TXANInstr instr;
    instr.Code = code;
    instr.Data = data;
    return XANInstrFlow(instr);
}

TEST(InstrFlow, OperandFreeInstructionsHaveTheirFixedEffects) {
    const std::map<TXANInstrCode, int> effects = {
        {icPop, -1},         {icPush0, 1},        {icPushUnassigned, 1}, {icPushLiteral, 1},
        {icPushLocalVar, 1}, {icPushLocalConst, 1}, {icPushArg, 1},       {icPushResult, 1},
        {icPushLocalVarRef, 1}, {icPushArgRef, 1}, {icPushResultRef, 1},  {icGreater, -1},
        {icGreaterEqual, -1}, {icLess, -1},        {icLessEqual, -1},     {icIn, -1},
        {icIs, -1},          {icEqual, -1},       {icRefEqual, -1},      {icNotEqual, -1},
        {icRefNotEqual, -1}, {icPlus, -1},        {icStrConcat, -1},     {icMinus, -1},
        {icImp, -1},         {icEqv, -1},         {icOr, -1},            {icXor, -1},
        {icMultiply, -1},    {icDivide, -1},      {icIntDiv, -1},        {icMod, -1},
        {icAnd, -1},         {icShl, -1},         {icShr, -1},           {icPower, -1},
        {icUnaryPlus, 0},    {icUnaryMinus, 0},   {icUnaryNot, 0},       {icAddValToSet, -1},
        {icAddRangeToSet, -2}, {icAssignLValue, -2}, {icAssignLocalVar, -1}, {icAssignArg, -1},
        {icAssignResult, -1}, {icAssignGlobalVar, -1}, {icAssignGlobalConst, -1}, {icExceptDone, 0},
        {icExceptToVar, 1},  {icSetNamespace, 0}, {icEventHandlerMake, 1},
    };
    for (const auto& [code, effect] : effects) {
        const TXANInstrFlow flow = FlowOf(code);
        EXPECT_EQ(flow.Effect, effect) << XANInstrCodeName(code);
        EXPECT_FALSE(flow.Ends) << XANInstrCodeName(code);
        EXPECT_EQ(flow.Target, nullptr) << XANInstrCodeName(code);
    }
    EXPECT_EQ(FlowOf(icPush, 3).Effect, 3);
}

TEST(InstrFlow, EndingInstructions) {
    for (TXANInstrCode code : {icRet, icRaise, isReraise, icRaiseEBCFromFinally}) EXPECT_TRUE(FlowOf(code).Ends);
    TXANTry block;
    EXPECT_TRUE(FlowOf(icFinallyRet, reinterpret_cast<std::uintptr_t>(&block)).Ends);
    TXANLabel label;
    const TXANInstrFlow jump = FlowOf(icJump, reinterpret_cast<std::uintptr_t>(&label));
    EXPECT_TRUE(jump.Ends);
    EXPECT_EQ(jump.Target, &label);
}

TEST(InstrFlow, JumpsGiveTheDepthOnEachBranch) {
    TXANLabel label;
    const auto data = reinterpret_cast<std::uintptr_t>(&label);
    struct Case {
        TXANInstrCode code;
        int fall, taken;
    };
    for (const Case& c : {Case{icJmpIfTrue, 0, 0}, Case{icJmpIfFalse, 0, 0}, Case{icPopJmpIfTrue, -1, -1},
                          Case{icPopJmpIfFalse, -1, -1}, Case{icPopJmpIfEqual, -2, -2},
                          Case{icPopJmpIfNotEqual, -2, -2}, Case{icCaseJmpIfEqual, -1, -2},
                          Case{icCaseJmpIfInRange, -2, -3}}) {
        const TXANInstrFlow flow = FlowOf(c.code, data);
        EXPECT_EQ(flow.Effect, c.fall) << XANInstrCodeName(c.code);
        EXPECT_EQ(flow.TargetEffect, c.taken) << XANInstrCodeName(c.code);
        EXPECT_EQ(flow.Target, &label);
        EXPECT_FALSE(flow.Ends);
    }
    TXANFor loop;
    loop.FJmpLabel = &label;
    for (TXANInstrCode code : {icForJmpIfLE, icForJmpIfGE, icForJmpStep}) {
        const TXANInstrFlow flow = FlowOf(code, reinterpret_cast<std::uintptr_t>(&loop));
        EXPECT_EQ(flow.Target, &label);
        EXPECT_EQ(flow.Effect, 0);
    }
    for (TXANInstrCode code : {icForInc, icForIncStep, icForDec})
        EXPECT_EQ(FlowOf(code, reinterpret_cast<std::uintptr_t>(&loop)).Effect, 0);
    EXPECT_EQ(FlowOf(icForInitLValue, reinterpret_cast<std::uintptr_t>(&loop)).Effect, -2);
    EXPECT_EQ(FlowOf(icForInitLocal, reinterpret_cast<std::uintptr_t>(&loop)).Effect, -1);
    TXANTry block;
    block.FFinallyLabel = &label;
    const TXANInstrFlow fin = FlowOf(icCallFinally, reinterpret_cast<std::uintptr_t>(&block));
    EXPECT_EQ(fin.Target, &label);
    EXPECT_FALSE(fin.Ends);
    TXANExcJump exc;
    exc.FLabel = &label;
    const TXANInstrFlow is = FlowOf(icExceptJmpIfIs, reinterpret_cast<std::uintptr_t>(&exc));
    EXPECT_EQ(is.Effect, -1);
    EXPECT_EQ(is.TargetEffect, -1);
}

TEST(InstrFlow, CallsAndArraysFollowTheirDescriptors) {
    TXANByteCode bc;
    TXANCall* member = bc.AddCall(1, u"M", bkRound, 2, true, false, true);       // res offset 3
    TXANCall* assignGlob = bc.AddCall(1, u"G", bkBlock, 2, false, true, false);  // args + value
    const auto d = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
    for (TXANInstrCode code : {icGlobCall, icMemberCall, icUnnamedCall, icGlobCallRef, icMemberCallRef,
                               icUnnamedCallRef, icNewUnnamedCall})
        EXPECT_EQ(FlowOf(code, d(member)).Effect, -3) << XANInstrCodeName(code);
    EXPECT_EQ(FlowOf(icAssignGlobCall, d(assignGlob)).Effect, -3);
    EXPECT_EQ(FlowOf(icAssignMemberCall, d(assignGlob)).Effect, -4);
    EXPECT_EQ(FlowOf(icAssignUnnamedCall, d(assignGlob)).Effect, -4);
    EXPECT_EQ(FlowOf(icArrayCreate, d(bc.AddArray(3, 12))).Effect, -5);
    EXPECT_EQ(FlowOf(icArrayRedimLValue, d(bc.AddArrayRedim(3, 12, false))).Effect, -7);
    EXPECT_EQ(FlowOf(icArrayRedimLocal, d(bc.AddArrayRedim(3, 12, false, 0))).Effect, -6);
}

TEST(InstrFlow, BreakCodesNeverOccurInEmittedCode) {
    EXPECT_TRUE(vmtest::Raises<plat::EAssertionFailed>([] { FlowOf(icBreak); }));
    EXPECT_TRUE(vmtest::Raises<plat::EAssertionFailed>([] { FlowOf(icBreakpointJmp); }));
    EXPECT_TRUE(vmtest::Raises<plat::EAssertionFailed>([] { FlowOf(static_cast<TXANInstrCode>(XANInstrCodeCount)); }));
}

}  // namespace
}  // namespace xan
