// Instruction fusion: which pairs fuse, and that a fused pair computes exactly what its two
// instructions compute one after the other (results, errors and the position of the error).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "platform/ole/VarConsts.h"
#include "tests/vm/CodeBuilder.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/bytecode/Fusion.h"
#include "vm/bytecode/InstrFlow.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::CodeBuilder;
using vmtest::TestVM;

std::uintptr_t Slot(std::int32_t i) { return std::uintptr_t(i); }
const TXANParamInfo Arg0{0, pkSimple};

std::vector<std::string> Names(const TXANByteCode& code) {
    std::vector<std::string> names;
    for (int i = 0; i < code.Count(); ++i) names.push_back(XANInstrCodeName(code.Code()[i].Code));
    return names;
}

// Back to the codes the pairs had before fusion.
void Unfuse(TXANByteCode& code) {
    for (int i = 0; i < code.Count(); ++i)
        code.Code()[i].Code = XANUnfusedCode(static_cast<TXANInstrCode>(code.Code()[i].Code));
}

TEST(Fusion, PushesBeforeArithmeticAndComparisonsFuse) {
    CodeBuilder c(2);
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(icMultiply);
    c.Lit(Variant(7)).Op(icPlus);
    c.Lit(Variant(3)).Op(icMod);
    Variant konst(2);
    c.Op(icPushLocalConst, &konst).Op(icLess);
    c.Lit(Variant(1)).Op(icStrConcat);  // not a fusable operation
    TXANByteCode& code = c.ReturnTos();
    EXPECT_EQ(Names(code), (std::vector<std::string>{"icLocalLocalMultiply", "icLocalMultiply", "icMultiply",
                                                     "icLiteralPlus", "icPlus", "icLiteralMod", "icMod",
                                                     "icLiteralLess", "icLess", "icPushLiteral", "icStrConcat",
                                                     "icAssignResult", "icRet"}));
    EXPECT_EQ(XANUnfusedCode(icLocalMultiply), icPushLocalVar);
    EXPECT_EQ(XANUnfusedCode(icLiteralLess), icPushLiteral);
    EXPECT_EQ(XANUnfusedCode(icForIncJmpIfLE), icForInc);
    EXPECT_EQ(XANUnfusedCode(icPlus), icPlus);
}

TEST(Fusion, AnArgumentOrLocalPushedBeforeALiteralOperationFusesAsATriple) {
    CodeBuilder c(1);
    c.Op(icPushArg, Arg0).Lit(Variant(1)).Op(icMinus);
    c.Op(icPushLocalVar, Slot(0)).Lit(Variant(2)).Op(icLess);
    c.Op(icPushArg, Arg0).Lit(Variant(3)).Op(icMod);      // no triple: the pair remains
    c.Op(icPushLocalVar, Slot(0)).Lit(Variant(4)).Op(icEqual);
    c.Op(icPushArg, Arg0).Op(icPushLocalVar, Slot(0)).Op(icPlus);  // an argument and a local: the pair remains
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Op(icMultiply);  // two locals
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Op(icEqual);  // no such triple: the pair remains
    c.Op(icPushArg, Arg0).Op(icLessEqual);  // an argument as the right operand
    TXANByteCode& code = c.ReturnTos();
    EXPECT_EQ(Names(code), (std::vector<std::string>{
                               "icArgLiteralMinus", "icLiteralMinus", "icMinus", "icLocalLiteralLess",
                               "icLiteralLess", "icLess", "icPushArg", "icLiteralMod", "icMod", "icPushLocalVar",
                               "icLiteralEqual", "icEqual", "icPushArg", "icLocalPlus", "icPlus",
                               "icLocalLocalMultiply", "icLocalMultiply", "icMultiply", "icPushLocalVar",
                               "icPushLocalVar", "icEqual", "icArgLessEqual", "icLessEqual", "icAssignResult",
                               "icRet"}));
    EXPECT_EQ(XANUnfusedCode(icLocalLocalLess), icPushLocalVar);
    EXPECT_EQ(XANUnfusedCode(icArgLiteralMinus), icPushArg);
    EXPECT_EQ(XANUnfusedCode(icLocalLiteralGreaterEqual), icPushLocalVar);
    EXPECT_EQ(XANInstrFlow(code.Code()[0]).Effect, 1);  // the stack moves as for the lone push
}

TEST(Fusion, AnOperationAssignedToALocalFusesWithItsPushes) {
    CodeBuilder c(2);
    c.Op(icPushLocalVar, Slot(0)).Lit(Variant(1)).Op(icPlus).Op(icAssignLocalVar, Slot(0));      // x := x + 1
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(icMinus).Op(icAssignLocalVar, Slot(1));
    // No four for /: the triple at the first push wins over the one at the second.
    c.Op(icPushLocalVar, Slot(1)).Lit(Variant(2.5)).Op(icDivide).Op(icAssignLocalVar, Slot(0));
    c.Op(icPushLocalVar, Slot(0)).Op(icPushArg, Arg0).Op(icLessEqual);
    TXANByteCode& code = c.ReturnTos();
    EXPECT_EQ(Names(code), (std::vector<std::string>{
                               "icLocalLiteralPlusToLocal", "icLiteralPlusToLocal", "icPlus", "icAssignLocalVar",
                               "icLocalLocalMinusToLocal", "icLocalMinusToLocal", "icMinus", "icAssignLocalVar",
                               "icLocalLiteralDivide", "icLiteralDivide", "icDivide", "icAssignLocalVar",
                               "icLocalArgLessEqual", "icArgLessEqual", "icLessEqual", "icAssignResult", "icRet"}));
    EXPECT_EQ(XANUnfusedCode(icLocalLiteralPlusToLocal), icPushLocalVar);
    EXPECT_EQ(XANUnfusedCode(icLiteralModToLocal), icPushLiteral);
}

