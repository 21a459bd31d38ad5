// Activations, the call stack, hook points, exceptions, the terminate flag and breakpoints.
#include <gtest/gtest.h>

#include "platform/ole/VarErrors.h"
#include "tests/vm/CodeBuilder.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/bytecode/Fusion.h"
#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::CodeBuilder;
using vmtest::RaisedMessage;
using vmtest::Raises;
using vmtest::TestVM;

TEST(InterpreterFrames, ActivationLinksItsFrameWhileRunning) {
    TestVM vm;
    CodeBuilder callee(2);
    TXANCall* call = callee.bc.AddCall(1, u"Probe", bkNon, 0, false, false, true);
    callee.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call);
    TXANByteCode& code = callee.ReturnTos();
    const TXANCallStackFrame* seen = nullptr;
    vm.globCall = [&](TXANThread& t, TXANCallStackFrame& f, TXANCall& c, Variant* top, bool ref) {
        seen = t.FCallStack;
        EXPECT_EQ(&f, t.FCallStack);
        EXPECT_EQ(f.Next, nullptr);
        EXPECT_EQ(f.VM, &vm);
        EXPECT_EQ(f.Ctx->Code, &code);
        EXPECT_EQ(f.IP, code.Code() + 1);  // the call instruction
        EXPECT_EQ(f.Depth, 1);
        EXPECT_EQ(&c, call);
        EXPECT_FALSE(ref);
        EXPECT_EQ(top, f.Stack + 2);  // the result slot is the top: two locals below it
        top->SetInteger(77);
        return TXANCallExit{};
    };
    EXPECT_EQ(vm.Call(code).VInteger, 77);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
    EXPECT_EQ(vm.thread.Depth(), 0);
    EXPECT_EQ(vm.enters, 1);
    EXPECT_EQ(vm.leaves, 1);
}

TEST(InterpreterFrames, CallsRemoveTheirArgumentsDownToTheResultSlot) {
    TestVM vm;
    CodeBuilder c;
    TXANCall* call = c.bc.AddCall(1, u"Sum", bkRound, 3, false, false, true);
    c.Op(icPush, std::uintptr_t(1)).Lit(Variant(1)).Lit(Variant(u"two")).Lit(Variant(3)).Op(icGlobCall, call);
    vm.globCall = [](TXANThread&, TXANCallStackFrame&, TXANCall& c, Variant* top, bool) {
        Variant* first = top - c.FArgsOffset;
        EXPECT_EQ(first[0].VInteger, 1);
        EXPECT_EQ(first[1].AsUString(), u"two");
        EXPECT_EQ(first[2].VInteger, 3);
        top[-c.FResOffset].SetString(u"result");
        return TXANCallExit{};
    };
    EXPECT_EQ(vm.Call(c.ReturnTos()).AsUString(), u"result");
}

TEST(InterpreterFrames, GlobalCallCanJumpOrReturn) {
    TestVM vm;
    CodeBuilder c(1);
    TXANLabel* target = c.bc.CreateLabel();
    TXANCall* brk = c.bc.AddCall(1, u"Break", bkNon, 0, false, false, false);
    TXANCall* exit = c.bc.AddCall(2, u"Exit", bkNon, 0, false, false, false);
    c.Lit(Variant(u"on the stack")).Op(icPush, std::uintptr_t(1)).Op(icGlobCall, brk);
    c.Op(icPop).Op(icPop).Op(icRet);
    c.Bind(target).Lit(Variant(u"jumped")).Op(icAssignResult);
    c.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, exit).Lit(Variant(u"not reached")).Op(icAssignResult).Op(icRet);
    TXANByteCode& code = c.Finish();
    vm.globCall = [&](TXANThread&, TXANCallStackFrame& f, TXANCall& call, Variant*, bool) {
        if (&call == brk) return TXANCallExit{TXANCallExit::ceJump, {target->FTarget}};
        EXPECT_EQ(f.Stack[1].VType, varEmpty);  // the jump emptied the operand stack
        return TXANCallExit{TXANCallExit::ceReturn, {nullptr}};
    };
    EXPECT_EQ(vm.Call(code).AsUString(), u"jumped");
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
}

