// Script calls entered inside the caller's dispatch loop (ceEnter): frames, results, the way
// back, exceptions crossing such frames, and the nesting limit.
#include <gtest/gtest.h>

#include "platform/ole/VarErrors.h"
#include "tests/vm/CodeBuilder.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::CodeBuilder;
using vmtest::CountingDispatch;
using vmtest::RaisedMessage;
using vmtest::TestVM;

// Sum(n) = n + Sum(n - 1), Sum(0) = 0; the recursive call goes through icGlobCall. With
// AFailAtZero the innermost activation fails instead (a set element out of range).
struct SumProc {
    explicit SumProc(bool AFailAtZero = false) {
        TXANLabel* recurse = c.bc.CreateLabel();
        call = c.bc.AddCall(1, u"Sum", bkRound, 1, false, false, true);
        c.Op(icPushArg, TXANParamInfo{0, pkSimple}).Lit(Variant(0)).Op(icLessEqual).Op(icPopJmpIfFalse, recurse);
        if (AFailAtZero) {
            failing = c.bc.Count() + 2;
            c.Op(icPush0).Lit(Variant(-1)).Op(icAddValToSet);
        } else {
            c.Lit(Variant(0));
        }
        c.Op(icAssignResult).Op(icRet);
        c.Bind(recurse).Op(icPushArg, TXANParamInfo{0, pkSimple});
        c.Op(icPush, std::uintptr_t(1)).Op(icPushArg, TXANParamInfo{0, pkSimple}).Lit(Variant(1)).Op(icMinus);
        callAt = c.bc.Count();
        c.Op(icGlobCall, call).Op(icPlus).Op(icAssignResult).Op(icRet);
        handler = c.bc.CreateLabel();
        c.Bind(handler).Lit(Variant(u"handled")).Op(icAssignResult).Op(icRet);
        code = &c.Finish();
    }

    CodeBuilder c;
    TXANCall* call = nullptr;
    TXANByteCode* code = nullptr;
    TXANLabel* handler = nullptr;  // a block answering "handled"
    std::int32_t callAt = 0;   // index of the call instruction
    std::int32_t failing = 0;  // index of the failing instruction
};

// Runs Sum(AN) with every call of Sum entered inline.
Variant RunSum(TestVM& vm, SumProc& sum, int AN) {
    vm.globCall = [&](TXANThread&, TXANCallStackFrame&, TXANCall& c, Variant*, bool) {
        EXPECT_EQ(&c, sum.call);
        return TXANCallExit::Enter(sum.code);
    };
    Variant arg(AN);
    return vm.Call(*sum.code, &arg);
}

void ExpectIdle(const TestVM& vm) {
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
    EXPECT_EQ(vm.thread.Depth(), 0);
    EXPECT_EQ(vm.thread.FFramePool.Used(), 0u);
    EXPECT_EQ(vm.enters, vm.leaves);
}

TEST(InterpreterInlineCalls, DeepRecursionReturnsThroughEveryFrame) {
    TestVM vm;
    SumProc sum;
    // 300 frames: the frame pool grows over several chunks and gives them back.
    EXPECT_EQ(RunSum(vm, sum, 300).VInteger, 300 * 301 / 2);
    EXPECT_EQ(vm.enters, 301);
    ExpectIdle(vm);
    // Again, now on chunks the pool kept.
    EXPECT_EQ(RunSum(vm, sum, 70).VInteger, 70 * 71 / 2);
    ExpectIdle(vm);
}

// Hold(n): keeps an object in its last local, then answers Hold(n - 1) (0 when n <= 0). Small
// activations run in slots of their frame, large ones in slots of the thread's pool; either
// way every activation releases what its locals held when it ends.
TEST(InterpreterInlineCalls, ActivationsOfEverySizeReleaseTheirLocals) {
    for (const int locals : {1, TXANInlineFrame::OwnSlotCount - 2, TXANInlineFrame::OwnSlotCount + 5, 300}) {
        CountingDispatch obj;
        TestVM vm;
        CodeBuilder c(locals);
        TXANLabel* recurse = c.bc.CreateLabel();
        TXANCall* call = c.bc.AddCall(1, u"Hold", bkRound, 1, false, false, true);
        c.Lit(Variant(static_cast<IDispatch*>(&obj))).Op(icAssignLocalVar, std::uintptr_t(locals - 1));
        c.Op(icPushArg, TXANParamInfo{0, pkSimple}).Lit(Variant(0)).Op(icLessEqual).Op(icPopJmpIfFalse, recurse);
        c.Lit(Variant(0)).Op(icAssignResult).Op(icRet);
        c.Bind(recurse).Op(icPush, std::uintptr_t(1)).Op(icPushArg, TXANParamInfo{0, pkSimple});
        c.Lit(Variant(1)).Op(icMinus).Op(icGlobCall, call).Op(icAssignResult).Op(icRet);
        TXANByteCode& code = c.Finish();
        const std::uint32_t before = obj.refs;  // the literal's own reference
        std::vector<std::uint32_t> held;
        vm.globCall = [&](TXANThread&, TXANCallStackFrame& f, TXANCall&, Variant*, bool) {
            EXPECT_EQ(f.Stack[locals - 1].VType, varDispatch);
            held.push_back(obj.refs - before);
            return TXANCallExit::Enter(&code);
        };
        Variant arg(4);
        EXPECT_EQ(vm.Call(code, &arg).VInteger, 0) << locals;
        // One reference more per running activation, none left once they are done.
        EXPECT_EQ(held, (std::vector<std::uint32_t>{1, 2, 3, 4})) << locals;
        EXPECT_EQ(obj.refs, before) << locals;
        ExpectIdle(vm);
        // The slots are handed out again clean: a second run sees the same counts.
        held.clear();
        EXPECT_EQ(vm.Call(code, &arg).VInteger, 0);
        EXPECT_EQ(held, (std::vector<std::uint32_t>{1, 2, 3, 4})) << locals;
        EXPECT_EQ(obj.refs, before) << locals;
    }
}

