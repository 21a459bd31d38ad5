// References, parameters, assignments, for loops, arrays and globals through the interpreter.
#include <gtest/gtest.h>

#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"
#include "tests/vm/CodeBuilder.h"
#include "tests/vm/VmTestSupport.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/interp/VMErrors.h"

namespace xan {
namespace {

using namespace plat;
using vmtest::CodeBuilder;
using vmtest::RaisedMessage;
using vmtest::TestVM;

constexpr std::uintptr_t Slot(int i) { return std::uintptr_t(i); }

TEST(InterpreterRefs, AssignThroughAReferenceToALocal) {
    CodeBuilder c(1);
    c.Op(icPushLocalVarRef, Slot(0)).Lit(Variant(u"via ref")).Op(icAssignLValue);
    c.Op(icPushLocalVar, Slot(0));
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).AsUString(), u"via ref");
}

TEST(InterpreterRefs, AssignThroughAReferenceToTheResult) {
    CodeBuilder c;
    c.Op(icPushResultRef).Lit(Variant(9)).Op(icAssignLValue).Op(icRet);
    TestVM vm;
    EXPECT_EQ(vm.Call(c.Finish()).VInteger, 9);
}

TEST(InterpreterRefs, AssignLValueNeedsAReference) {
    CodeBuilder c;
    c.Lit(Variant(1)).Lit(Variant(2)).Op(icAssignLValue).Op(icRet);
    TestVM vm;
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(c.Finish()); }), u"Invalid assignment");
}

TEST(InterpreterRefs, AssignLValueCopiesAReferencedValueNotTheReference) {
    CodeBuilder c(2);
    c.Lit(Variant(5)).Op(icAssignLocalVar, Slot(1));
    c.Op(icPushLocalVarRef, Slot(0)).Op(icPushLocalVarRef, Slot(1)).Op(icAssignLValue);
    c.Lit(Variant(6)).Op(icAssignLocalVar, Slot(1));  // later change of the source
    c.Op(icPushLocalVar, Slot(0));
    TestVM vm;
    const Variant r = vm.Call(c.ReturnTos());
    ASSERT_EQ(r.VType, varInteger);
    EXPECT_EQ(r.VInteger, 5);
}

// The callee's view of argument 0 of kind `kind`: "arg := 'changed'" (or through a reference).
void AssignArg(TXANParamKind kind, Variant* args, bool throughRef) {
    CodeBuilder c;
    if (throughRef)
        c.Op(icPushArgRef, TXANParamInfo{0, kind}).Lit(Variant(u"changed")).Op(icAssignLValue);
    else
        c.Lit(Variant(u"changed")).Op(icAssignArg, TXANParamInfo{0, kind});
    c.Op(icPushArg, TXANParamInfo{0, kind});
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos(), args).AsUString(), u"changed");
}

TEST(InterpreterParams, ByValueParameterPassedByReferenceLeavesTheCallerAlone) {
    for (bool throughRef : {false, true}) {
        Variant callerVar(u"original");
        Variant args[1] = {Variant::RefTo(&callerVar)};
        AssignArg(pkSimple, args, throughRef);
        EXPECT_EQ(callerVar.AsUString(), u"original") << throughRef;
    }
}

TEST(InterpreterParams, ByReferenceParameterWritesThroughTheChain) {
    for (bool throughRef : {false, true}) {
        Variant callerVar(u"original");
        Variant middle = Variant::RefTo(&callerVar);
        Variant args[1] = {Variant::RefTo(&middle)};
        AssignArg(pkByRef, args, throughRef);
        EXPECT_EQ(callerVar.AsUString(), u"changed") << throughRef;
        EXPECT_TRUE(middle.IsRef());
    }
}

TEST(InterpreterParams, ConstParametersCannotBeAssigned) {
    Variant args[1] = {Variant(1)};
    CodeBuilder c;
    c.Lit(Variant(2)).Op(icAssignArg, TXANParamInfo{0, pkConst}).Op(icRet);
    TestVM vm;
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(c.Finish(), args); }), u"Invalid assignment");
    // A reference to a const parameter is a copy: assigning through it is refused too.
    CodeBuilder r;
    r.Op(icPushArgRef, TXANParamInfo{0, pkConst}).Lit(Variant(2)).Op(icAssignLValue).Op(icRet);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(r.Finish(), args); }), u"Invalid assignment");
    EXPECT_EQ(args[0].VInteger, 1);
}