TEST(InterpreterFrames, NamespaceInstructionChangesTheFramesNamespace) {
    TestVM vm;
    CodeBuilder c;
    auto* ns = reinterpret_cast<TXANAbstractNamespace*>(std::uintptr_t(0x1000));
    TXANCall* call = c.bc.AddCall(1, u"F", bkNon, 0, false, false, false);
    c.Op(icSetNamespace, ns).Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call).Op(icRet);
    TXANAbstractNamespace* seen = nullptr;
    vm.globCall = [&](TXANThread&, TXANCallStackFrame& f, TXANCall&, Variant*, bool) {
        seen = f.CurNS;
        return TXANCallExit{};
    };
    vm.Call(c.Finish());
    EXPECT_EQ(seen, ns);
}

TEST(InterpreterFrames, NestedActivationsChainTheirFramesAndPoolSlots) {
    TestVM vm;
    CodeBuilder inner(1);
    inner.Lit(Variant(u"inner")).Op(icAssignLocalVar, std::uintptr_t(0)).Op(icPushLocalVar, std::uintptr_t(0));
    TXANByteCode& innerCode = inner.ReturnTos();
    CodeBuilder outer(1);
    TXANCall* call = outer.bc.AddCall(1, u"Inner", bkNon, 0, false, false, true);
    outer.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call);
    TXANByteCode& outerCode = outer.ReturnTos();
    vm.globCall = [&](TXANThread& t, TXANCallStackFrame& f, TXANCall& c, Variant* top, bool) {
        TXANVMInterpretContext ctx{&innerCode, nullptr, top - c.FResOffset, nullptr};
        const TXANCallStackFrame* before = t.FCallStack;
        t.FCallStack->IP = f.IP;
        vm.Interpret(t, ctx);
        EXPECT_EQ(t.FCallStack, before);
        return TXANCallExit{};
    };
    vm.enters = 0;
    EXPECT_EQ(vm.Call(outerCode).AsUString(), u"inner");
    EXPECT_EQ(vm.enters, 2);
    EXPECT_EQ(vm.leaves, 2);
}

TEST(InterpreterFrames, DefaultHooksSayWhatIsNotSupported) {
    TestVM vm;
    auto run = [&](TXANInstrCode code, bool withCall) {
        CodeBuilder c(2);
        if (withCall) {
            TXANCall* call = c.bc.AddCall(1, u"F", bkNon, 0, true, false, true);
            c.Op(icPush, std::uintptr_t(2)).Op(code, call);
        } else {
            c.Op(icPush0).Op(code).Op(icPop);
        }
        c.Op(icRet);
        return RaisedMessage<EXANVMRuntime>([&] { vm.Call(c.Finish()); });
    };
    EXPECT_EQ(run(icGlobCall, true), u"Not supported yet: calls of global names");
    EXPECT_EQ(run(icMemberCall, true), u"Not supported yet: member calls");
    EXPECT_EQ(run(icUnnamedCallRef, true), u"Not supported yet: indexing and calling values");
    EXPECT_EQ(run(icNewUnnamedCall, true), u"Not supported yet: object creation");
    EXPECT_EQ(run(icRaise, false), u"Not supported yet: raising script exceptions");
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
}

// Code whose last instruction fails: a set element of 40.
TXANByteCode& Failing(CodeBuilder& c) {
    c.Op(icPush0).Lit(Variant(40)).Op(icAddValToSet);
    return c.ReturnTos();
}

