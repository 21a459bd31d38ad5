#include "vm/interp/IntrinsicBase.h"

#include "foundation/NameTable.h"
#include "vm/interp/VMErrors.h"

namespace xan {

using enum TXANIntrinsicKind;
using enum TXANCallCheck;

TXANIntrinsicBase::TXANIntrinsicBase(Integer AName, plat::UString AStrName, TXANBracketType ACallBrackets,
                                     TXANIntrinsicKind AKind, Integer AArgsCount)
    : TIntrinsic(AName, std::move(AStrName)), FKind(AKind), FArgsCount(AArgsCount), FCallBrackets(ACallBrackets) {}

TXANIntrinsicBase::TXANIntrinsicBase(const char16_t* AStrName, TXANBracketType ACallBrackets, TXANIntrinsicKind AKind,
                                     Integer AArgsCount)
    : TXANIntrinsicBase(GlobalNameTable().GetNameIndex(AStrName, true), plat::UString(AStrName), ACallBrackets, AKind,
                        AArgsCount) {}

TXANCallCheck TXANIntrinsicBase::CallCheckOf(TXANBracketType ACallBrackets, TXANIntrinsicKind AKind,
                                             TXANBracketType ABracketType, bool AResultUsed,
                                             bool AVariableArgs) noexcept {
    if (ABracketType != bkNon && ABracketType != ACallBrackets) return ccTypeMismatch;
    switch (AKind) {
        case bokConstant:
            // A constant is not called: vbOK() is a mistake, vbOK is the value.
            return ABracketType == bkNon ? ccRun : ccTypeMismatch;
        case bokProcedure:
            // A procedure has no value to give to an expression.
            if (AResultUsed) return ccTypeMismatch;
            break;
        case bokFunction: break;
        default: return ccTypeMismatch;  // never from a compiled call
    }
    return AVariableArgs ? ccRun : ccCheckCount;
}

void TXANIntrinsicBase::Execute(TXANVMBase*, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) {
    CheckCall(*ACall);
    DoExecute(ACall, AArgs, AResult);
}

void TXANIntrinsicBase::CheckCall(const TXANCall& ACall) const {
    // A compiled call's mask has every bit set or none; bit 0 decides.
    const bool resultUsed = (ACall.FResMask & 1u) != 0;
    switch (CallCheckOf(FCallBrackets, FKind, ACall.FBracketType, resultUsed, FArgsCount == VariableArgs)) {
        case ccRun: return;
        case ccCheckCount:
            if (ACall.FArgCount != FArgsCount) EXANVMRuntime::RaiseError(retInvalidParamCount);
            return;
        case ccTypeMismatch: EXANVMRuntime::RaiseError(retTypeMismatch);
    }
}

}  // namespace xan