TEST(InterpreterInlineCalls, CalleeFramesAreLinkedWithTheirOwnContext) {
    TestVM vm;
    SumProc sum;
    std::vector<std::int32_t> depths;
    vm.globCall = [&](TXANThread& t, TXANCallStackFrame& f, TXANCall&, Variant* top, bool) {
        EXPECT_EQ(&f, t.FCallStack);
        EXPECT_EQ(f.Ctx->Code, sum.code);
        EXPECT_EQ(f.IP, sum.code->Code() + sum.callAt);
        if (f.Next) {
            EXPECT_EQ(f.Next->Depth + 1, f.Depth);
            // The caller waits at its call instruction; this frame's arguments are its slots.
            EXPECT_EQ(f.Next->IP, sum.code->Code() + sum.callAt);
            EXPECT_EQ(f.Ctx->Args, f.Next->Stack + 2);  // above the caller's pushed n and result slot
        }
        EXPECT_EQ(top->VInteger, 3 - f.Depth);  // the argument n - 1
        depths.push_back(f.Depth);
        return TXANCallExit::Enter(sum.code);
    };
    Variant arg(3);
    EXPECT_EQ(vm.Call(*sum.code, &arg).VInteger, 6);
    EXPECT_EQ(depths, (std::vector<std::int32_t>{1, 2, 3}));
    ExpectIdle(vm);
}

TEST(InterpreterInlineCalls, AnExceptionLeavesInlineFramesUpToTheHandler) {
    TestVM vm;
    SumProc sum(true);
    // The handler belongs to the outermost activation: every frame above it is asked in turn
    // (innermost first) and ended.
    std::vector<std::int32_t> asked;
    vm.handleException = [&](TXANThread& t, TXANCallStackFrame& f) -> PXANInstr {
        EXPECT_EQ(&f, t.FCallStack);
        EXPECT_EQ(f.IP, sum.code->Code() + (f.Depth == 6 ? sum.failing : sum.callAt));
        asked.push_back(f.Depth);
        // The caller's operand stack is emptied before it is asked.
        for (Variant* slot = f.Stack; slot < f.Stack + sum.code->StackSize(); ++slot)
            EXPECT_EQ(slot->VType, varEmpty);
        return f.Depth == 1 ? sum.handler->FTarget : nullptr;
    };
    EXPECT_EQ(RunSum(vm, sum, 5).AsUString(), u"handled");
    EXPECT_EQ(asked, (std::vector<std::int32_t>{6, 5, 4, 3, 2, 1}));
    ExpectIdle(vm);
}

TEST(InterpreterInlineCalls, AnUnhandledExceptionLeavesEveryFrame) {
    TestVM vm;
    SumProc sum(true);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { RunSum(vm, sum, 100); }), u"Constant expression violates subrange bounds");
    EXPECT_EQ(vm.enters, 101);
    ExpectIdle(vm);
    // The thread runs normally afterwards.
    SumProc good;
    EXPECT_EQ(RunSum(vm, good, 10).VInteger, 55);
    ExpectIdle(vm);
}

TEST(InterpreterInlineCalls, AHandlerOfAnInlineFrameMayReplaceTheException) {
    TestVM vm;
    SumProc sum(true);
    vm.handleException = [&](TXANThread&, TXANCallStackFrame& f) -> PXANInstr {
        if (f.Depth == 3) Throw<EConvertError>(u"replaced at 3");
        return nullptr;
    };
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { RunSum(vm, sum, 7); }), u"replaced at 3");
    ExpectIdle(vm);
}

TEST(InterpreterInlineCalls, NestingBeyondTheLimitRaisesAndUnwinds) {
    TestVM vm;
    vm.FMaxDepth = 40;
    SumProc sum;
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { RunSum(vm, sum, 1000); }),
              u"Stack overflow: script calls are nested too deeply");
    EXPECT_EQ(vm.enters, 40);
    ExpectIdle(vm);
    EXPECT_EQ(RunSum(vm, sum, 39).VInteger, 39 * 40 / 2);
}

TEST(InterpreterInlineCalls, AReturnFromACallInsideAnInlineFrameEndsOnlyThatFrame) {
    TestVM vm;
    // Callee: "Exit" (a call answering ceReturn) before assigning anything.
    CodeBuilder callee;
    TXANCall* exitCall = callee.bc.AddCall(2, u"Exit", bkNon, 0, false, false, false);
    callee.Op(icGlobCall, exitCall).Lit(Variant(u"not reached")).Op(icAssignResult).Op(icRet);
    TXANByteCode& calleeCode = callee.Finish();
    CodeBuilder caller;
    TXANCall* call = caller.bc.AddCall(1, u"Callee", bkNon, 0, false, false, true);
    caller.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call).Op(icPop).Lit(Variant(u"caller went on"));
    TXANByteCode& callerCode = caller.ReturnTos();
    vm.globCall = [&](TXANThread&, TXANCallStackFrame&, TXANCall& c, Variant*, bool) {
        if (&c == call) return TXANCallExit::Enter(&calleeCode);
        return TXANCallExit{TXANCallExit::ceReturn, {nullptr}};
    };
    EXPECT_EQ(vm.Call(callerCode).AsUString(), u"caller went on");
    EXPECT_EQ(vm.enters, 2);
    ExpectIdle(vm);
}

}  // namespace
}  // namespace xan