TEST(InterpreterExceptions, AnExceptionLeavingRestoresTheCallStack) {
    TestVM vm;
    CodeBuilder failing(3);
    TXANByteCode& failingCode = Failing(failing);
    CodeBuilder outer(1);
    TXANCall* call = outer.bc.AddCall(1, u"F", bkNon, 0, false, false, true);
    outer.Lit(Variant(u"held by outer")).Op(icAssignLocalVar, std::uintptr_t(0));
    outer.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call);
    TXANByteCode& outerCode = outer.ReturnTos();
    const TXANCallStackFrame* outerFrame = nullptr;
    vm.globCall = [&](TXANThread& t, TXANCallStackFrame&, TXANCall& c, Variant* top, bool) {
        outerFrame = t.FCallStack;
        TXANVMInterpretContext ctx{&failingCode, nullptr, top - c.FResOffset, nullptr};
        try {
            vm.Interpret(t, ctx);
        } catch (...) {
            EXPECT_EQ(t.FCallStack, outerFrame);  // the failing frame is gone
            EXPECT_EQ(t.Depth(), 1);
            throw;
        }
        return TXANCallExit{};
    };
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(outerCode); }),
              u"Constant expression violates subrange bounds");
    EXPECT_NE(outerFrame, nullptr);
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
    EXPECT_EQ(vm.thread.Depth(), 0);
    EXPECT_EQ(vm.leaves, 2);
    // The slots are back in the pool, cleared: the next activation starts from the same place.
    Variant* slots = vm.thread.FStackPool.AsquireStack(4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(slots[i].IsEmpty());
    vm.thread.FStackPool.ReleaseStack(4);
}

TEST(InterpreterExceptions, AHandlerContinuesTheActivationWithAnEmptyOperandStack) {
    TestVM vm;
    CodeBuilder c(1);
    TXANLabel* handler = c.bc.CreateLabel();
    c.Lit(Variant(u"pending")).Op(icPush0).Lit(Variant(-1)).Op(icAddValToSet);
    c.Op(icPop).Op(icPop).Op(icRet);
    c.Bind(handler).Lit(Variant(u"handled")).Op(icAssignResult).Op(icRet);
    TXANByteCode& code = c.Finish();
    int calls = 0;
    vm.handleException = [&](TXANThread& t, TXANCallStackFrame& f) -> PXANInstr {
        ++calls;
        EXPECT_EQ(f.IP, code.Code() + 3);  // the failing instruction
        EXPECT_EQ(t.FCallStack, &f);
        try {
            throw;
        } catch (const RaisedException& r) {
            EXPECT_TRUE(r.Object()->Is<EXANVMRuntime>());
        }
        return handler->FTarget;
    };
    EXPECT_EQ(vm.Call(code).AsUString(), u"handled");
    EXPECT_EQ(calls, 1);
}

TEST(InterpreterExceptions, AHandlerMayReplaceTheException) {
    TestVM vm;
    CodeBuilder c;
    vm.handleException = [](TXANThread&, TXANCallStackFrame&) -> PXANInstr {
        Throw<EConvertError>(u"replaced");
    };
    EXPECT_EQ(RaisedMessage<EConvertError>([&] { vm.Call(Failing(c)); }), u"replaced");
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
}

TEST(InterpreterExceptions, FinallyCallReturnsToTheNextInstruction) {
    TestVM vm;
    CodeBuilder c(1);
    TXANTry* t = c.bc.BeginProtectedBlock();
    t->FFinallyLabel = c.bc.CreateLabel();
    t->FFinallyRetVar = c.bc.AddLocalVar();
    c.bc.EndProtectedBlock();
    TXANLabel* after = c.bc.CreateLabel();
    c.Lit(Variant(u"a")).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Op(icCallFinally, t);
    c.Op(icPushLocalVar, std::uintptr_t(0)).Lit(Variant(u"c")).Op(icStrConcat).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Op(icJump, after);
    c.Bind(t->FFinallyLabel);
    c.Op(icPushLocalVar, std::uintptr_t(0)).Lit(Variant(u"b")).Op(icStrConcat).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Op(icFinallyRet, t);
    c.Bind(after).Op(icPushLocalVar, std::uintptr_t(0));
    EXPECT_EQ(vm.Call(c.ReturnTos()).AsUString(), u"abc");
}

