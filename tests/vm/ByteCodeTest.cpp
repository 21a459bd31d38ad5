#include <gtest/gtest.h>

#include "tests/vm/VmTestSupport.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/CompileError.h"

namespace xan {
namespace {

using vmtest::Raises;
using vmtest::RaisedMessage;

// A bytecode opened for emission at source position 1.
struct Emitter {
    TXANByteCode bc;
    Emitter() { bc.BeginEmit(u"Test", nullptr, 1); }
    std::int32_t IndexOf(PXANInstr p) const { return bc.IndexOf(p); }
};

TEST(ByteCodeEmit, EmptyCodeHasNoStack) {
    TXANByteCode bc;
    bc.BeginEmit(u"Empty", nullptr, 0);
    bc.AddLocalVar();
    bc.EndEmit();
    EXPECT_EQ(bc.StackSize(), 0);
    EXPECT_EQ(bc.StackLocalsOffset(), 0);
    EXPECT_EQ(bc.Count(), 0);
}

TEST(ByteCodeEmit, StackSizeIsLocalsPlusDeepestOperandStack) {
    Emitter e;
    for (int i = 0; i < 3; ++i) e.bc.AddLocalVar();
    e.bc.Emit(icPush0);
    e.bc.Emit(icPush0);
    e.bc.Emit(icPlus);
    e.bc.Emit(icAssignLocalVar, std::uintptr_t(0));
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 5);
    EXPECT_EQ(e.bc.StackLocalsOffset(), 2);
}

TEST(ByteCodeEmit, EmitRecordsOperandPositionAndBreakableFlag) {
    Emitter e;
    std::int32_t old = 0;
    e.bc.BeginSourcePos(42, old);
    EXPECT_EQ(old, 1);
    e.bc.SetNextInstrBreakable();
    e.bc.Emit(icPush, std::uintptr_t(3));
    e.bc.Emit(icPop);
    e.bc.SetNextInstrBreakable();
    e.bc.ManualResetNextInstrBreakable();
    e.bc.Emit(icPop);
    e.bc.EndSourcePos(old);
    e.bc.Emit(icRet);
    const TXANInstr* code = e.bc.Code();
    EXPECT_EQ(code[0].Code, icPush);
    EXPECT_EQ(code[0].DataInt(), 3);
    EXPECT_EQ(code[0].SourcePos(), 42u);
    EXPECT_TRUE(code[0].IsBreakable());
    EXPECT_FALSE(code[1].IsBreakable());
    EXPECT_FALSE(code[2].IsBreakable());
    EXPECT_EQ(code[3].SourcePos(), 1u);
    EXPECT_EQ(e.bc.MinSourcePos(), 0);  // starts at 0 and positions are non-negative
    EXPECT_EQ(e.bc.MaxSourcePos(), 42);
}

TEST(ByteCodeEmit, GrowingKeepsEarlierInstructions) {
    Emitter e;
    for (int i = 0; i < 1000; ++i) e.bc.Emit(icPush, std::uintptr_t(i));
    ASSERT_EQ(e.bc.Count(), 1000);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(e.bc.Code()[i].DataInt(), i);
}

TEST(ByteCodeEmit, EmittingWithoutSourcePositionIsAnAssertion) {
    TXANByteCode bc;
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { bc.Emit(icRet); }));
}

TEST(ByteCodeEmit, ParamInfoPacksIndexLowKindHigh) {
    const TXANParamInfo p{7, pkByRef};
    EXPECT_EQ(p.Pack(), (std::uintptr_t(2) << 16) | 7u);
    const TXANParamInfo q = TXANParamInfo::Unpack(p.Pack());
    EXPECT_EQ(q.Index, 7);
    EXPECT_EQ(q.Kind, pkByRef);
}

TEST(ByteCodeEmit, InstructionCodesKeepTheirNumbers) {
    EXPECT_EQ(icBreak, 0);
    EXPECT_EQ(icPushResultRef, 15);
    EXPECT_EQ(icPower, 40);
    EXPECT_EQ(icGlobCall, 52);
    EXPECT_EQ(icAssignGlobalConst, 67);
    EXPECT_EQ(isReraise, 79);
    EXPECT_EQ(icEventHandlerMake, 90);
    EXPECT_STREQ(XANInstrCodeName(icCaseJmpIfInRange), "icCaseJmpIfInRange");
    EXPECT_STREQ(XANInstrCodeName(icForDecJmpIfGE), "icForDecJmpIfGE");
    EXPECT_STREQ(XANInstrCodeName(icLocalLiteralGreaterEqual), "icLocalLiteralGreaterEqual");
    EXPECT_STREQ(XANInstrCodeName(XANInstrCodeCount), "?");
}

