#include "vm/compiler/Namespaces.h"

#include "vm/bytecode/CodeEpoch.h"

namespace xan {

// Cached resolutions name their scope by address, which a new scope may reuse.
TXANAbstractNamespace::~TXANAbstractNamespace() { TXANCodeEpoch::Advance(); }

TXANNameSearchRes TXANAbstractNamespace::CompileTimeFind(Integer) { return TXANNameSearchRes::NotFound(); }

TXANNameSearchRes TXANLocalScopeNamespace::Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) {
    TXANNameSearchRes r;
    if (FindLocal(AName, r)) return r;
    return FParent ? FParent->Find(AThread, AName, AStrName) : TXANNameSearchRes::NotFound();
}

TXANNameSearchRes TXANLocalScopeNamespace::CompileTimeFind(Integer AName) {
    TXANNameSearchRes r;
    if (FindLocal(AName, r)) return r;
    return FParent ? FParent->CompileTimeFind(AName) : TXANNameSearchRes::NotFound();
}

bool TXANHandlerVarNamespace::FindLocal(Integer AName, TXANNameSearchRes& ARes) const {
    if (AName != FVarName) return false;
    ARes = TXANNameSearchRes::LocalVar(FVarIndex);
    return true;
}

void TXANHandlerVarNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    if (FParent) FParent->EnumDebugVars(ALocalsOnly, AProc);
    AProc(FVarStrName, TXANNameSearchRes::LocalVar(FVarIndex));
}

TXANNameSearchRes TGlobalObjectsNamespace::Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) {
    return FVM->SearchGlobal(AThread, AName, AStrName);
}

void TGlobalObjectsNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    if (ALocalsOnly) return;
    for (TXANGlobalValuedObject* c : FVM->GlobalConsts()) AProc(c->FStrName, TXANNameSearchRes::OfObject(c));
    for (TXANGlobalValuedObject* v : FVM->GlobalVars()) AProc(v->FStrName, TXANNameSearchRes::OfObject(v));
}

}  // namespace xan
