// The call check every built-in passes before it runs.
#include <gtest/gtest.h>

#include "PasBuiltinsTestSupport.h"
#include "foundation/NameTable.h"

namespace xan::pas::test {

using enum TXANIntrinsicKind;
namespace {

// A built-in of any kind and count that records whether it ran.
class TProbe final : public TPasIntrinsic {
public:
    TProbe(TPasIntrinsicKind AKind, Integer ACount) : TPasIntrinsic(u"CallCheckProbe", AKind, ACount) {}
    void DoExecute(TXANCall*, PXANVarArray, Variant& AResult) override {
        ++Runs;
        AResult.SetInteger(42);
    }
    int Runs = 0;
};

// Runs a probe with AArgCount Empty arguments.
::testing::AssertionResult Accepts(TPasIntrinsicKind AKind, Integer ACount, Integer AArgCount,
                                   TXANBracketType ABracket, bool AResultUsed) {
    TProbe probe(AKind, ACount);
    std::vector<Variant> args(static_cast<std::size_t>(AArgCount));
    if (auto e = RaisedBy([&] { RunCall(probe, args, ABracket, AResultUsed); }))
        return ::testing::AssertionFailure() << e->Message().ToUtf8();
    if (probe.Runs != 1) return ::testing::AssertionFailure() << "ran " << probe.Runs << " times";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Refuses(TPasIntrinsicKind AKind, Integer ACount, Integer AArgCount,
                                   TXANBracketType ABracket, bool AResultUsed, TXANRuntimeErrorType AError) {
    TProbe probe(AKind, ACount);
    std::vector<Variant> args(static_cast<std::size_t>(AArgCount));
    auto result = RaisesRuntime([&] { RunCall(probe, args, ABracket, AResultUsed); }, AError);
    if (!result) return result;
    if (probe.Runs != 0) return ::testing::AssertionFailure() << "the routine ran although the call was refused";
    return ::testing::AssertionSuccess();
}

constexpr Integer Var = TPasIntrinsic::VariableArgs;

TEST(PasCallCheck, ConstructionRegistersTheNameAndKeepsKindAndCount) {
    TProbe probe(bokFunction, 2);
    EXPECT_EQ(probe.FName, GlobalNameTable().GetNameIndex(u"callcheckprobe", false));
    EXPECT_EQ(probe.FStrName, u"CallCheckProbe");
    EXPECT_EQ(probe.GetGlobalObjType(), gtIntrinsic);
    EXPECT_EQ(probe.FKind, bokFunction);
    EXPECT_EQ(probe.FArgsCount, 2);
}

TEST(PasCallCheck, ProcedureAsStatementChecksAFixedCount) {
    EXPECT_TRUE(Accepts(bokProcedure, 2, 2, bkRound, false));
    EXPECT_TRUE(Accepts(bokProcedure, 0, 0, bkNon, false));
    EXPECT_TRUE(Accepts(bokProcedure, 0, 0, bkRound, false));
    EXPECT_TRUE(Refuses(bokProcedure, 2, 1, bkRound, false, retInvalidParamCount));
    EXPECT_TRUE(Refuses(bokProcedure, 2, 3, bkRound, false, retInvalidParamCount));
    EXPECT_TRUE(Refuses(bokProcedure, 1, 0, bkNon, false, retInvalidParamCount));
}

TEST(PasCallCheck, ProcedureWithVariableCountLeavesTheCountToTheRoutine) {
    EXPECT_TRUE(Accepts(bokProcedure, Var, 0, bkNon, false));
    EXPECT_TRUE(Accepts(bokProcedure, Var, 5, bkRound, false));
}

TEST(PasCallCheck, ProcedureInAnExpressionIsATypeMismatchWhateverTheCount) {
    EXPECT_TRUE(Refuses(bokProcedure, 0, 0, bkNon, true, retTypeMismatch));
    EXPECT_TRUE(Refuses(bokProcedure, 0, 0, bkRound, true, retTypeMismatch));
    EXPECT_TRUE(Refuses(bokProcedure, 2, 1, bkRound, true, retTypeMismatch));
    EXPECT_TRUE(Refuses(bokProcedure, Var, 3, bkRound, true, retTypeMismatch));
}

TEST(PasCallCheck, FunctionChecksAFixedCountWhetherOrNotItsResultIsUsed) {
    for (bool used : {false, true}) {
        EXPECT_TRUE(Accepts(bokFunction, 1, 1, bkRound, used));
        EXPECT_TRUE(Accepts(bokFunction, 0, 0, bkNon, used));
        EXPECT_TRUE(Accepts(bokFunction, 0, 0, bkRound, used));
        EXPECT_TRUE(Refuses(bokFunction, 1, 2, bkRound, used, retInvalidParamCount));
        // Without brackets a call has no arguments, so a function that needs some fails.
        EXPECT_TRUE(Refuses(bokFunction, 1, 0, bkNon, used, retInvalidParamCount));
        EXPECT_TRUE(Accepts(bokFunction, Var, 0, bkNon, used));
        EXPECT_TRUE(Accepts(bokFunction, Var, 7, bkRound, used));
    }
}

TEST(PasCallCheck, ConstantWithoutBracketsIsNotChecked) {
    EXPECT_TRUE(Accepts(bokConstant, 0, 0, bkNon, true));
    EXPECT_TRUE(Accepts(bokConstant, 0, 0, bkNon, false));
    EXPECT_TRUE(Accepts(bokConstant, Var, 0, bkNon, true));
}

TEST(PasCallCheck, ConstantWithRoundBracketsIsATypeMismatch) {
    EXPECT_TRUE(Refuses(bokConstant, 0, 0, bkRound, true, retTypeMismatch));
    EXPECT_TRUE(Refuses(bokConstant, 0, 1, bkRound, false, retTypeMismatch));
    EXPECT_TRUE(Refuses(bokConstant, Var, 0, bkRound, true, retTypeMismatch));
}

TEST(PasCallCheck, SquareAndForeignBracketsAreATypeMismatchForEveryKind) {
    for (TPasIntrinsicKind kind : {bokProcedure, bokFunction, bokConstant})
        for (TXANBracketType bracket : {bkBlock, bkVbRound})
            for (bool used : {false, true}) {
                EXPECT_TRUE(Refuses(kind, 1, 1, bracket, used, retTypeMismatch)) << int(kind) << int(bracket);
                // The bracket is checked before the count.
                EXPECT_TRUE(Refuses(kind, 1, 3, bracket, used, retTypeMismatch)) << int(kind) << int(bracket);
                EXPECT_TRUE(Refuses(kind, Var, 2, bracket, used, retTypeMismatch)) << int(kind) << int(bracket);
            }
}

TEST(PasCallCheck, TheRoutineWritesTheResultSlot) {
    TProbe probe(bokFunction, 0);
    std::vector<Variant> none;
    const Variant r = RunCall(probe, none);
    EXPECT_EQ(r.VType, plat::varInteger);
    EXPECT_EQ(r.VInteger, 42);
}

}  // namespace
}  // namespace xan::pas::test