TEST(InterpreterParams, PushArgFollowsReferences) {
    Variant callerVar(41);
    Variant args[2] = {Variant::RefTo(&callerVar), Variant(1)};
    CodeBuilder c;
    c.Op(icPushArg, TXANParamInfo{0, pkByRef}).Op(icPushArg, TXANParamInfo{1, pkSimple}).Op(icPlus);
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos(), args).VInteger, 42);
}

TEST(InterpreterGlobals, AssignGlobalVariableAndConstantMoveTheValue) {
    TXANVarObject var(1, u"G");
    TXANConstObject konst(2, u"K");
    CodeBuilder c;
    c.Lit(Variant(u"global")).Op(icAssignGlobalVar, &var);
    c.Lit(Variant(3)).Op(icAssignGlobalConst, &konst).Op(icRet);
    TestVM vm;
    vm.Call(c.Finish());
    EXPECT_EQ(var.Value.AsUString(), u"global");
    EXPECT_EQ(konst.Value.VInteger, 3);
}

// for i := from to/downto last [step s] do sum := sum + i; answers sum (local loop variable).
Variant ForSum(Variant from, Variant last, TXANInstrCode jump, TXANInstrCode next, Variant step = Variant()) {
    CodeBuilder c(2);  // 0: i, 1: sum
    TXANLabel* body = c.bc.CreateLabel();
    TXANLabel* exit = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(body, 0, jump == icForJmpStep);
    c.Op(icPush0).Op(icAssignLocalVar, Slot(1));
    if (loop->FStepVar >= 0) c.Lit(std::move(step)).Op(icAssignLocalVar, Slot(loop->FStepVar));
    c.Lit(std::move(last)).Op(icAssignLocalVar, Slot(loop->FToVar));
    c.Lit(std::move(from)).Op(icForInitLocal, loop);
    // Entry test: jump into the body when the first value is in range, else leave.
    c.Op(jump, loop).Op(icJump, exit);
    c.Bind(body);
    c.Op(icPushLocalVar, Slot(1)).Op(icPushLocalVar, Slot(0)).Op(icPlus).Op(icAssignLocalVar, Slot(1));
    c.Op(next, loop).Op(jump, loop);
    c.Bind(exit).Op(icPushLocalVar, Slot(1));
    TestVM vm;
    return vm.Call(c.ReturnTos());
}

TEST(InterpreterFor, UpwardDownwardAndSteppedLoops) {
    EXPECT_EQ(ForSum(Variant(1), Variant(10), icForJmpIfLE, icForInc).VInteger, 55);
    EXPECT_EQ(ForSum(Variant(10), Variant(1), icForJmpIfGE, icForDec).VInteger, 55);
    EXPECT_EQ(ForSum(Variant(5), Variant(1), icForJmpIfLE, icForInc).VInteger, 0);  // never entered
    EXPECT_EQ(ForSum(Variant(0), Variant(10), icForJmpStep, icForIncStep, Variant(5)).VInteger, 15);
    EXPECT_EQ(ForSum(Variant(10), Variant(0), icForJmpStep, icForIncStep, Variant(-5)).VInteger, 15);
    EXPECT_DOUBLE_EQ(ForSum(Variant(0.5), Variant(2), icForJmpIfLE, icForInc).VDouble, 0.5 + 1.5);
}

TEST(InterpreterFor, StepZeroCountsAsUpward) {
    // With a step of 0 the variable never moves: the jump is taken while it is <= the final value.
    CodeBuilder c(1);
    TXANLabel* taken = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(taken, 0, true);
    c.Op(icPush0).Op(icAssignLocalVar, Slot(loop->FStepVar));
    c.Lit(Variant(3)).Op(icAssignLocalVar, Slot(loop->FToVar));
    c.Lit(Variant(3)).Op(icForInitLocal, loop);
    c.Op(icForIncStep, loop).Op(icForJmpStep, loop);
    c.Lit(Variant(u"fell through")).Op(icAssignResult).Op(icRet);
    c.Bind(taken).Lit(Variant(u"jumped")).Op(icAssignResult).Op(icRet);
    TestVM vm;
    EXPECT_EQ(vm.Call(c.Finish()).AsUString(), u"jumped");
}

TEST(InterpreterFor, LoopVariableByReferenceAndItsCheck) {
    CodeBuilder c(1);
    TXANLabel* body = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(body, false);
    c.Lit(Variant(4)).Op(icAssignLocalVar, Slot(loop->FToVar));
    c.Op(icPushLocalVarRef, Slot(0)).Lit(Variant(1)).Op(icForInitLValue, loop);
    c.Bind(body).Op(icForInc, loop).Op(icForJmpIfLE, loop);
    c.Op(icPushLocalVar, Slot(0));
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).VInteger, 5);

    CodeBuilder bad(1);
    TXANFor* loop2 = bad.bc.AddFor(bad.bc.CreateLabel(), false);
    bad.Lit(Variant(1)).Lit(Variant(1)).Op(icForInitLValue, loop2).Op(icRet);
    loop2->FJmpLabel = nullptr;
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(bad.Finish()); }),
              u"For loop control variable must be simple local variable");
}

