#include "lang/pascal/PasNamespaces.h"

namespace xan::pas {

using enum TXANProcLocalType;

namespace {

TXANNameSearchRes LocalConstRes(const TXANLocalConstDecl& AConst) {
    return AConst.FIndex < 0 ? TXANNameSearchRes::LocalConstant(&AConst.FValue)
                             : TXANNameSearchRes::LocalConstantSlot(AConst.FIndex);
}

}  // namespace

bool TXANProcLocalNamespace::FindLocal(Integer AName, TXANNameSearchRes& ARes) const {
    auto* local = static_cast<TXANProcLocal*>(FProcedure->FLocalMap.Find(AName));
    if (!local) return false;
    switch (local->FLocalType) {
        case ltVar: ARes = TXANNameSearchRes::LocalVar(static_cast<TXANLocalVarDecl*>(local)->FIndex); break;
        case ltConst: ARes = LocalConstRes(*static_cast<TXANLocalConstDecl*>(local)); break;
        case ltResult: ARes = TXANNameSearchRes::Result(); break;
        case ltParam: ARes = TXANNameSearchRes::Param(static_cast<TXANParamDecl*>(local)->FParamInfo); break;
    }
    return true;
}

void TXANProcLocalNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    for (TXANParamDecl* p : FProcedure->FParams) AProc(p->FStrName, TXANNameSearchRes::Param(p->FParamInfo));
    for (TXANLocalConstDecl* c : FProcedure->FLocalConsts)
        AProc(c->FStrName, LocalConstRes(*c));
    for (TXANLocalVarDecl* v : FProcedure->FLocalVars) AProc(v->FStrName, TXANNameSearchRes::LocalVar(v->FIndex));
    if (FProcedure->FLocalResult) AProc(FProcedure->FLocalResult->FStrName, TXANNameSearchRes::Result());
    if (FParent) FParent->EnumDebugVars(ALocalsOnly, AProc);
}

}  // namespace xan::pas
