#include "vm/Namespaces.h"

#include "vm/SiteNameCache.h"

namespace xan {

// Cached resolutions name their scope by address, which a new scope may reuse.
TXANAbstractNamespace::~TXANAbstractNamespace() { TXANSiteNameCache::NoteCodeFreed(); }

TXANNameSearchRes TXANAbstractNamespace::CompileTimeFind(Integer) { return TXANNameSearchRes::NotFound(); }

TXANNameSearchRes TGlobalObjectsNamespace::Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) {
    return FVM->SearchGlobal(AThread, AName, AStrName);
}

void TGlobalObjectsNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    if (ALocalsOnly) return;
    for (TXANGlobalValuedObject* c : FVM->GlobalConsts()) AProc(c->FStrName, TXANNameSearchRes::OfObject(c));
    for (TXANGlobalValuedObject* v : FVM->GlobalVars()) AProc(v->FStrName, TXANNameSearchRes::OfObject(v));
}

}  // namespace xan
