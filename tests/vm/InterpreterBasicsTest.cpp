// Pushes, operators, jumps, sets and case tests, each run through the interpreter.
#include <gtest/gtest.h>

#include "platform/ole/VarErrors.h"
#include "tests/vm/CodeBuilder.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::CodeBuilder;
using vmtest::RaisedMessage;
using vmtest::TestVM;

Variant Binary(TXANInstrCode code, Variant l, Variant r) {
    CodeBuilder c;
    c.Lit(std::move(l)).Lit(std::move(r)).Op(code);
    TestVM vm;
    return vm.Call(c.ReturnTos());
}

TEST(InterpreterPushes, ConstantsLiteralsAndLocalsArePushedAsCopies) {
    CodeBuilder c(1);
    Variant constant(u"const");
    c.Op(icPush0).Op(icAssignLocalVar, std::uintptr_t(0));
    c.Lit(Variant(u"lit")).Op(icPop);
    c.Op(icPushLocalConst, &constant).Op(icPop);
    c.Op(icPushLocalVar, std::uintptr_t(0));
    TestVM vm;
    const Variant r = vm.Call(c.ReturnTos());
    ASSERT_EQ(r.VType, varInteger);
    EXPECT_EQ(r.VInteger, 0);
    EXPECT_EQ(constant.AsUString(), u"const");  // a copy was pushed, the constant stays

    CodeBuilder u;
    u.Op(icPushUnassigned);
    EXPECT_TRUE(vm.Call(u.ReturnTos()).IsEmpty());
}

TEST(InterpreterPushes, PushResultCopiesTheResultVariable) {
    CodeBuilder c;
    c.Lit(Variant(5)).Op(icAssignResult);
    c.Op(icPushResult).Op(icPushResult).Op(icPlus);
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).VInteger, 10);
}

TEST(InterpreterPushes, ReservedResultSlotsStartEmpty) {
    // 7 + 5 leaves the 5 above the stack top; a result slot reserved there must not show it.
    CodeBuilder c;
    c.Lit(Variant(7)).Lit(Variant(5)).Op(icPlus).Op(icPop);
    c.Op(icPush, std::uintptr_t(2));  // the upper slot is where the 5 was
    TestVM vm;
    EXPECT_TRUE(vm.Call(c.ReturnTos()).IsEmpty());
}

TEST(InterpreterPushes, ResultSlotsStartEmptyInEveryActivation) {
    TestVM vm;
    CodeBuilder dirty;
    dirty.Lit(Variant(u"left over")).Lit(Variant(u"x")).Op(icStrConcat);
    vm.Call(dirty.ReturnTos());
    CodeBuilder fresh;
    fresh.Op(icPush, std::uintptr_t(1));
    EXPECT_TRUE(vm.Call(fresh.ReturnTos()).IsEmpty());
    CodeBuilder nothing;  // a function that never assigns its result
    nothing.Op(icRet);
    EXPECT_TRUE(vm.Call(nothing.Finish()).IsEmpty());
}

// An activation that ends normally releases only its locals: every operator that leaves the
// loop's quick paths must leave the slots it popped Empty, or the next activation would find
// stale values in slots the pool hands out as Empty.
TEST(InterpreterPushes, EveryOperandSlotIsEmptyWhenAnActivationEnds) {
    TestVM vm;
    CodeBuilder c(1);
    c.Lit(Variant(2)).Lit(Variant(3)).Op(icPlus).Lit(Variant(4)).Op(icMultiply);
    c.Lit(Variant(9)).Op(icMod).Lit(Variant(1)).Op(icMinus).Lit(Variant(5)).Op(icLess).Op(icPop);
    c.Lit(Variant(1.5)).Lit(Variant(2.5)).Op(icPlus).Lit(Variant(u"x")).Op(icStrConcat).Op(icPop);
    c.Lit(Variant(7)).Op(icAssignLocalVar, std::uintptr_t(0)).Op(icRet);
    TXANByteCode& code = c.Finish();
    vm.Call(code);
    const std::int32_t size = code.StackSize();
    ASSERT_GE(size, 3);  // the local and two operands
    Variant* slots = vm.thread.FStackPool.AsquireStack(size);
    for (std::int32_t i = 0; i < size; ++i) EXPECT_TRUE(slots[i].IsEmpty()) << "slot " << i;
    vm.thread.FStackPool.ReleaseStack(size);
}