TEST(Fusion, AnElementAccessThroughACallSiteFusesOnlyWithOneIndexPassedByReference) {
    CodeBuilder c(2);
    TXANCall* read = c.bc.AddCall(1, u"a", bkRound, 1, false, false, true);
    TXANCall* store = c.bc.AddCall(1, u"a", bkRound, 1, false, true, false);
    TXANCall* twoArgs = c.bc.AddCall(1, u"a", bkRound, 2, false, false, true);
    c.Op(icPush, 1).Op(icPushLocalVarRef, Slot(0)).Op(icGlobCall, read).Op(icPop);           // a[i]
    c.Op(icPushLocalVarRef, Slot(0)).Lit(Variant(1)).Op(icAssignGlobCall, store);           // a[i] := 1
    c.Op(icPush, 1).Op(icPushLocalVarRef, Slot(0)).Op(icPushLocalVarRef, Slot(1)).Op(icGlobCall, twoArgs);
    c.Op(icPush, 2).Op(icPushLocalVarRef, Slot(0)).Op(icGlobCall, read).Op(icPop);           // not its shape
    TXANByteCode& code = c.ReturnTos();
    EXPECT_EQ(Names(code), (std::vector<std::string>{
                               "icReserveLocalRefCall", "icPushLocalVarRef", "icGlobCall", "icPop",
                               "icLocalRefLiteralAssignCall", "icPushLiteral", "icAssignGlobCall", "icPush",
                               "icPushLocalVarRef", "icPushLocalVarRef", "icGlobCall", "icPush", "icPushLocalVarRef",
                               "icGlobCall", "icPop", "icAssignResult", "icRet"}));
}

TEST(Fusion, PushingZeroFusesLikeALiteral) {
    CodeBuilder pair(1);
    pair.Op(icPush0).Op(icAssignLocalVar, Slot(0));  // alone: stays as it is
    pair.Op(icPushLocalVar, Slot(0)).Op(icPush0).Op(icEqual);
    TXANByteCode& equal = pair.ReturnTos();
    EXPECT_EQ(Names(equal), (std::vector<std::string>{"icPush0", "icAssignLocalVar", "icPushLocalVar",
                                                      "icLiteralEqual", "icEqual", "icAssignResult", "icRet"}));
    CodeBuilder triple;
    triple.Op(icPushArg, Arg0).Op(icPush0).Op(icLess);
    TXANByteCode& less = triple.ReturnTos();
    EXPECT_EQ(Names(less), (std::vector<std::string>{"icArgLiteralLess", "icLiteralLess", "icLess",
                                                     "icAssignResult", "icRet"}));
    // Fused, and again unfused (the push of the shared zero then does the work of icPush0).
    for (int round = 0; round < 2; ++round) {
        TestVM vm;
        EXPECT_EQ(vm.Call(equal).VBoolean, VarTrue) << round;
        Variant negative(-1), positive(1), text(u"-2");
        EXPECT_EQ(vm.Call(less, &negative).VBoolean, VarTrue) << round;
        EXPECT_EQ(vm.Call(less, &positive).VBoolean, VarFalse) << round;
        EXPECT_EQ(vm.Call(less, &text).VBoolean, VarTrue) << round;  // the general comparison
        Unfuse(equal);
        Unfuse(less);
    }
}

TEST(Fusion, AnArgumentOrLocalAssignedToTheResultGoesStraightThere) {
    // Strings (counted), references (followed) and numbers, from an argument and from a local.
    const Variant text(u"kept");
    Variant target(3.5);
    for (const Variant& value : {Variant(7), text, Variant::RefTo(&target), Variant()}) {
        for (const bool local : {false, true}) {
            CodeBuilder c(1);
            if (local) c.Op(icPushArg, Arg0).Op(icAssignLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0));
            else c.Op(icPushArg, Arg0);
            TXANByteCode& code = c.ReturnTos();
            ASSERT_EQ(code.Code()[code.Count() - 3].Code, local ? icLocalAssignResult : icArgAssignResult);
            Variant args[1] = {value};
            TestVM vm;
            const Variant got = vm.Call(code, args);
            EXPECT_EQ(VarToUString(got), VarToUString(value.Deref())) << local;
            EXPECT_FALSE(got.IsRef()) << local;  // the value, not the reference
        }
    }
    EXPECT_EQ(XANUnfusedCode(icArgAssignResult), icPushArg);
    EXPECT_EQ(XANUnfusedCode(icLocalAssignResult), icPushLocalVar);
}

TEST(Fusion, AJumpIntoATripleFindsItsLaterInstructionsIntact) {
    // A jump that lands on the literal push of "argument - 1": the pair there subtracts from
    // whatever the jump left on the stack.
    CodeBuilder c(1);
    TXANLabel* middle = c.bc.CreateLabel();
    c.Lit(Variant(100)).Op(icJump, middle);
    c.Op(icPushArg, Arg0).Bind(middle).Lit(Variant(1)).Op(icMinus);
    TXANByteCode& code = c.ReturnTos();
    ASSERT_EQ(code.Code()[2].Code, icArgLiteralMinus);
    Variant args[1] = {Variant(7)};
    TestVM vm;
    EXPECT_EQ(vm.Call(code, args).VInteger, 99);
}

