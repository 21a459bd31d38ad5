#pragma once
// The scopes the Pascal front end adds to the name-resolution chain: the locals of a procedure
// and the variable of an exception handler.
#include "lang/pascal/PasDeclarations.h"
#include "vm/Namespaces.h"

namespace xan {

class TXANProcLocalNamespace : public TXANAbstractNamespace {
public:
    TXANProcLocalNamespace(TXANAbstractNamespace* AParent, TXANProcedureDecl* AProcedure) noexcept
        : TXANAbstractNamespace(AParent), FProcedure(AProcedure) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    TXANNameSearchRes CompileTimeFind(Integer AName) override;
    // Parameters, local constants, local variables and the result, then the parent's.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const;

    TXANProcedureDecl* FProcedure;
};

class TXANExcSubBlockNamespace : public TXANAbstractNamespace {
public:
    TXANExcSubBlockNamespace(TXANAbstractNamespace* AParent, Integer AVarName, plat::UString AVarSName,
                             Integer AVarIndex) noexcept
        : TXANAbstractNamespace(AParent), FVarName(AVarName), FVarSName(std::move(AVarSName)), FVarIndex(AVarIndex) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    TXANNameSearchRes CompileTimeFind(Integer AName) override;
    // The parent's variables, then the handler's own.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

    Integer FVarName;
    plat::UString FVarSName;
    Integer FVarIndex;
};

}  // namespace xan
