#pragma once
// The scope the Pascal front end adds to the name-resolution chain: the locals of a procedure
// (an exception handler's variable is the shared TXANHandlerVarNamespace).
#include "lang/pascal/PasDeclarations.h"
#include "vm/compiler/Namespaces.h"

namespace xan::pas {

class TXANProcLocalNamespace : public TXANLocalScopeNamespace {
public:
    TXANProcLocalNamespace(TXANAbstractNamespace* AParent, TXANProcedureDecl* AProcedure) noexcept
        : TXANLocalScopeNamespace(AParent), FProcedure(AProcedure) {}

    // Parameters, local constants, local variables and the result, then the parent's.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const override;

    TXANProcedureDecl* FProcedure;
};

}  // namespace xan::pas