TEST(Fusion, ALoopStepFusesOnlyWithItsOwnLoopsTest) {
    CodeBuilder c(2);
    TXANLabel* top = c.bc.CreateLabel();
    TXANFor* inner = c.bc.AddFor(top, 0, false);
    TXANFor* outer = c.bc.AddFor(top, 1, false);
    c.Bind(top).Op(icForInc, inner).Op(icForJmpIfLE, inner);
    c.Op(icForDec, inner).Op(icForJmpIfGE, outer);
    c.Op(icForDec, outer).Op(icForJmpIfGE, outer).Op(icRet);
    EXPECT_EQ(Names(c.Finish()), (std::vector<std::string>{"icForIncJmpIfLE", "icForJmpIfLE", "icForDec",
                                                           "icForJmpIfGE", "icForDecJmpIfGE", "icForJmpIfGE",
                                                           "icRet"}));
}

TEST(Fusion, AFusedInstructionFlowsAsItsUnfusedSelf) {
    CodeBuilder c(1);
    c.Op(icPushLocalVar, Slot(0)).Lit(Variant(1)).Op(icMinus);
    TXANByteCode& code = c.ReturnTos();
    ASSERT_EQ(code.Code()[1].Code, icLiteralMinus);
    EXPECT_EQ(XANInstrFlow(code.Code()[1]).Effect, 1);
    EXPECT_EQ(code.StackSize(), 3);  // one local, two operands
}

// The result of running code (with AArgs as its arguments), or the error it raised.
std::string Outcome(TXANByteCode& code, Variant* AArgs = nullptr) {
    TestVM vm;
    try {
        const Variant v = vm.Call(code, AArgs);
        return VarTypeNameOf(v).ToUtf8() + " " + VarToUString(v).ToUtf8();
    } catch (const RaisedException& r) {
        std::unique_ptr<Exception> e(AcquireExceptionObject(r));
        return "raised " + e->Message().ToUtf8();
    }
}

