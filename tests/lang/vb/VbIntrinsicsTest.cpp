// The call check every built-in call passes before the routine runs.
#include <gtest/gtest.h>

#include "VbIntrinsicTestSupport.h"
#include "foundation/NameTable.h"
#include "lang/vb/VbBuiltinsConstants.h"
#include "lang/vb/VbBuiltinsDates.h"
#include "lang/vb/VbBuiltinsMath.h"
#include "lang/vb/VbBuiltinsStrings.h"

namespace xan::vb::bitest {

using enum TXANIntrinsicKind;
using enum TXANCallCheck;
namespace {

// The expected check of this dialect's calls, written out from the rules.
TXANCallCheck Expected(TVbIntrinsicKind AKind, TXANBracketType ABracket, bool AUsed, bool AVariable) {
    if (ABracket == bkRound || ABracket == bkBlock) return ccTypeMismatch;
    if (AKind == bokConstant) return ABracket == bkNon ? ccRun : ccTypeMismatch;
    if (AKind == bokProcedure && AUsed) return ccTypeMismatch;
    return AVariable ? ccRun : ccCheckCount;
}

TEST(VbCallCheckTable, EveryEntryFollowsTheRules) {
    int entries = 0;
    for (TVbIntrinsicKind kind : {bokProcedure, bokFunction, bokConstant})
        for (TXANBracketType bracket : {bkNon, bkVbRound, bkRound, bkBlock})
            for (bool used : {false, true})
                for (bool variable : {false, true}) {
                    ++entries;
                    EXPECT_EQ(TXANIntrinsicBase::CallCheckOf(bkVbRound, kind, bracket, used, variable),
                              Expected(kind, bracket, used, variable))
                        << "kind " << int(kind) << " bracket " << int(bracket) << " used " << used << " variable " << variable;
                }
    EXPECT_EQ(entries, 48);
}

TEST(VbCallCheckTable, ValuesOutsideTheEnumerationsAreRefused) {
    EXPECT_EQ(TXANIntrinsicBase::CallCheckOf(bkVbRound, TVbIntrinsicKind(3), bkNon, false, false), ccTypeMismatch);
    EXPECT_EQ(TXANIntrinsicBase::CallCheckOf(bkVbRound, bokFunction, TXANBracketType(4), false, false), ccTypeMismatch);
}

TEST(VbCallCheck, ProcedureRunsAsStatementOnly) {
    TRandomize randomize;
    EXPECT_EQ(ErrorOf([&] { Exec(randomize, {}, bkNon, false); }), "");
    EXPECT_EQ(ErrorOf([&] { Exec(randomize, {}, bkVbRound, false); }), "");
    EXPECT_EQ(ErrorOf([&] { Exec(randomize, {}, bkNon, true); }), TypeMismatchError);
    EXPECT_EQ(ErrorOf([&] { Exec(randomize, {Variant(1)}, bkNon, false); }), ParamCountError);
    // The result-used test comes first: a used procedure is a mismatch whatever its arguments.
    EXPECT_EQ(ErrorOf([&] { Exec(randomize, {Variant(1)}, bkVbRound, true); }), TypeMismatchError);
}

TEST(VbCallCheck, OnlyBitZeroOfTheResultMaskMeansUsed) {
    TRandomize randomize;
    TestCall call(0, bkNon, false);
    call.FResMask = 2;
    Variant result;
    EXPECT_EQ(ErrorOf([&] { randomize.Execute(nullptr, &call, nullptr, result); }), "");
    call.FResMask = 1;
    EXPECT_EQ(ErrorOf([&] { randomize.Execute(nullptr, &call, nullptr, result); }), TypeMismatchError);
}

TEST(VbCallCheck, FunctionWithFixedCount) {
    TNow now;
    EXPECT_EQ(Exec(now, {}, bkNon).VType, plat::varDate);
    EXPECT_EQ(Exec(now, {}, bkVbRound).VType, plat::varDate);
    EXPECT_EQ(ErrorOf([&] { Exec(now, {Variant(1)}); }), ParamCountError);
    TLen len;
    EXPECT_EQ(ErrorOf([&] { Exec(len, {Variant(u"a"), Variant(u"b")}); }), ParamCountError);
    // A function may stand as a statement; its value is then dropped.
    EXPECT_EQ(ErrorOf([&] { Exec(len, {Variant(u"a")}, bkNon, false); }), "");
    TRnd rnd;
    EXPECT_EQ(ErrorOf([&] { Exec(rnd, {Variant(1)}); }), ParamCountError);
}

TEST(VbCallCheck, VariableCountRoutinesCheckThemselves) {
    TMid mid;
    EXPECT_EQ(Str(Exec(mid, {Variant(u"abc"), Variant(2)})), "bc");
    EXPECT_EQ(ErrorOf([&] { Exec(mid, {Variant(u"abc")}); }), ParamCountError);
}

TEST(VbCallCheck, ConstantsTakeNoRoundBrackets) {
    TvbOK ok;
    EXPECT_EQ(Int(Exec(ok, {}, bkNon)), 1);
    EXPECT_EQ(Int(Exec(ok, {}, bkNon, false)), 1);
    EXPECT_EQ(ErrorOf([&] { Exec(ok, {}, bkVbRound); }), TypeMismatchError);
}

TEST(VbCallCheck, PascalAndSquareBracketsNeverCall) {
    TLen len;
    TvbOK ok;
    TRandomize randomize;
    for (TXANBracketType bracket : {bkRound, bkBlock}) {
        // Even with a wrong argument count the bracket is the error.
        EXPECT_EQ(ErrorOf([&] { Exec(len, {}, bracket); }), TypeMismatchError);
        EXPECT_EQ(ErrorOf([&] { Exec(ok, {}, bracket); }), TypeMismatchError);
        EXPECT_EQ(ErrorOf([&] { Exec(randomize, {}, bracket, false); }), TypeMismatchError);
    }
}

TEST(VbIntrinsic, StoresNameKindAndCount) {
    TMid mid;
    EXPECT_EQ(mid.FKind, bokFunction);
    EXPECT_EQ(mid.FArgsCount, TVbIntrinsic::VariableArgs);
    EXPECT_EQ(mid.FStrName, u"Mid");
    EXPECT_EQ(mid.FName, GlobalNameTable().GetNameIndex(u"MID", false));
    EXPECT_EQ(mid.GetGlobalObjType(), gtIntrinsic);
    TvbNo no;
    EXPECT_EQ(no.FKind, bokConstant);
    EXPECT_EQ(no.FArgsCount, 0);
    TRandomize randomize;
    EXPECT_EQ(randomize.FKind, bokProcedure);
}

}  // namespace
}  // namespace xan::vb::bitest
