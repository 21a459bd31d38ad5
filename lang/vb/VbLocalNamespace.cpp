#include "lang/vb/VbLocalNamespace.h"

namespace xan::vb {

using enum TXANVbProcLocalType;

bool TXANVbProcLocalNamespace::FindLocal(Integer AName, TXANNameSearchRes& ARes) const {
    auto* local = static_cast<TXANVbProcLocal*>(FProc->FLocalMap.Find(AName));
    if (!local) return false;
    switch (local->FLocalType) {
        case ltVar: ARes = TXANNameSearchRes::LocalVar(static_cast<TXANVbLocalVarDecl*>(local)->FIndex); break;
        case ltResult: ARes = TXANNameSearchRes::Result(); break;
        case ltParam: ARes = TXANNameSearchRes::Param(static_cast<TXANVbParamDecl*>(local)->FParamInfo); break;
    }
    return true;
}

void TXANVbProcLocalNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    for (TXANVbParamDecl* p : FProc->FParams) AProc(p->FStrName, TXANNameSearchRes::Param(p->FParamInfo));
    for (TXANVbLocalVarDecl* v : FProc->FLocalVars) AProc(v->FStrName, TXANNameSearchRes::LocalVar(v->FIndex));
    if (FProc->FLocalResult) AProc(FProc->FLocalResult->FStrName, TXANNameSearchRes::Result());
    if (FParent) FParent->EnumDebugVars(ALocalsOnly, AProc);
}

}  // namespace xan::vb