TEST(InterpreterFor, IncrementPastIntegerRangeWidens) {
    CodeBuilder c(1);
    TXANLabel* never = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(never, 0, false);
    c.Lit(Variant(2147483647)).Op(icForInitLocal, loop).Op(icForInc, loop);
    c.Op(icPushLocalVar, Slot(0)).Op(icAssignResult).Op(icRet);
    c.Bind(never).Op(icRet);
    TestVM vm;
    const Variant r = vm.Call(c.Finish());
    EXPECT_EQ(VarToInt64(r), 2147483648LL);
}

// Bounds pairs for the array instructions.
void PushBounds(CodeBuilder& c, std::initializer_list<std::pair<Variant, Variant>> dims) {
    for (const auto& [lo, hi] : dims) c.Lit(lo).Lit(hi);
}

TEST(InterpreterArrays, CreateWithBoundsAndElementType) {
    CodeBuilder c;
    PushBounds(c, {{Variant(1), Variant(3)}, {Variant(0), Variant(u"4")}});
    c.Op(icArrayCreate, c.bc.AddArray(2, varInteger));
    TestVM vm;
    const Variant a = vm.Call(c.ReturnTos());
    ASSERT_TRUE(a.IsArray());
    EXPECT_EQ(a.VType, varArray | varInteger);
    EXPECT_EQ(a.Array().DimCount(), 2);
    EXPECT_EQ(a.Array().Low(1), 1);
    EXPECT_EQ(a.Array().High(1), 3);
    EXPECT_EQ(a.Array().Low(2), 0);
    EXPECT_EQ(a.Array().High(2), 4);
}

TEST(InterpreterArrays, EmptyDimensionIsAllowedNegativeCountIsNot) {
    TestVM vm;
    CodeBuilder empty;
    PushBounds(empty, {{Variant(0), Variant(-1)}});
    empty.Op(icArrayCreate, empty.bc.AddArray(1, varVariant));
    EXPECT_EQ(vm.Call(empty.ReturnTos()).Array().Count(1), 0);
    CodeBuilder negative;
    PushBounds(negative, {{Variant(0), Variant(-5)}});
    negative.Op(icArrayCreate, negative.bc.AddArray(1, varVariant));
    EXPECT_TRUE(vmtest::Raises<EVariantArrayCreateError>([&] { vm.Call(negative.ReturnTos()); }));
}

TEST(InterpreterArrays, AtMostTwentyNineDimensions) {
    TestVM vm;
    for (int dims : {29, 30}) {
        CodeBuilder c;
        for (int i = 0; i < dims; ++i) c.Op(icPush0).Op(icPush0);
        c.Op(icArrayCreate, c.bc.AddArray(dims, varByte));
        if (dims == 29) {
            EXPECT_EQ(vm.Call(c.ReturnTos()).Array().DimCount(), 29);
        } else {
            EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(c.ReturnTos()); }), u"Invalid argument count");
        }
    }
}

// A local one-dimensional Integer array a[lo..hi] with a[i] = i, then redim (maybe preserving).
Variant RedimLocal(int lo, int hi, int newLo, int newHi, bool preserve, VarType newType = varInteger) {
    Variant initial = Variant::FromArray(SafeArray::Create1(varInteger, lo, hi - lo + 1));
    for (int i = lo; i <= hi; ++i) {
        const std::int32_t idx = i;
        initial.MutableArray().Put(std::span<const std::int32_t>(&idx, 1), Variant(i));
    }
    CodeBuilder c(1);
    c.Lit(initial).Op(icAssignLocalVar, Slot(0));
    PushBounds(c, {{Variant(newLo), Variant(newHi)}});
    c.Op(icArrayRedimLocal, c.bc.AddArrayRedim(1, newType, preserve, 0));
    c.Op(icPushLocalVar, Slot(0));
    TestVM vm;
    return vm.Call(c.ReturnTos());
}

Variant Element(const Variant& a, std::int32_t i) {
    Variant out;
    a.Array().Get(std::span<const std::int32_t>(&i, 1), out);
    return out;
}