TEST(InterpreterOperators, ArithmeticUsesTheValueOperations) {
    EXPECT_EQ(Binary(icPlus, Variant(2), Variant(3)).VInteger, 5);
    EXPECT_EQ(Binary(icMinus, Variant(2), Variant(3)).VInteger, -1);
    EXPECT_EQ(Binary(icMultiply, Variant(6), Variant(7)).VInteger, 42);
    EXPECT_EQ(Binary(icPlus, Variant(2147483647), Variant(1)).VType, varInt64);
    EXPECT_EQ(Binary(icMultiply, Variant(2.5), Variant(2.0)).VDouble, 5.0);
    EXPECT_EQ(Binary(icPlus, Variant(1.5), Variant(1)).VDouble, 2.5);
    EXPECT_EQ(Binary(icDivide, Variant(7), Variant(2)).VDouble, 3.5);
    EXPECT_EQ(Binary(icIntDiv, Variant(7), Variant(2)).VInteger, 3);
    EXPECT_EQ(Binary(icMod, Variant(7), Variant(2)).VInteger, 1);
    EXPECT_EQ(Binary(icShl, Variant(1), Variant(4)).VInteger, 16);
    EXPECT_EQ(Binary(icShr, Variant(16), Variant(4)).VInteger, 1);
    EXPECT_EQ(Binary(icAnd, Variant(6), Variant(3)).VInteger, 2);
    EXPECT_EQ(Binary(icOr, Variant(6), Variant(3)).VInteger, 7);
    EXPECT_EQ(Binary(icXor, Variant(6), Variant(3)).VInteger, 5);
    EXPECT_EQ(Binary(icEqv, Variant(true), Variant(true)).VBoolean, VarTrue);
    EXPECT_EQ(Binary(icImp, Variant(false), Variant(false)).VBoolean, VarTrue);
    EXPECT_EQ(Binary(icPower, Variant(2), Variant(3)).VDouble, 8.0);
    EXPECT_EQ(Binary(icStrConcat, Variant(u"a"), Variant(1)).AsUString(), u"a1");
    EXPECT_EQ(RaisedMessage<EDivByZero>([] { Binary(icIntDiv, Variant(7), Variant(0)); }), u"Division by zero");
}

TEST(InterpreterOperators, UnaryOperatorsWorkInPlace) {
    TestVM vm;
    CodeBuilder neg;
    neg.Lit(Variant(true)).Op(icUnaryPlus).Op(icUnaryMinus);
    const Variant n = vm.Call(neg.ReturnTos());
    EXPECT_EQ(n.VType, varSmallint);
    EXPECT_EQ(n.VSmallInt, -1);
    CodeBuilder inv;
    inv.Lit(Variant(2.5)).Op(icUnaryNot);
    EXPECT_EQ(vm.Call(inv.ReturnTos()).VInteger, -3);
}

TEST(InterpreterOperators, ComparisonsGiveBooleans) {
    struct Case {
        TXANInstrCode code;
        Variant l, r;
        bool expected;
    };
    const Case cases[] = {
        {icGreater, Variant(3), Variant(2), true},        {icGreater, Variant(2), Variant(2), false},
        {icGreaterEqual, Variant(2), Variant(2), true},   {icLess, Variant(1.5), Variant(2), true},
        {icLessEqual, Variant(u"b"), Variant(u"a"), false}, {icEqual, Variant(2), Variant(2.0), true},
        {icNotEqual, Variant(u"a"), Variant(u"a"), false}, {icEqual, Variant(7), Variant(8), false},
        {icRefEqual, Variant(1), Variant(1), false},      {icRefNotEqual, Variant(1), Variant(2), false},
    };
    for (const Case& c : cases) {
        const Variant r = Binary(c.code, c.l, c.r);
        ASSERT_EQ(r.VType, varBoolean) << XANInstrCodeName(c.code);
        EXPECT_EQ(r.VBoolean != 0, c.expected) << XANInstrCodeName(c.code);
    }
}

TEST(InterpreterOperators, IsAsksTheHostAndDefaultsToFalse) {
    EXPECT_EQ(Binary(icIs, Variant(1), Variant(2)).VBoolean, VarFalse);
    TestVM vm;
    vm.isTest = [](const Variant& o, const Variant& t) { return o.VInteger == 1 && t.AsUString() == u"T"; };
    CodeBuilder c;
    c.Lit(Variant(1)).Lit(Variant(u"T")).Op(icIs);
    EXPECT_EQ(vm.Call(c.ReturnTos()).VBoolean, VarTrue);
}

TEST(InterpreterSets, InTestsTheLowFiveBitsOfTheElement) {
    EXPECT_EQ(Binary(icIn, Variant(33), Variant(2)).VBoolean, VarTrue);  // 33 tests bit 1
    EXPECT_EQ(Binary(icIn, Variant(0), Variant(2)).VBoolean, VarFalse);
    EXPECT_EQ(Binary(icIn, Variant(31), Variant(std::int32_t(0x80000000u))).VBoolean, VarTrue);
}

std::int32_t SetOf(std::initializer_list<std::pair<int, int>> ranges) {
    CodeBuilder c;
    c.Op(icPush0);
    for (auto [lo, hi] : ranges) {
        if (lo == hi) {
            c.Lit(Variant(lo)).Op(icAddValToSet);
        } else {
            c.Lit(Variant(lo)).Lit(Variant(hi)).Op(icAddRangeToSet);
        }
    }
    TestVM vm;
    const Variant r = vm.Call(c.ReturnTos());
    EXPECT_EQ(r.VType, varInteger);
    return r.VInteger;
}