// "l op r" as a pair (r a literal, in a local, an argument) and as a triple (l an argument or a
// local, r a literal; l and r in locals): fused and unfused runs agree.
void ExpectSameAsUnfused(TXANInstrCode op, const Variant& l, const Variant& r) {
    const std::string what = std::string(XANInstrCodeName(op)) + "(" + VarToUString(l).ToUtf8() + ", " +
                             VarToUString(r).ToUtf8() + ")";
    const char* const shapes[] = {"literal", "local", "argument triple", "local triple", "two locals triple",
                                  "argument", "literal to a local", "local to a local", "local literal to a local",
                                  "two locals to a local", "local argument triple"};
    // The local the "to a local" shapes assign holds a text first: the assignment releases it.
    const Variant old(u"old");
    for (int shape = 0; shape < 11; ++shape) {
        auto build = [&](CodeBuilder& c) -> TXANByteCode& {
            if (shape >= 6 && shape <= 9) c.Lit(old).Op(icAssignLocalVar, Slot(2));
            if (shape == 0) c.Lit(l).Lit(r).Op(op);
            else if (shape == 5) c.Lit(l).Op(icPushArg, Arg0).Op(op);
            else if (shape == 6) c.Lit(l).Lit(r).Op(op).Op(icAssignLocalVar, Slot(2)).Op(icPushLocalVar, Slot(2));
            else if (shape == 7) {
                c.Lit(r).Op(icAssignLocalVar, Slot(1)).Lit(l).Op(icPushLocalVar, Slot(1)).Op(op);
                c.Op(icAssignLocalVar, Slot(2)).Op(icPushLocalVar, Slot(2));
            } else if (shape == 8) {
                c.Lit(l).Op(icAssignLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Lit(r).Op(op);
                c.Op(icAssignLocalVar, Slot(2)).Op(icPushLocalVar, Slot(2));
            } else if (shape == 9) {
                c.Lit(l).Op(icAssignLocalVar, Slot(0)).Lit(r).Op(icAssignLocalVar, Slot(1));
                c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(op);
                c.Op(icAssignLocalVar, Slot(2)).Op(icPushLocalVar, Slot(2));
            } else if (shape == 10) {
                c.Lit(l).Op(icAssignLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Op(icPushArg, Arg0).Op(op);
            }
            else if (shape == 1) c.Lit(r).Op(icAssignLocalVar, Slot(0)).Lit(l).Op(icPushLocalVar, Slot(0)).Op(op);
            else if (shape == 2) c.Op(icPushArg, Arg0).Lit(r).Op(op);
            else if (shape == 3) c.Lit(l).Op(icAssignLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Lit(r).Op(op);
            else if (shape == 4) {
                c.Lit(l).Op(icAssignLocalVar, Slot(0)).Lit(r).Op(icAssignLocalVar, Slot(1));
                c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(op);
            }
            return c.ReturnTos();
        };
        CodeBuilder fused(3), plain(3);
        TXANByteCode& fusedCode = build(fused);
        TXANByteCode& plainCode = build(plain);
        Unfuse(plainCode);
        const bool argIsRight = shape == 5 || shape == 10;
        Variant fusedArgs[1] = {argIsRight ? r : l};
        Variant plainArgs[1] = {argIsRight ? r : l};
        EXPECT_EQ(Outcome(fusedCode, fusedArgs), Outcome(plainCode, plainArgs)) << what << " (" << shapes[shape] << ")";
    }
}

TEST(Fusion, FusedPairsComputeWhatTheirInstructionsCompute) {
    const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
    const std::int32_t minInt = std::numeric_limits<std::int32_t>::min();
    const Variant values[] = {Variant(3),      Variant(-7),     Variant(0),         Variant(maxInt),
                              Variant(minInt), Variant(-1),     Variant(2.5),       Variant(-0.5),
                              Variant(u"4"),   Variant(u"ab"),  Variant(true),      Variant(),
                              Variant(std::int64_t(1) << 40),   Variant(std::int16_t(12))};
    const TXANInstrCode ops[] = {icPlus,      icMinus,   icMultiply,     icMod,   icDivide,  icLess,
                                 icLessEqual, icGreater, icGreaterEqual, icEqual, icNotEqual};
    for (const TXANInstrCode op : ops)
        for (const Variant& l : values)
            for (const Variant& r : values) ExpectSameAsUnfused(op, l, r);
}

// Runs ACode, which must raise; answers the instruction the error was reported at.
template <class Label>
PXANInstr RaisingInstr(TXANByteCode& ACode, const Label& ALabel) {
    TestVM vm;
    PXANInstr failedAt = nullptr;
    vm.handleException = [&](TXANThread&, TXANCallStackFrame& f) -> PXANInstr {
        failedAt = f.IP;
        return nullptr;
    };
    EXPECT_TRUE(vmtest::Raises<Exception>([&] { vm.Call(ACode); })) << ALabel;
    return failedAt;
}

TEST(Fusion, AnErrorInAFusedPairIsReportedAtTheSecondInstruction) {
    struct Case {
        TXANInstrCode op;
        Variant l, r;
    };
    for (const Case& k : {Case{icMinus, Variant(u"text"), Variant(1)}, Case{icMod, Variant(7), Variant(0)},
                          Case{icMultiply, Variant(u"ab"), Variant(2)}}) {
        CodeBuilder c;
        c.Lit(k.l).Lit(k.r).Op(k.op);
        TXANByteCode& code = c.ReturnTos();
        ASSERT_GE(code.Code()[1].Code, XANFirstFusedCode);
        EXPECT_EQ(RaisingInstr(code, XANInstrCodeName(k.op)), code.Code() + 2) << XANInstrCodeName(k.op);
    }
}

// "if l op r" with the comparison's Boolean consumed by the next instruction: whether the jump
// is taken, with l in a local and r pushed as a literal (a fused triple for the orderings, a
// pair for the others), from a local (fused), from a local after another push (unfused, two
// pushes before the comparison), or with l an argument and r a literal (a fused triple).
std::string BranchOutcome(TXANInstrCode op, const Variant& l, const Variant& r, int shape, TXANInstrCode jump) {
    CodeBuilder c(2);
    TXANLabel* taken = c.bc.CreateLabel();
    c.Lit(l).Op(icAssignLocalVar, Slot(0)).Lit(r).Op(icAssignLocalVar, Slot(1));
    if (shape == 0) c.Op(icPushLocalVar, Slot(0)).Lit(r);
    else if (shape == 1) c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1));
    else if (shape == 2) c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(0)).Op(icPop).Op(icPushLocalVar, Slot(1));
    else c.Op(icPushArg, Arg0).Lit(r);
    c.Op(op).Op(jump, taken);
    c.Lit(Variant(u"fell")).Op(icAssignResult).Op(icRet);
    c.Bind(taken).Lit(Variant(u"jumped")).Op(icAssignResult).Op(icRet);
    Variant args[1] = {l};
    return Outcome(c.Finish(), args);
}

TEST(Fusion, AComparisonBranchesAsItsBooleanWould) {
    const Variant values[] = {Variant(1), Variant(2), Variant(-5), Variant(1.5), Variant(u"2"), Variant()};
    const TXANInstrCode ops[] = {icLess, icLessEqual, icGreater, icGreaterEqual, icEqual, icNotEqual};
    for (const TXANInstrCode op : ops)
        for (const Variant& l : values)
            for (const Variant& r : values)
                for (const TXANInstrCode jump : {icPopJmpIfFalse, icPopJmpIfTrue}) {
                    const Variant answer = [&] {
                        CodeBuilder c;
                        c.Lit(l).Lit(r).Op(op);
                        TXANByteCode& code = c.ReturnTos();
                        Unfuse(code);
                        TestVM vm;
                        return vm.Call(code);
                    }();
                    const bool truth = answer.VBoolean != 0;
                    const std::string want = "String " + std::string(truth == (jump == icPopJmpIfTrue) ? "jumped" : "fell");
                    for (int shape = 0; shape < 4; ++shape)
                        EXPECT_EQ(BranchOutcome(op, l, r, shape, jump), want)
                            << XANInstrCodeName(op) << " " << XANInstrCodeName(jump) << " shape " << shape << " ("
                            << VarToUString(l).ToUtf8() << ", " << VarToUString(r).ToUtf8() << ")";
                }
}