TEST(ByteCodeCall, OffsetsFollowArgumentsObjectAndValue) {
    Emitter e;
    TXANCall* c1 = e.bc.AddCall(5, u"F", bkRound, 2, true, false, true);
    EXPECT_EQ(c1->FArgsOffset, 1);
    EXPECT_EQ(c1->FObjectOffset, 2);
    EXPECT_EQ(c1->FResOffset, 3);
    EXPECT_EQ(c1->FResMask, 0xFFFFFFFFu);
    TXANCall* c2 = e.bc.AddCall(5, u"F", bkBlock, 2, true, true, false);
    EXPECT_EQ(c2->FArgsOffset, 2);
    EXPECT_EQ(c2->FObjectOffset, 3);
    EXPECT_EQ(c2->FResOffset, 4);
    EXPECT_EQ(c2->FResMask, 0u);
    TXANCall* c3 = e.bc.AddCall(5, u"F", bkNon, 0, false, false, true);
    EXPECT_EQ(c3->FArgsOffset, -1);
    EXPECT_EQ(c3->FObjectOffset, 0);
    EXPECT_EQ(c3->FResOffset, 0);
    EXPECT_EQ(c3->FBreakLabel, nullptr);
    EXPECT_EQ(c3->FStrName, u"F");
}

TEST(ByteCodeOperands, ForLoopAllocatesStepThenFinalThenAddress) {
    Emitter e;
    e.bc.AddLocalVar();
    TXANLabel* l = e.bc.CreateLabel();
    TXANFor* withStep = e.bc.AddFor(l, true);
    EXPECT_EQ(withStep->FStepVar, 1);
    EXPECT_EQ(withStep->FToVar, 2);
    EXPECT_EQ(withStep->FLoopVarRef, 3);
    EXPECT_EQ(withStep->FLoopLocalVar, -1);
    TXANFor* local = e.bc.AddFor(l, 0, false);
    EXPECT_EQ(local->FStepVar, -1);
    EXPECT_EQ(local->FToVar, 4);
    EXPECT_EQ(local->FLoopVarRef, 5);
    EXPECT_EQ(local->FLoopLocalVar, 0);
    EXPECT_EQ(local->FJmpLabel, l);
    EXPECT_EQ(e.bc.LocalVarCount(), 6);
    EXPECT_EQ(e.bc.AddLocalVarArray(2), 6);
    EXPECT_EQ(e.bc.AddLocalVar(), 8);
}

TEST(ByteCodeOperands, ArrayOffsetsFollowDimensions) {
    Emitter e;
    TXANArray* a = e.bc.AddArray(3, 12);
    EXPECT_EQ(a->FArgsOffset, 5);
    EXPECT_EQ(a->FDimCount, 3);
    EXPECT_EQ(a->FElemVarType, 12);
    TXANArrayRedim* r = e.bc.AddArrayRedim(2, 3, true);
    EXPECT_EQ(r->FArgsOffset, 3);
    EXPECT_EQ(r->FArrayOffset, 4);
    EXPECT_TRUE(r->FPreserve);
    EXPECT_EQ(r->FArrayLocalVar, -1);
    TXANArrayRedim* rl = e.bc.AddArrayRedim(1, 12, false, 4);
    EXPECT_EQ(rl->FArrayLocalVar, 4);
    EXPECT_FALSE(rl->FPreserve);
}

TEST(ByteCodeLabels, ResolveToInstructionAddresses) {
    Emitter e;
    TXANLabel* l = e.bc.CreateLabel();
    e.bc.Emit(icPush0);
    e.bc.Emit(icPopJmpIfFalse, l);
    e.bc.Emit(icPush0);
    e.bc.Emit(icPop);
    e.bc.BindLabel(l);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.IndexOf(l->FTarget), 4);
}