TEST(InterpreterSets, ConstructorsSetTheirBits) {
    EXPECT_EQ(SetOf({{1, 1}, {3, 5}}), 0b111010);
    EXPECT_EQ(SetOf({{0, 31}}), -1);
    EXPECT_EQ(SetOf({{31, 31}}), std::int32_t(0x80000000u));
    EXPECT_EQ(SetOf({{30, 31}}), std::int32_t(0xC0000000u));
}

TEST(InterpreterSets, ARangeWithLowAboveHighAddsNothing) {
    EXPECT_EQ(SetOf({{5, 3}}), 0);
    EXPECT_EQ(SetOf({{2, 2}, {31, 0}}), 4);
}

TEST(InterpreterSets, ElementsOutsideZeroToThirtyOneAreRejected) {
    const UString bounds = u"Constant expression violates subrange bounds";
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([] { SetOf({{32, 32}}); }), bounds);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([] { SetOf({{-1, -1}}); }), bounds);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([] { SetOf({{3, 32}}); }), bounds);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([] { SetOf({{-2, 3}}); }), bounds);
}

// Runs "push cond; <jump> L; push 'fall'; ret-tos; L: push 'jump'; ret-tos" and reports which.
UString BranchTaken(TXANInstrCode jump, Variant a, Variant b = Variant(), bool two = false) {
    CodeBuilder c;
    TXANLabel* l = c.bc.CreateLabel();
    c.Lit(std::move(a));
    if (two) c.Lit(std::move(b));
    c.Op(jump, l).Lit(Variant(u"fall")).Op(icAssignResult).Op(icRet);
    c.Bind(l).Lit(Variant(u"jump")).Op(icAssignResult).Op(icRet);
    TestVM vm;
    return vm.Call(c.Finish()).AsUString();
}

TEST(InterpreterJumps, ConditionalJumpsConvertToBoolean) {
    EXPECT_EQ(BranchTaken(icPopJmpIfTrue, Variant(true)), u"jump");
    EXPECT_EQ(BranchTaken(icPopJmpIfTrue, Variant(0)), u"fall");
    EXPECT_EQ(BranchTaken(icPopJmpIfFalse, Variant(0)), u"jump");
    EXPECT_EQ(BranchTaken(icPopJmpIfFalse, Variant(u"True")), u"fall");
    EXPECT_EQ(BranchTaken(icPopJmpIfEqual, Variant(2), Variant(2.0), true), u"jump");
    EXPECT_EQ(BranchTaken(icPopJmpIfEqual, Variant(2), Variant(3), true), u"fall");
    EXPECT_EQ(BranchTaken(icPopJmpIfNotEqual, Variant(2), Variant(3), true), u"jump");
    EXPECT_EQ(BranchTaken(icPopJmpIfNotEqual, Variant(u"a"), Variant(u"a"), true), u"fall");
}

TEST(InterpreterJumps, ShortCircuitJumpsKeepTheirOperand) {
    for (bool value : {false, true}) {
        CodeBuilder c;
        TXANLabel* end = c.bc.CreateLabel();
        c.Lit(Variant(value)).Op(value ? icJmpIfTrue : icJmpIfFalse, end);
        c.Op(icPop).Lit(Variant(u"evaluated"));
        c.Bind(end);
        TestVM vm;
        const Variant r = vm.Call(c.ReturnTos());
        ASSERT_EQ(r.VType, varBoolean);
        EXPECT_EQ(r.VBoolean != 0, value);
    }
}

// case selector of 1: 'one'; 2..4: 'range'; else 'other'.
UString CaseOf(Variant selector) {
    CodeBuilder c;
    TXANLabel* one = c.bc.CreateLabel();
    TXANLabel* range = c.bc.CreateLabel();
    c.Lit(std::move(selector));
    c.Lit(Variant(1)).Op(icCaseJmpIfEqual, one);
    c.Lit(Variant(2)).Lit(Variant(4)).Op(icCaseJmpIfInRange, range);
    c.Op(icPop).Lit(Variant(u"other")).Op(icAssignResult).Op(icRet);
    c.Bind(one).Lit(Variant(u"one")).Op(icAssignResult).Op(icRet);
    c.Bind(range).Lit(Variant(u"range")).Op(icAssignResult).Op(icRet);
    TestVM vm;
    return vm.Call(c.Finish()).AsUString();
}

TEST(InterpreterCase, EqualAndRangeTestsJumpOrKeepTheSelector) {
    EXPECT_EQ(CaseOf(Variant(1)), u"one");
    EXPECT_EQ(CaseOf(Variant(2)), u"range");  // either bound matches
    EXPECT_EQ(CaseOf(Variant(4)), u"range");
    EXPECT_EQ(CaseOf(Variant(3.5)), u"range");
    EXPECT_EQ(CaseOf(Variant(5)), u"other");
    EXPECT_EQ(CaseOf(Variant(0)), u"other");
}

TEST(InterpreterMisc, EventHandlersComeFromTheMachine) {
    const UString name(u"OnClick");
    CodeBuilder c;
    c.Op(icEventHandlerMake, &name);
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).AsUString(), u"handler:OnClick");
}

}  // namespace
}  // namespace xan