// Runs ACode with a breakpoint patched onto AAt, the way a debugger does (the groups covering it
// unfused and the covered code saved first, run as a copy when hit); answers the result and
// counts the hits.
Variant RunWithBreakpoint(TXANByteCode& ACode, PXANInstr AAt, int& AHits) {
    XANUnfuseBefore(ACode.Code(), static_cast<std::int32_t>(AAt - ACode.Code()));
    const std::uint8_t covered = AAt->Code;
    AAt->StoreCode(icBreak);
    TestVM vm;
    AHits = 0;
    vm.onBreak = [&](TXANThread&, TXANCallStackFrame& f, std::uint8_t& code) {
        EXPECT_EQ(f.IP, AAt);
        ++AHits;
        code = covered;
        return baRunCovered;
    };
    return vm.Call(ACode);
}

TEST(Fusion, ABreakpointOnTheBranchAfterAComparisonIsHonoured) {
    CodeBuilder c(1);
    TXANLabel* taken = c.bc.CreateLabel();
    c.Lit(Variant(1)).Op(icAssignLocalVar, Slot(0));
    c.Op(icPushLocalVar, Slot(0)).Lit(Variant(2)).Op(icLess).Op(icPopJmpIfTrue, taken);  // the jump: index 5
    c.Lit(Variant(u"fell")).Op(icAssignResult).Op(icRet);
    c.Bind(taken).Lit(Variant(u"jumped")).Op(icAssignResult).Op(icRet);
    TXANByteCode& code = c.Finish();
    PXANInstr jump = code.Code() + 5;
    ASSERT_EQ(jump->Code, icPopJmpIfTrue);
    int hits = 0;
    EXPECT_EQ(RunWithBreakpoint(code, jump, hits).AsUString(), u"jumped");
    EXPECT_EQ(hits, 1);
}

// for i := from to last (or downto) with a fused step: the sum of the values taken.
Variant LoopSum(Variant from, Variant last, bool downward) {
    CodeBuilder c(2);  // 0: i, 1: sum
    TXANLabel* body = c.bc.CreateLabel();
    TXANLabel* exit = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(body, 0, false);
    const TXANInstrCode jump = downward ? icForJmpIfGE : icForJmpIfLE;
    c.Op(icPush0).Op(icAssignLocalVar, Slot(1));
    c.Lit(std::move(last)).Op(icAssignLocalVar, Slot(loop->FToVar));
    c.Lit(std::move(from)).Op(icForInitLocal, loop);
    c.Op(jump, loop).Op(icJump, exit);
    c.Bind(body);
    c.Op(icPushLocalVar, Slot(1)).Op(icPushLocalVar, Slot(0)).Op(icPlus).Op(icAssignLocalVar, Slot(1));
    c.Op(downward ? icForDec : icForInc, loop).Op(jump, loop);
    c.Bind(exit).Op(icPushLocalVar, Slot(1));
    TXANByteCode& code = c.ReturnTos();
    EXPECT_EQ(code.Code()[code.Count() - 5].Code, downward ? icForDecJmpIfGE : icForIncJmpIfLE);
    TestVM vm;
    return vm.Call(code);
}

TEST(Fusion, FusedLoopStepsStopAtTheEndsOfTheIntegerRange) {
    const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
    const std::int32_t minInt = std::numeric_limits<std::int32_t>::min();
    // The last step leaves the 32-bit range: the loop must still end, not wrap around.
    const Variant up = LoopSum(Variant(maxInt - 2), Variant(maxInt), false);
    EXPECT_DOUBLE_EQ(VarToDouble(up), 3.0 * maxInt - 3.0);
    const Variant down = LoopSum(Variant(minInt + 2), Variant(minInt), true);
    EXPECT_DOUBLE_EQ(VarToDouble(down), 3.0 * minInt + 3.0);
    EXPECT_EQ(LoopSum(Variant(1), Variant(100), false).VInteger, 5050);
    EXPECT_EQ(LoopSum(Variant(100), Variant(1), true).VInteger, 5050);
    EXPECT_DOUBLE_EQ(VarToDouble(LoopSum(Variant(0.5), Variant(3), false)), 0.5 + 1.5 + 2.5);
    EXPECT_EQ(VarToDouble(LoopSum(Variant(1), Variant(2.5), false)), 3.0);  // a non-integer end
}

TEST(Fusion, ABreakpointOnAnyInstructionOfAFusedGroupIsHonoured) {
    for (const int patched : {2, 3, 4}) {
        CodeBuilder c(1);
        c.Lit(Variant(10)).Op(icAssignLocalVar, Slot(0));
        c.Op(icPushLocalVar, Slot(0)).Lit(Variant(5)).Op(icPlus);
        TXANByteCode& code = c.ReturnTos();
        ASSERT_EQ(code.Code()[2].Code, icLocalLiteralPlus);
        ASSERT_EQ(code.Code()[3].Code, icLiteralPlus);
        int hits = 0;
        EXPECT_EQ(RunWithBreakpoint(code, code.Code() + patched, hits).VInteger, 15) << patched;
        EXPECT_EQ(hits, 1) << patched;
    }
}