TEST(InterpreterExceptions, BreakOutOfFinallyRaises) {
    TestVM vm;
    CodeBuilder c;
    c.Op(icRaiseEBCFromFinally);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(c.Finish()); }),
              u"Cannot BREAK, CONTINUE or EXIT out of a FINALLY clause");
}

TEST(InterpreterExceptions, DeepRecursionRaisesInsteadOfOverflowingTheNativeStack) {
    TestVM vm;
    vm.FMaxDepth = 50;
    CodeBuilder c;
    TXANCall* call = c.bc.AddCall(1, u"Self", bkNon, 0, false, false, true);
    c.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call);
    TXANByteCode& code = c.ReturnTos();
    int deepest = 0;
    vm.globCall = [&](TXANThread& t, TXANCallStackFrame&, TXANCall& cl, Variant* top, bool) {
        deepest = std::max(deepest, t.Depth());
        TXANVMInterpretContext ctx{&code, nullptr, top - cl.FResOffset, nullptr};
        vm.Interpret(t, ctx);
        return TXANCallExit{};
    };
    const UString msg = RaisedMessage<EXANVMRuntime>([&] { vm.Call(code); });
    EXPECT_NE(msg.Find(u"nested too deeply"), -1) << msg.ToUtf8();
    EXPECT_EQ(deepest, 50);
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
    EXPECT_EQ(vm.thread.Depth(), 0);
}

TEST(InterpreterBreaks, AClearedTerminateFlagAbortsAtTheNextInstruction) {
    TestVM vm;
    CodeBuilder c;
    TXANCall* call = c.bc.AddCall(1, u"Close", bkNon, 0, false, false, false);
    c.Op(icPush, std::uintptr_t(1)).Op(icGlobCall, call).Op(icPop).Lit(Variant(u"not reached"));
    TXANByteCode& code = c.ReturnTos();
    vm.globCall = [&](TXANThread&, TXANCallStackFrame&, TXANCall&, Variant*, bool) {
        vm.FTerminateFlag.store(0);  // another thread closes the machine
        return TXANCallExit{};
    };
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(code); }), u"Script execution has been aborted.");
    EXPECT_EQ(vm.FTerminateFlag.load(), 0);  // outer activations stop too
    EXPECT_EQ(vm.thread.FCallStack, nullptr);
}

TEST(InterpreterBreaks, RequestedBreakRunsTheInstructionAgain) {
    TestVM vm;
    CodeBuilder c;
    c.Lit(Variant(20)).Lit(Variant(22)).Op(icPlus);
    TXANByteCode& code = c.ReturnTos();
    int breaks = 0;
    vm.onBreak = [&](TXANThread&, TXANCallStackFrame& f, std::uint8_t&) {
        ++breaks;
        EXPECT_EQ(f.IP, code.Code());
        vm.FTerminateFlag.store(TXANInterpreter::TerminateRunning);
        return baRerun;
    };
    vm.FTerminateFlag.store(0);
    EXPECT_EQ(vm.Call(code).VInteger, 42);
    EXPECT_EQ(breaks, 1);
}

