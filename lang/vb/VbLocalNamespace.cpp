#include "lang/vb/VbLocalNamespace.h"

namespace xan {

using namespace vb;

namespace {

TXANNameSearchRes ParentCompileTimeFind(TXANAbstractNamespace* AParent, Integer AName) {
    return AParent ? AParent->CompileTimeFind(AName) : TXANNameSearchRes::NotFound();
}

TXANNameSearchRes ParentFind(TXANAbstractNamespace* AParent, TXANThread* AThread, Integer AName,
                             const plat::UString* AStrName) {
    return AParent ? AParent->Find(AThread, AName, AStrName) : TXANNameSearchRes::NotFound();
}

}  // namespace

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

TXANNameSearchRes TXANVbProcLocalNamespace::Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) {
    TXANNameSearchRes r;
    return FindLocal(AName, r) ? r : ParentFind(FParent, AThread, AName, AStrName);
}

TXANNameSearchRes TXANVbProcLocalNamespace::CompileTimeFind(Integer AName) {
    TXANNameSearchRes r;
    return FindLocal(AName, r) ? r : ParentCompileTimeFind(FParent, AName);
}

void TXANVbProcLocalNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    for (TXANVbParamDecl* p : FProc->FParams) AProc(p->FStrName, TXANNameSearchRes::Param(p->FParamInfo));
    for (TXANVbLocalVarDecl* v : FProc->FLocalVars) AProc(v->FStrName, TXANNameSearchRes::LocalVar(v->FIndex));
    if (FProc->FLocalResult) AProc(FProc->FLocalResult->FStrName, TXANNameSearchRes::Result());
    if (FParent) FParent->EnumDebugVars(ALocalsOnly, AProc);
}

TXANNameSearchRes TXANVbCatchNamespace::Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) {
    return AName == FCatch->FName ? TXANNameSearchRes::LocalVar(FVarIndex)
                                  : ParentFind(FParent, AThread, AName, AStrName);
}

TXANNameSearchRes TXANVbCatchNamespace::CompileTimeFind(Integer AName) {
    return AName == FCatch->FName ? TXANNameSearchRes::LocalVar(FVarIndex) : ParentCompileTimeFind(FParent, AName);
}

void TXANVbCatchNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    if (FParent) FParent->EnumDebugVars(ALocalsOnly, AProc);
    AProc(FCatch->FStrName, TXANNameSearchRes::LocalVar(FVarIndex));
}

}  // namespace xan