TEST(Fusion, UnfusingBeforeAPatchRestoresOnlyTheGroupsThatCoverIt) {
    // 0-2: local + literal triple; 3-4: literal + plus pair; 5-6: arg => result pair.
    auto build = [](CodeBuilder& c) -> TXANByteCode& {
        c.Op(icPushLocalVar, Slot(0)).Lit(Variant(1)).Op(icPlus);
        c.Lit(Variant(2)).Op(icPlus);
        c.Op(icPushArg, TXANParamInfo{0, pkSimple}).Op(icAssignResult).Op(icRet);
        return c.Finish();
    };
    auto codes = [](const TXANByteCode& code) {
        std::vector<int> out;
        for (std::int32_t i = 0; i < code.Count(); ++i) out.push_back(code.Code()[i].Code);
        return out;
    };
    const std::vector<int> fused = {icLocalLiteralPlus, icLiteralPlus, icPlus, icLiteralPlus, icPlus,
                                    icArgAssignResult, icAssignResult, icRet};
    const std::vector<int> tripleUnfused = {icPushLocalVar, icPushLiteral, icPlus, icLiteralPlus, icPlus,
                                            icArgAssignResult, icAssignResult, icRet};
    const std::vector<int> headOnly = {icPushLocalVar, icLiteralPlus, icPlus, icLiteralPlus, icPlus,
                                       icArgAssignResult, icAssignResult, icRet};
    struct Case {
        std::int32_t at;
        std::vector<int> want;
    };
    const Case cases[] = {
        {0, fused},          // a head: its own patch stops it, nothing to unfuse
        {1, headOnly},       // the literal push of the triple: the triple's head only
        {2, tripleUnfused},  // the triple's operation: the head and the pair inside it
        {3, fused},          // the head of the next pair: the triple before is not touched
        {4, {icLocalLiteralPlus, icLiteralPlus, icPlus, icPushLiteral, icPlus, icArgAssignResult,
             icAssignResult, icRet}},
        {6, {icLocalLiteralPlus, icLiteralPlus, icPlus, icLiteralPlus, icPlus, icPushArg, icAssignResult,
             icRet}},
        {7, fused},  // after a pair: not covered
    };
    for (const Case& each : cases) {
        CodeBuilder c(1);
        TXANByteCode& code = build(c);
        ASSERT_EQ(codes(code), fused);
        XANUnfuseBefore(code.Code(), each.at);
        EXPECT_EQ(codes(code), each.want) << each.at;
    }
}

TEST(Fusion, UnfusingBeforeAPatchReachesBackOverAGroupOfFour) {
    // 0-3: x := x + 1 (a four, with the triple "literal, plus, assign" inside it at 1).
    const std::vector<int> fused = {icLocalLiteralPlusToLocal, icLiteralPlusToLocal, icPlus, icAssignLocalVar};
    const std::vector<int> plain = {icPushLocalVar, icPushLiteral, icPlus, icAssignLocalVar};
    for (std::int32_t at = 0; at < 5; ++at) {
        CodeBuilder c(1);
        c.Op(icPushLocalVar, Slot(0)).Lit(Variant(1)).Op(icPlus).Op(icAssignLocalVar, Slot(0)).Op(icRet);
        TXANByteCode& code = c.Finish();
        XANUnfuseBefore(code.Code(), at);
        std::vector<int> got;
        for (std::int32_t i = 0; i < 4; ++i) got.push_back(code.Code()[i].Code);
        std::vector<int> want = at == 0 || at == 4 ? fused : plain;
        if (at == 1) want[1] = icLiteralPlusToLocal;  // the patched head stops its own group
        EXPECT_EQ(got, want) << at;
    }
}

TEST(Fusion, ABreakpointOnAFusedHeadRunsItUnfused) {
    // The copy of a patched head must not run into the jump back as if it were its group: the
    // triple's head (2) and the pair inside it (3).
    for (const int patched : {2, 3}) {
        CodeBuilder c(1);
        c.Lit(Variant(10)).Op(icAssignLocalVar, Slot(0));
        c.Op(icPushLocalVar, Slot(0)).Lit(Variant(5)).Op(icLess);
        TXANByteCode& code = c.ReturnTos();
        ASSERT_EQ(code.Code()[2].Code, icLocalLiteralLess);
        int hits = 0;
        EXPECT_EQ(RunWithBreakpoint(code, code.Code() + patched, hits).VBoolean, VarFalse) << patched;
        EXPECT_EQ(hits, 1) << patched;
    }
}

// "a op1 b * c ..." as the loop of bench/compare's loops has it: a, b, c in locals pushed before
// op1 (a push before a fused triple), then op2 on the stack heading "push k, op3" (an operation
// before a literal operation). Answers the code; the set-up stores a, b and c.
TXANByteCode& BuildChain(CodeBuilder& c, const TXANInstrCode (&ops)[3], const Variant& a, const Variant& b,
                         const Variant& cv, const Variant& k) {
    c.Lit(a).Op(icAssignLocalVar, Slot(0)).Lit(b).Op(icAssignLocalVar, Slot(1));
    c.Lit(cv).Op(icAssignLocalVar, Slot(2));
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(icPushLocalVar, Slot(2)).Op(ops[0]);
    c.Op(ops[1]).Lit(k).Op(ops[2]);
    return c.ReturnTos();
}
constexpr int ChainStart = 6;  // the first push of the chain

