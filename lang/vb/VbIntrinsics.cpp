#include "lang/vb/VbIntrinsics.h"

#include <array>

#include "foundation/NameTable.h"
#include "vm/interp/VMErrors.h"

namespace xan::vb {

using enum TVbIntrinsicKind;
using enum TVbCallCheck;

namespace {

constexpr int BracketTypeCount = 4;
constexpr int KindCount = 3;

// One row per (kind, bracket type): the four entries are (result used, count -1) = (no, no),
// (no, yes), (yes, no), (yes, yes).
using TCheckRow = std::array<TVbCallCheck, 4>;

constexpr TCheckRow RowOf(TVbIntrinsicKind AKind, TXANBracketType ABracket) {
    // Square brackets index a value and round Pascal brackets are not this dialect's calls.
    if (ABracket == bkRound || ABracket == bkBlock) return {ccTypeMismatch, ccTypeMismatch, ccTypeMismatch, ccTypeMismatch};
    switch (AKind) {
    case bokProcedure:
        // A procedure has no value to give to an expression.
        return {ccCheckCount, ccRun, ccTypeMismatch, ccTypeMismatch};
    case bokFunction:
        return {ccCheckCount, ccRun, ccCheckCount, ccRun};
    case bokConstant:
        // A constant is not called: `vbOK()` is a mistake, `vbOK` is the value.
        if (ABracket == bkVbRound) return {ccTypeMismatch, ccTypeMismatch, ccTypeMismatch, ccTypeMismatch};
        return {ccRun, ccRun, ccRun, ccRun};
    }
    return {ccTypeMismatch, ccTypeMismatch, ccTypeMismatch, ccTypeMismatch};
}

// Indexed by kind * 16 + bracket type * 4 + (result used) * 2 + (count is -1).
constexpr std::array<TVbCallCheck, KindCount * 16> BuildCallCheckTable() {
    std::array<TVbCallCheck, KindCount * 16> table{};
    for (int kind = 0; kind < KindCount; ++kind)
        for (int bracket = 0; bracket < BracketTypeCount; ++bracket) {
            const TCheckRow row = RowOf(TVbIntrinsicKind(kind), TXANBracketType(bracket));
            for (int i = 0; i < 4; ++i) table[std::size_t(kind * 16 + bracket * 4 + i)] = row[std::size_t(i)];
        }
    return table;
}

constexpr std::array<TVbCallCheck, KindCount * 16> CallCheckTable = BuildCallCheckTable();

}  // namespace

TVbIntrinsic::TVbIntrinsic(Integer AName, plat::UString AStrName, TVbIntrinsicKind AKind, Integer AArgsCount)
    : TIntrinsic(AName, std::move(AStrName)), FKind(AKind), FArgsCount(AArgsCount) {}

TVbIntrinsic::TVbIntrinsic(const char16_t* AStrName, TVbIntrinsicKind AKind, Integer AArgsCount)
    : TVbIntrinsic(GlobalNameTable().GetNameIndex(AStrName, true), plat::UString(AStrName), AKind, AArgsCount) {}

TVbCallCheck TVbIntrinsic::CallCheckOf(TVbIntrinsicKind AKind, TXANBracketType ABracketType, bool AResultUsed,
                                       bool AVariableArgs) noexcept {
    // Values outside the enumerations never come from a compiled call; treat them as misuse.
    const int kind = static_cast<int>(AKind);
    if (kind >= KindCount || ABracketType >= BracketTypeCount) return ccTypeMismatch;
    return CallCheckTable[std::size_t(kind * 16 + ABracketType * 4 + (AResultUsed ? 2 : 0) + (AVariableArgs ? 1 : 0))];
}

void TVbIntrinsic::Execute(TXANVMBase*, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) {
    CheckCall(*ACall);
    DoExecute(ACall, AArgs, AResult);
}

void TVbIntrinsic::CheckCall(const TXANCall& ACall) const {
    const bool resultUsed = (ACall.FResMask & 1u) != 0;
    switch (CallCheckOf(FKind, ACall.FBracketType, resultUsed, FArgsCount == VariableArgs)) {
    case ccRun:
        return;
    case ccCheckCount:
        if (ACall.FArgCount != FArgsCount) EXANVMRuntime::RaiseError(retInvalidParamCount);
        return;
    case ccTypeMismatch:
        EXANVMRuntime::RaiseError(retTypeMismatch);
    }
}

}  // namespace xan::vb
