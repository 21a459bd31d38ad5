#pragma once
// The scopes the VBScript-dialect front end adds to name lookup: the locals of a procedure and
// the exception variable of a named Catch clause.
#include "lang/vb/VbProcDecl.h"
#include "vm/Namespaces.h"

namespace xan {

class TXANVbProcLocalNamespace : public TXANAbstractNamespace {
public:
    TXANVbProcLocalNamespace(TXANAbstractNamespace* AParent, TXANVbProcDecl* AProc) noexcept
        : TXANAbstractNamespace(AParent), FProc(AProc) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    TXANNameSearchRes CompileTimeFind(Integer AName) override;
    // Parameters, local variables and the result, then the parent's.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const;

    TXANVbProcDecl* FProc;
};

class TXANVbCatchNamespace : public TXANAbstractNamespace {
public:
    TXANVbCatchNamespace(TXANAbstractNamespace* AParent, const TXANVbCatch* ACatch, Integer AVarIndex) noexcept
        : TXANAbstractNamespace(AParent), FCatch(ACatch), FVarIndex(AVarIndex) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    TXANNameSearchRes CompileTimeFind(Integer AName) override;
    // The parent's variables, then the exception variable.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    const TXANVbCatch* FCatch;
    Integer FVarIndex;
};

}  // namespace xan
