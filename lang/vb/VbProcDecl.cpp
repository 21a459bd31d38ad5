#include "lang/vb/VbProcDecl.h"

#include "lang/vb/VbLocalNamespace.h"
#include "platform/core/Assert.h"
#include "vm/compiler/Namespaces.h"

namespace xan::vb {

using enum TXANVbProcKind;
using enum TXANVbProcLocalType;

TXANVbProcDecl::TXANVbProcDecl(plat::Integer AName, plat::UString AStrName, TXANVbProcKind AProcKind,
                               plat::Integer ASourcePos)
    : TXANProcObject(AName, std::move(AStrName)), FProcKind(AProcKind), FSourcePos(ASourcePos) {
    FResMask = AProcKind == pkFunction ? XANResMaskValue : XANResMaskNone;
}

TXANVbProcDecl::~TXANVbProcDecl() = default;

void TXANVbProcDecl::EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) {
    XAN_ASSERT("XANSctVbCompiler", !FLocalNamespace);  // a procedure is compiled once
    FLocalNamespace = std::make_unique<TXANVbProcLocalNamespace>(AGlobalNamespace, this);
    TXANContext c;
    c.Code = FByteCode.get();
    c.CurNamespace = FLocalNamespace.get();
    TXANByteCode& code = *FByteCode;
    code.BeginEmit(FStrName, FLocalNamespace.get(), FSourcePos);
    // Parameters and the result live in the activation, not in local slots.
    for (TXANVbLocalVarDecl* v : FLocalVars) v->FIndex = code.AddLocalVar();
    FStmtList.EmitByteCode(c);
    TXANSourcePosScope end(&code, FEndSourcePos);
    code.SetNextInstrBreakable();
    code.Emit(icRet);
    code.EndEmit();
}

bool TXANVbProcDecl::AddLocal(std::unique_ptr<TXANVbProcLocal>& ALocal) {
    TXANVbProcLocal* local = ALocal.get();
    if (local->FLocalType == ltParam && local->FName == FName) return false;
    if (!FLocalMap.Add(local)) return false;
    ALocal.release();
    switch (local->FLocalType) {
        case ltVar:
            FLocalVars.push_back(static_cast<TXANVbLocalVarDecl*>(local));
            break;
        case ltResult:
            FLocalResult = static_cast<TXANVbLocalResultDecl*>(local);
            break;
        case ltParam: {
            auto* param = static_cast<TXANVbParamDecl*>(local);
            param->FParamInfo.Index = static_cast<std::uint16_t>(FParams.size());
            FParams.push_back(param);
            AddParam(param->FParamInfo.Kind);
            break;
        }
    }
    return true;
}

}  // namespace xan::vb