TEST(ByteCodeLabels, JumpChainsAreShortenedToTheirEnd) {
    Emitter e;
    TXANLabel* first = e.bc.CreateLabel();
    TXANLabel* second = e.bc.CreateLabel();
    TXANLabel* final = e.bc.CreateLabel();
    e.bc.Emit(icJump, first);      // 0
    e.bc.BindLabel(first);
    e.bc.Emit(icJump, second);     // 1
    e.bc.BindLabel(second);
    e.bc.Emit(icJump, final);      // 2
    e.bc.BindLabel(final);
    e.bc.Emit(icRet);              // 3
    e.bc.EndEmit();
    EXPECT_EQ(e.IndexOf(first->FTarget), 3);
    EXPECT_EQ(e.IndexOf(second->FTarget), 3);
    EXPECT_EQ(e.IndexOf(final->FTarget), 3);
}

TEST(ByteCodeLabels, JumpCycleTerminatesOnOneOfItsJumps) {
    Emitter e;
    TXANLabel* a = e.bc.CreateLabel();
    TXANLabel* b = e.bc.CreateLabel();
    TXANLabel* self = e.bc.CreateLabel();
    e.bc.Emit(icRet);          // 0
    e.bc.BindLabel(a);
    e.bc.Emit(icJump, b);      // 1
    e.bc.BindLabel(b);
    e.bc.Emit(icJump, a);      // 2
    e.bc.BindLabel(self);
    e.bc.Emit(icJump, self);   // 3
    e.bc.EndEmit();
    const std::int32_t ta = e.IndexOf(a->FTarget), tb = e.IndexOf(b->FTarget);
    EXPECT_TRUE(ta == 1 || ta == 2);
    EXPECT_TRUE(tb == 1 || tb == 2);
    EXPECT_EQ(e.IndexOf(self->FTarget), 3);
}

TEST(ByteCodeLabels, UnboundLabelUsedByAnInstructionIsAnAssertion) {
    Emitter e;
    TXANLabel* l = e.bc.CreateLabel();
    e.bc.Emit(icJump, l);
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { e.bc.EndEmit(); }));
}

TEST(ByteCodeLabels, UnusedUnboundLabelIsHarmless) {
    Emitter e;
    TXANLabel* l = e.bc.CreateLabel();
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(l->FTarget, nullptr);
}

TEST(ByteCodeStackSize, LoopWithArrayCreationConverges) {
    Emitter e;
    const std::int32_t arr = e.bc.AddLocalVar();
    TXANLabel* top = e.bc.CreateLabel();
    TXANLabel* done = e.bc.CreateLabel();
    e.bc.BindLabel(top);
    e.bc.Emit(icPushLocalVar, std::uintptr_t(arr));
    e.bc.Emit(icPopJmpIfTrue, done);
    for (int i = 0; i < 4; ++i) e.bc.Emit(icPush0);   // two bound pairs
    e.bc.Emit(icArrayCreate, e.bc.AddArray(2, 12));  // -3
    e.bc.Emit(icAssignLocalVar, std::uintptr_t(arr));
    e.bc.Emit(icPushLocalVarRef, std::uintptr_t(arr));
    e.bc.Emit(icPush0);
    e.bc.Emit(icPush0);
    e.bc.Emit(icArrayRedimLValue, e.bc.AddArrayRedim(1, 12, true));  // -3
    e.bc.Emit(icPush0);
    e.bc.Emit(icPush0);
    e.bc.Emit(icArrayRedimLocal, e.bc.AddArrayRedim(1, 12, true, arr));  // -2
    e.bc.Emit(icJump, top);
    e.bc.BindLabel(done);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 1 + 4);
}

TEST(ByteCodeStackSize, JumpTargetsTakeTheDepthOfTheirBranch) {
    Emitter e;
    TXANLabel* eq = e.bc.CreateLabel();
    TXANLabel* range = e.bc.CreateLabel();
    e.bc.Emit(icPush0);                    // selector: 1
    e.bc.Emit(icPush0);                    // 2
    e.bc.Emit(icCaseJmpIfEqual, eq);       // taken 0, else 1
    e.bc.Emit(icPush0);
    e.bc.Emit(icPush0);                    // 3
    e.bc.Emit(icCaseJmpIfInRange, range);  // taken 0, else 1
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    e.bc.BindLabel(eq);
    e.bc.BindLabel(range);
    e.bc.Emit(icPush, std::uintptr_t(4));  // from depth 0: 4
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 4);
}