TEST(Fusion, APushBeforeATripleAndAnOperationBeforeALiteralOperationFuse) {
    CodeBuilder c(3);
    TXANByteCode& code = BuildChain(c, {icMultiply, icPlus, icMinus}, Variant(1), Variant(2), Variant(3), Variant(4));
    const std::vector<std::string> names = Names(code);
    EXPECT_EQ(std::vector<std::string>(names.begin() + ChainStart, names.end()),
              (std::vector<std::string>{"icLocalLocalLocalMultiply", "icLocalLocalMultiply", "icLocalMultiply",
                                        "icMultiply", "icPlusLiteralMinus", "icLiteralMinus", "icMinus",
                                        "icAssignResult", "icRet"}));
    EXPECT_EQ(XANUnfusedCode(icLocalLocalLocalPlus), icPushLocalVar);
    EXPECT_EQ(XANUnfusedCode(icMultiplyLiteralPlus), icMultiply);
    EXPECT_EQ(XANInstrFlow(code.Code()[ChainStart + 4]).Effect, -1);  // the stack moves as for the operation
}

TEST(Fusion, ChainedGroupsComputeWhatTheirInstructionsCompute) {
    const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
    const Variant values[] = {Variant(3),      Variant(-7),    Variant(0),        Variant(maxInt),
                              Variant(-1),     Variant(2.5),   Variant(-0.5),     Variant(u"4"),
                              Variant(u"ab"),  Variant(true),  Variant(),         Variant(std::int64_t(1) << 40),
                              Variant(std::int16_t(12))};
    const Variant thirds[] = {Variant(3), Variant(65536), Variant(2.5), Variant(u"4"), Variant()};
    const Variant literals[] = {Variant(7), Variant(maxInt), Variant(0.5), Variant(u"x")};
    const TXANInstrCode opSets[][3] = {{icMultiply, icPlus, icPlus}, {icPlus, icMinus, icMinus},
                                       {icMinus, icMultiply, icPlus}, {icMultiply, icMultiply, icMinus}};
    for (const auto& ops : opSets)
        for (const Variant& a : values)
            for (const Variant& b : values)
                for (const Variant& cv : thirds)
                    for (const Variant& k : literals) {
                        CodeBuilder fused(3), plain(3);
                        TXANByteCode& fusedCode = BuildChain(fused, ops, a, b, cv, k);
                        TXANByteCode& plainCode = BuildChain(plain, ops, a, b, cv, k);
                        Unfuse(plainCode);
                        EXPECT_EQ(Outcome(fusedCode), Outcome(plainCode))
                            << XANInstrCodeName(ops[0]) << XANInstrCodeName(ops[1]) << XANInstrCodeName(ops[2]) << " ("
                            << VarToUString(a).ToUtf8() << ", " << VarToUString(b).ToUtf8() << ", "
                            << VarToUString(cv).ToUtf8() << ", " << VarToUString(k).ToUtf8() << ")";
                    }
}

TEST(Fusion, AnErrorInAChainIsReportedAtTheOperationThatFailed) {
    struct Case {
        Variant a, k;
        int failedAt;  // from the chain's first push
    };
    for (const Case& e : {Case{Variant(u"text"), Variant(1), 4}, Case{Variant(1), Variant(u"text"), 6}}) {
        CodeBuilder c(3);
        TXANByteCode& code = BuildChain(c, {icMultiply, icMinus, icMinus}, e.a, Variant(2), Variant(3), e.k);
        EXPECT_EQ(RaisingInstr(code, e.failedAt), code.Code() + ChainStart + e.failedAt);
    }
}

TEST(Fusion, ABreakpointOnAnyInstructionOfAChainIsHonoured) {
    for (int patched = ChainStart; patched <= ChainStart + 6; ++patched) {
        CodeBuilder c(3);
        TXANByteCode& code = BuildChain(c, {icMultiply, icPlus, icPlus}, Variant(1), Variant(2), Variant(3), Variant(7));
        int hits = 0;
        EXPECT_EQ(RunWithBreakpoint(code, code.Code() + patched, hits).VInteger, 14) << patched;
        EXPECT_EQ(hits, 1) << patched;
    }
}

TEST(Fusion, AnElementReadWithALiteralIndexFuses) {
    CodeBuilder c(1);
    TXANCall* read = c.bc.AddCall(1, u"a", bkRound, 1, false, false, true);
    c.Op(icPush, 1).Lit(Variant(2)).Op(icGlobCall, read).Op(icPop);  // a[2]
    c.Op(icPush, 1).Op(icPush0).Op(icGlobCall, read);                // a[0]
    EXPECT_EQ(Names(c.ReturnTos()), (std::vector<std::string>{"icReserveLiteralCall", "icPushLiteral", "icGlobCall",
                                                              "icPop", "icReserveLiteralCall", "icPush0",
                                                              "icGlobCall", "icAssignResult", "icRet"}));
}

// "target := (a op2 b op1 c op3 k1) op4 k2" with a, b, c in locals 0-2, the whole statement of
// bench/compare's loops: answers the code, which returns the target local. The set-up stores a,
// b and c, and a text in the target when it is local 3 (the assignment releases it).
TXANByteCode& BuildStatement(CodeBuilder& c, TXANInstrCode op3, const Variant& a, const Variant& b,
                             const Variant& cv, const Variant& k1, const Variant& k2, std::int32_t target) {
    c.Lit(a).Op(icAssignLocalVar, Slot(0)).Lit(b).Op(icAssignLocalVar, Slot(1));
    c.Lit(cv).Op(icAssignLocalVar, Slot(2)).Lit(Variant(u"old")).Op(icAssignLocalVar, Slot(3));
    c.Op(icPushLocalVar, Slot(0)).Op(icPushLocalVar, Slot(1)).Op(icPushLocalVar, Slot(2)).Op(icMultiply);
    c.Op(icPlus).Lit(k1).Op(op3).Lit(k2).Op(icMod).Op(icAssignLocalVar, Slot(target));
    c.Op(icPushLocalVar, Slot(target));
    return c.ReturnTos();
}
constexpr int StatementStart = 8;  // the statement's first push

