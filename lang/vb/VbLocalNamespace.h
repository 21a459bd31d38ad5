#pragma once
// The scope the VBScript-dialect front end adds to name lookup: the locals of a procedure (a
// named Catch clause's variable is the shared TXANHandlerVarNamespace).
#include "lang/vb/VbProcDecl.h"
#include "vm/compiler/Namespaces.h"

namespace xan::vb {

class TXANVbProcLocalNamespace : public TXANLocalScopeNamespace {
public:
    TXANVbProcLocalNamespace(TXANAbstractNamespace* AParent, TXANVbProcDecl* AProc) noexcept
        : TXANLocalScopeNamespace(AParent), FProc(AProc) {}

    // Parameters, local variables and the result, then the parent's.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const override;

    TXANVbProcDecl* FProc;
};

}  // namespace xan::vb