TEST(InterpreterArrays, RedimPreserveKeepsTheCommonRange) {
    const Variant a = RedimLocal(0, 9, 5, 20, true);
    ASSERT_TRUE(a.IsArray());
    EXPECT_EQ(a.Array().Low(1), 5);
    EXPECT_EQ(a.Array().High(1), 20);
    for (int i = 5; i <= 9; ++i) EXPECT_EQ(Element(a, i).VInteger, i);
    for (int i = 10; i <= 20; ++i) EXPECT_EQ(Element(a, i).VInteger, 0);
}

TEST(InterpreterArrays, RedimPreserveWithoutOverlapCopiesNothing) {
    const Variant a = RedimLocal(0, 9, 20, 30, true);
    for (int i = 20; i <= 30; ++i) EXPECT_EQ(Element(a, i).VInteger, 0);
}

TEST(InterpreterArrays, RedimWithoutPreserveStartsFresh) {
    const Variant a = RedimLocal(0, 9, 0, 9, false);
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(Element(a, i).VInteger, 0);
}

TEST(InterpreterArrays, RedimPreserveConvertsToTheNewElementType) {
    const Variant a = RedimLocal(0, 3, 0, 3, true, varOleStr);
    EXPECT_EQ(a.VType, varArray | varOleStr);
    EXPECT_EQ(Element(a, 2).AsUString(), u"2");
}

TEST(InterpreterArrays, RedimPreserveChecksTheVariable) {
    TestVM vm;
    CodeBuilder dims;  // a 1-dimensional array redimensioned to 2 dimensions
    dims.Lit(Variant::FromArray(SafeArray::Create1(varVariant, 0, 2))).Op(icAssignLocalVar, Slot(0));
    dims.bc.AddLocalVar();
    PushBounds(dims, {{Variant(0), Variant(1)}, {Variant(0), Variant(1)}});
    dims.Op(icArrayRedimLocal, dims.bc.AddArrayRedim(2, varVariant, true, 0)).Op(icRet);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(dims.Finish()); }), u"Invalid argument count");

    CodeBuilder scalar(1);
    scalar.Lit(Variant(5)).Op(icAssignLocalVar, Slot(0));
    PushBounds(scalar, {{Variant(0), Variant(1)}});
    scalar.Op(icArrayRedimLocal, scalar.bc.AddArrayRedim(1, varVariant, true, 0)).Op(icRet);
    EXPECT_TRUE(vmtest::Raises<EVariantInvalidOpError>([&] { vm.Call(scalar.Finish()); }));

    CodeBuilder empty(1);  // an Empty variable simply receives the new array
    PushBounds(empty, {{Variant(1), Variant(2)}});
    empty.Op(icArrayRedimLocal, empty.bc.AddArrayRedim(1, varVariant, true, 0)).Op(icPushLocalVar, Slot(0));
    EXPECT_EQ(vm.Call(empty.ReturnTos()).Array().High(1), 2);
}

TEST(InterpreterArrays, RedimThroughAReference) {
    CodeBuilder c(1);
    c.Op(icPushLocalVarRef, Slot(0));
    PushBounds(c, {{Variant(0), Variant(6)}});
    c.Op(icArrayRedimLValue, c.bc.AddArrayRedim(1, varVariant, false));
    c.Op(icPushLocalVar, Slot(0));
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).Array().High(1), 6);

    CodeBuilder bad;
    bad.Op(icPush0);
    PushBounds(bad, {{Variant(0), Variant(6)}});
    bad.Op(icArrayRedimLValue, bad.bc.AddArrayRedim(1, varVariant, false)).Op(icRet);
    EXPECT_EQ(RaisedMessage<EXANVMRuntime>([&] { vm.Call(bad.Finish()); }), u"Invalid assignment");
}

TEST(InterpreterArrays, LoopBodyWithArrayCreationKeepsTheStackBalanced) {
    CodeBuilder c(2);  // 0: i, 1: a
    TXANLabel* body = c.bc.CreateLabel();
    TXANFor* loop = c.bc.AddFor(body, 0, false);
    c.Lit(Variant(100)).Op(icAssignLocalVar, Slot(loop->FToVar));
    c.Lit(Variant(1)).Op(icForInitLocal, loop);
    c.Bind(body);
    c.Op(icPush0).Op(icPushLocalVar, Slot(0)).Op(icArrayCreate, c.bc.AddArray(1, varVariant));
    c.Op(icAssignLocalVar, Slot(1));
    c.Op(icForInc, loop).Op(icForJmpIfLE, loop);
    c.Op(icPushLocalVar, Slot(1));
    TestVM vm;
    EXPECT_EQ(vm.Call(c.ReturnTos()).Array().High(1), 100);
}

}  // namespace
}  // namespace xan