TEST(Fusion, AStatementOfThreeLocalsAndTwoLiteralsFusesWhole) {
    CodeBuilder c(4);
    TXANByteCode& code = BuildStatement(c, icPlus, Variant(1), Variant(2), Variant(3), Variant(7), Variant(5), 0);
    const std::vector<std::string> names = Names(code);
    EXPECT_EQ(std::vector<std::string>(names.begin() + StatementStart, names.begin() + StatementStart + 10),
              (std::vector<std::string>{"icLocalsMultiplyPlusPlusModToLocal", "icLocalLocalMultiply",
                                        "icLocalMultiply", "icMultiply", "icPlusLiteralPlus", "icLiteralPlus",
                                        "icPlus", "icLiteralModToLocal", "icMod", "icAssignLocalVar"}));
    EXPECT_EQ(XANUnfusedCode(icLocalsMultiplyPlusMinusModToLocal), icPushLocalVar);
    EXPECT_EQ(XANInstrFlow(code.Code()[StatementStart]).Effect, 1);  // the stack moves as for the push
}

TEST(Fusion, FusedStatementsComputeWhatTheirInstructionsCompute) {
    const std::int32_t maxInt = std::numeric_limits<std::int32_t>::max();
    const std::int32_t minInt = std::numeric_limits<std::int32_t>::min();
    const Variant values[] = {Variant(3),        Variant(-7),      Variant(0),      Variant(maxInt),
                              Variant(minInt),   Variant(-1),      Variant(65536),  Variant(2.5),
                              Variant(u"4"),     Variant(u"ab"),   Variant(true),   Variant(),
                              Variant(std::int64_t(1) << 40)};
    const Variant seconds[] = {Variant(3), Variant(65536), Variant(-1), Variant(maxInt), Variant(2.5),
                               Variant(u"4"), Variant()};
    const Variant thirds[] = {Variant(3), Variant(65536), Variant(-1), Variant(0.5), Variant()};
    const Variant addends[] = {Variant(7), Variant(maxInt), Variant(minInt), Variant(0.5), Variant(u"x")};
    const Variant divisors[] = {Variant(1000003), Variant(0), Variant(-1), Variant(1), Variant(2.5), Variant()};
    // The sum into one of its operands, the difference into a local that held a text.
    struct Form {
        TXANInstrCode op3;
        std::int32_t target;
    };
    for (const Form form : {Form{icPlus, 0}, Form{icMinus, 3}})
        for (const Variant& a : values)
            for (const Variant& b : seconds)
                for (const Variant& cv : thirds)
                    for (const Variant& k1 : addends)
                        for (const Variant& k2 : divisors) {
                            const TXANInstrCode op3 = form.op3;
                            const std::int32_t target = form.target;
                            CodeBuilder fused(4), plain(4);
                            TXANByteCode& fusedCode = BuildStatement(fused, op3, a, b, cv, k1, k2, target);
                            ASSERT_GE(fusedCode.Code()[StatementStart].Code, XANFirstFusedCode);
                            TXANByteCode& plainCode = BuildStatement(plain, op3, a, b, cv, k1, k2, target);
                            Unfuse(plainCode);
                            EXPECT_EQ(Outcome(fusedCode), Outcome(plainCode))
                                << XANInstrCodeName(op3) << " into " << target << " ("
                                << VarToUString(a).ToUtf8() << ", " << VarToUString(b).ToUtf8() << ", "
                                << VarToUString(cv).ToUtf8() << ", " << VarToUString(k1).ToUtf8() << ", "
                                << VarToUString(k2).ToUtf8() << ")";
                        }
}

TEST(Fusion, AnErrorInAFusedStatementIsReportedAtTheOperationThatFailed) {
    struct Case {
        Variant a, k1, k2;
        int failedAt;  // from the statement's first push
    };
    for (const Case& e : {Case{Variant(u"text"), Variant(7), Variant(5), 4},
                          Case{Variant(1), Variant(u"text"), Variant(5), 6},
                          Case{Variant(1), Variant(7), Variant(0), 8}}) {
        CodeBuilder c(4);
        TXANByteCode& code = BuildStatement(c, icPlus, e.a, Variant(2), Variant(3), e.k1, e.k2, 0);
        EXPECT_EQ(RaisingInstr(code, e.failedAt), code.Code() + StatementStart + e.failedAt);
    }
}

TEST(Fusion, ABreakpointOnAnyInstructionOfAFusedStatementIsHonoured) {
    for (int patched = StatementStart; patched < StatementStart + 10; ++patched) {
        CodeBuilder c(4);
        TXANByteCode& code = BuildStatement(c, icPlus, Variant(10), Variant(2), Variant(3), Variant(7), Variant(5), 0);
        ASSERT_EQ(code.Code()[StatementStart].Code, icLocalsMultiplyPlusPlusModToLocal);
        int hits = 0;
        EXPECT_EQ(RunWithBreakpoint(code, code.Code() + patched, hits).VInteger, 23 % 5) << patched;
        EXPECT_EQ(hits, 1) << patched;
    }
}

}  // namespace
}  // namespace xan
