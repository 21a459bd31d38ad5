#include "lang/pascal/PasIntrinsics.h"

#include "foundation/NameTable.h"
#include "vm/interp/VMErrors.h"

namespace xan::pas {

using enum TPasIntrinsicKind;

TPasIntrinsic::TPasIntrinsic(Integer AName, plat::UString AStrName, TPasIntrinsicKind AKind, Integer AArgsCount)
    : TIntrinsic(AName, std::move(AStrName)), FKind(AKind), FArgsCount(AArgsCount) {}

TPasIntrinsic::TPasIntrinsic(const char16_t* AStrName, TPasIntrinsicKind AKind, Integer AArgsCount)
    : TPasIntrinsic(GlobalNameTable().GetNameIndex(AStrName, true), plat::UString(AStrName), AKind, AArgsCount) {}

void TPasIntrinsic::Execute(TXANVMBase*, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) {
    CheckCall(*ACall);
    DoExecute(ACall, AArgs, AResult);
}

void TPasIntrinsic::CheckCall(const TXANCall& ACall) const {
    const bool roundBrackets = ACall.FBracketType == bkRound;
    // Square brackets index a value and the other dialect's brackets are not Pascal calls.
    if (!roundBrackets && ACall.FBracketType != bkNon) EXANVMRuntime::RaiseError(retTypeMismatch);
    switch (FKind) {
    case bokConstant:
        if (roundBrackets) EXANVMRuntime::RaiseError(retTypeMismatch);
        return;
    case bokProcedure:
        if (ACall.FResMask != 0) EXANVMRuntime::RaiseError(retTypeMismatch);
        break;
    case bokFunction:
        break;
    }
    if (FArgsCount != VariableArgs && ACall.FArgCount != FArgsCount) EXANVMRuntime::RaiseError(retInvalidParamCount);
}

}  // namespace xan::pas