TEST(InterpreterBreaks, APatchedInstructionRunsAsACopyAndContinuesAfterIt) {
    TestVM vm;
    CodeBuilder c(1);
    TXANLabel* skip = c.bc.CreateLabel();
    c.Lit(Variant(1)).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Lit(Variant(true)).Op(icPopJmpIfTrue, skip);  // index 3: patched below, jumps away
    c.Lit(Variant(99)).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Bind(skip).Op(icPushLocalVar, std::uintptr_t(0)).Lit(Variant(1)).Op(icPlus);  // index 6: patched, falls through
    TXANByteCode& code = c.ReturnTos();
    PXANInstr jump = code.Code() + 3, plus = code.Code() + 8;
    ASSERT_EQ(jump->Code, icPopJmpIfTrue);
    ASSERT_EQ(plus->Code, icPlus);
    // Patched the way a debugger does: the groups covering a patch are unfused first (the
    // addition is the last of a fused triple).
    for (PXANInstr at : {jump, plus}) {
        XANUnfuseBefore(code.Code(), code.IndexOf(at));
        at->StoreCode(icBreak);
    }
    std::vector<std::int32_t> hits;
    vm.onBreak = [&](TXANThread&, TXANCallStackFrame& f, std::uint8_t& covered) {
        hits.push_back(code.IndexOf(f.IP));
        covered = f.IP == jump ? icPopJmpIfTrue : icPlus;
        return baRunCovered;
    };
    EXPECT_EQ(vm.Call(code).VInteger, 2);
    EXPECT_EQ(hits, (std::vector<std::int32_t>{3, 8}));
    EXPECT_EQ(jump->Code, icBreak);  // the patch stays; only the copy ran with the real code
}

TEST(InterpreterBreaks, FinallyCalledFromABreakpointCopyReturnsToTheRealNextInstruction) {
    TestVM vm;
    CodeBuilder c(1);
    TXANTry* t = c.bc.BeginProtectedBlock();
    t->FFinallyLabel = c.bc.CreateLabel();
    t->FFinallyRetVar = c.bc.AddLocalVar();
    c.bc.EndProtectedBlock();
    TXANLabel* after = c.bc.CreateLabel();
    c.Lit(Variant(u"a")).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Op(icCallFinally, t);  // index 2: patched
    c.Op(icPushLocalVar, std::uintptr_t(0)).Lit(Variant(u"c")).Op(icStrConcat).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Op(icJump, after);
    c.Bind(t->FFinallyLabel);
    c.Op(icPushLocalVar, std::uintptr_t(0)).Lit(Variant(u"b")).Op(icStrConcat);  // index 8..10
    c.Op(icAssignLocalVar, std::uintptr_t(0));  // index 11: patched too, overwrites the copy
    c.Op(icFinallyRet, t);
    c.Bind(after).Op(icPushLocalVar, std::uintptr_t(0));
    TXANByteCode& code = c.ReturnTos();
    PXANInstr callFinally = code.Code() + 2, assign = code.Code() + 11;
    ASSERT_EQ(callFinally->Code, icCallFinally);
    ASSERT_EQ(assign->Code, icAssignLocalVar);
    callFinally->StoreCode(icBreak);
    assign->StoreCode(icBreak);
    vm.onBreak = [&](TXANThread&, TXANCallStackFrame& f, std::uint8_t& covered) {
        covered = f.IP == callFinally ? icCallFinally : icAssignLocalVar;
        return baRunCovered;
    };
    EXPECT_EQ(vm.Call(code).AsUString(), u"abc");
}

TEST(InterpreterBreaks, PatchedInstructionWithoutBreakpointInfoIsAnInternalError) {
    TestVM vm;
    CodeBuilder c;
    c.Op(icPush0);
    TXANByteCode& code = c.ReturnTos();
    code.Code()[0].StoreCode(icBreak);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(code); }), u"Internal error: No breakpoint info found");
}

TEST(InterpreterBreaks, CodesOutsideTheSetAreRejected) {
    TestVM vm;
    CodeBuilder c;
    c.Op(icPush0);
    TXANByteCode& code = c.ReturnTos();
    // Every byte value outside the set is rejected, the high ones too (no mask folds them
    // onto real codes).
    for (std::uint8_t bad : {std::uint8_t(XANInstrCodeCount), std::uint8_t(XANInstrCodeCount + 1), std::uint8_t(0xD0),
                             std::uint8_t(0xFF)}) {
        code.Code()[0].StoreCode(bad);
        EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(code); }), u"Internal error: Invalid instruction code")
            << int(bad);
    }
}

}  // namespace
}  // namespace xan