TEST(ByteCodeStackSize, DeeperSecondEntryRaisesTheRecordedDepth) {
    Emitter e;
    TXANLabel* join = e.bc.CreateLabel();
    e.bc.Emit(icPush0);                 // 1
    e.bc.Emit(icJmpIfTrue, join);       // join at 1
    e.bc.Emit(icPush0);                 // 2
    e.bc.Emit(icJmpIfTrue, join);       // join at 2
    e.bc.Emit(icPop);
    e.bc.BindLabel(join);
    e.bc.Emit(icPush, std::uintptr_t(2));  // deepest: 4
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 4);
}

TEST(ByteCodeStackSize, HandlersStartEmptyAndFinallyRunsAtCallDepth) {
    Emitter e;
    TXANTry* t = e.bc.BeginProtectedBlock();
    t->FFinallyLabel = e.bc.CreateLabel();
    t->FHandlerLabel = e.bc.CreateLabel();
    t->FFinallyRetVar = e.bc.AddLocalVar();
    t->FExceptionVar = e.bc.AddLocalVarArray(2);
    TXANLabel* after = e.bc.CreateLabel();
    e.bc.Emit(icPush0);  // 1, protected
    e.bc.Emit(icPop);
    e.bc.EndProtectedBlock();
    e.bc.Emit(icPush0);                 // 1
    e.bc.Emit(icCallFinally, t);        // finally code at depth 1
    e.bc.Emit(icPop);
    e.bc.Emit(icJump, after);
    e.bc.BeginExcHdrCode(t);
    e.bc.BindLabel(t->FFinallyLabel);
    e.bc.Emit(icPush, std::uintptr_t(2));  // 1 + 2 = 3
    e.bc.Emit(icPop);
    e.bc.Emit(icPop);
    e.bc.Emit(icFinallyRet, t);
    e.bc.EndExcHdrCode(t);
    e.bc.BindLabel(t->FHandlerLabel);
    e.bc.Emit(icCallFinally, t);
    e.bc.Emit(isReraise, std::uintptr_t(t->FExceptionVar));
    e.bc.BindLabel(after);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 3 + 3);
    EXPECT_EQ(e.bc.Code()[0].TryIndex, 0);
    EXPECT_EQ(e.bc.Code()[2].TryIndex, -1);
}

TEST(ByteCodeStackSize, CallsRemoveTheirOperandsDownToTheResultSlot) {
    Emitter e;
    TXANCall* member = e.bc.AddCall(1, u"M", bkRound, 2, true, false, true);
    TXANCall* assign = e.bc.AddCall(1, u"A", bkBlock, 1, true, true, false);
    e.bc.Emit(icPush, std::uintptr_t(2));  // result + object: 2
    e.bc.Emit(icPush0);
    e.bc.Emit(icPush0);                    // 4
    e.bc.Emit(icMemberCall, member);       // 1
    e.bc.Emit(icPop);                      // 0
    e.bc.Emit(icPush0);                    // object
    e.bc.Emit(icPush0);                    // index
    e.bc.Emit(icPush0);                    // value: 3
    e.bc.Emit(icAssignMemberCall, assign); // 0
    e.bc.Emit(icPush0);                    // must be legal again at depth 0
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.StackSize(), 4);
}

TEST(ByteCodeStackSize, StackGrowingLoopIsAnAssertionNotAHang) {
    Emitter e;
    TXANLabel* top = e.bc.CreateLabel();
    e.bc.BindLabel(top);
    e.bc.Emit(icPush0);
    e.bc.Emit(icJump, top);
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { e.bc.EndEmit(); }));
}

TEST(ByteCodeStackSize, PoppingBelowTheLocalsIsAnAssertion) {
    Emitter e;
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { e.bc.EndEmit(); }));
}

TEST(ByteCodeStackSize, PatchedOrForeignCodesAreAssertions) {
    Emitter e;
    e.bc.Emit(icBreakpointJmp);
    e.bc.Emit(icRet);
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { e.bc.EndEmit(); }));
    Emitter f;
    f.bc.Emit(static_cast<TXANInstrCode>(120));
    EXPECT_TRUE(Raises<plat::EAssertionFailed>([&] { f.bc.EndEmit(); }));
}

TEST(ByteCodeTry, BlocksNestAndFillTheTryTable) {
    Emitter e;
    TXANTry* outer = e.bc.BeginProtectedBlock();
    e.bc.Emit(icPush0);
    TXANTry* inner = e.bc.BeginProtectedBlock();
    e.bc.Emit(icPop);
    e.bc.EndProtectedBlock();
    e.bc.Emit(icPush0);
    e.bc.EndProtectedBlock();
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    e.bc.BeginExcHdrCode(outer);
    e.bc.BeginExcHdrCode(inner);
    e.bc.EndExcHdrCode(inner);
    e.bc.EndExcHdrCode(outer);
    e.bc.EndEmit();
    EXPECT_EQ(inner->FParent, outer);
    EXPECT_EQ(outer->FParent, nullptr);
    EXPECT_EQ(e.bc.Code()[0].TryIndex, 0);
    EXPECT_EQ(e.bc.Code()[1].TryIndex, 1);
    EXPECT_EQ(e.bc.Code()[2].TryIndex, 0);
    EXPECT_EQ(e.bc.Code()[3].TryIndex, -1);
    ASSERT_EQ(e.bc.TryCount(), 2);
    EXPECT_EQ(e.bc.TryAt(0), outer);
    EXPECT_EQ(e.bc.TryAt(1), inner);
    // The inner handler's range lies strictly within the outer one.
    EXPECT_EQ(outer->FHdrHierLow, 0);
    EXPECT_EQ(inner->FHdrHierLow, 1);
    EXPECT_EQ(inner->FHdrHierHigh, 2);
    EXPECT_EQ(outer->FHdrHierHigh, 3);
    TXANLabel* l = e.bc.CreateLabel();
    EXPECT_EQ(outer->KnownFinallyRetCount(), 0);
    outer->AddKnownFinallyRet(l);
    EXPECT_EQ(outer->KnownFinallyRetCount(), 1);
    EXPECT_EQ(outer->GetKnownFinallyRets(0), l);
    TXANExcJump* j = e.bc.AddExcJmp(inner, l);
    EXPECT_EQ(j->FTry, inner);
    EXPECT_EQ(j->FLabel, l);
}

TEST(ByteCodeTry, The128thBlockIsTheLastThenACompileError) {
    Emitter e;
    TXANTry* last = nullptr;
    for (int i = 0; i < 128; ++i) last = e.bc.BeginProtectedBlock();  // nested 128 deep
    e.bc.Emit(icPush0);
    EXPECT_EQ(last->FIndex, 127);
    EXPECT_EQ(e.bc.Code()[0].TryIndex, 127);
    const plat::UString msg = RaisedMessage<EXANCompileBase>([&] { e.bc.BeginProtectedBlock(); });
    EXPECT_NE(msg.Find(u"at most 128"), -1) << msg.ToUtf8();
    EXPECT_EQ(e.bc.TryCount(), 128);
    for (int i = 0; i < 128; ++i) e.bc.EndProtectedBlock();
    e.bc.Emit(icPop);
    e.bc.Emit(icRet);
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.Code()[1].TryIndex, -1);
    EXPECT_EQ(e.bc.TryAt(127), last);
}

TEST(ByteCodeBreakInstr, FindsTheFirstBreakableInstructionInARange) {
    Emitter e;
    std::int32_t old = 0;
    e.bc.BeginSourcePos(10, old);
    e.bc.Emit(icPush0);  // not breakable
    e.bc.SetNextInstrBreakable();
    e.bc.BeginSourcePos(20, old);
    e.bc.Emit(icPush0);  // breakable at 20
    e.bc.Emit(icPop);
    e.bc.SetNextInstrBreakable();
    e.bc.BeginSourcePos(30, old);
    e.bc.Emit(icPop);    // breakable at 30
    e.bc.BeginSourcePos(40, old);
    e.bc.Emit(icRet);    // not breakable
    e.bc.EndEmit();
    EXPECT_EQ(e.bc.GetFirstBreakInstr(15, 20), &e.bc.Code()[1]);
    EXPECT_EQ(e.bc.GetFirstBreakInstr(20, 1), &e.bc.Code()[1]);
    EXPECT_EQ(e.bc.GetFirstBreakInstr(21, 10), &e.bc.Code()[3]);
    EXPECT_EQ(e.bc.GetFirstBreakInstr(21, 9), nullptr);     // 21..29
    EXPECT_EQ(e.bc.GetFirstBreakInstr(35, 10), nullptr);    // only a non-breakable icRet
    EXPECT_EQ(e.bc.GetFirstBreakInstr(41, 100), nullptr);   // after the last position
    EXPECT_EQ(e.bc.GetFirstBreakInstr(10, 5), nullptr);     // before the first statement
}

}  // namespace
}  // namespace xan
