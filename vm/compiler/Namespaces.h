#pragma once
// Namespaces: the chain of scopes in which call instructions resolve names at run time and code
// generators resolve them at compile time. A procedure's scope answers its locals and asks its
// parent for the rest; the chain ends at the script's global scope.
#include <vector>

#include "platform/core/Method.h"
#include "platform/core/UString.h"
#include "vm/compiler/NameSearch.h"

namespace xan {

class TXANThread;

// Receives one variable visible in a scope: the name to display and how to reach its value.
using TXANNamespaceEnumVarsProc =
    plat::Event<void(const plat::UString& ADisplayName, const TXANNameSearchRes& ASRes)>;

class TXANAbstractNamespace {
public:
    explicit TXANAbstractNamespace(TXANAbstractNamespace* AParent) noexcept : FParent(AParent) {}
    TXANAbstractNamespace(const TXANAbstractNamespace&) = delete;
    TXANAbstractNamespace& operator=(const TXANAbstractNamespace&) = delete;
    virtual ~TXANAbstractNamespace();

    // Run-time lookup. AThread is the calling thread: global lookups use per-thread caches.
    virtual TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) = 0;
    // Reports every variable visible in this scope to the debugger.
    virtual void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) = 0;
    // Lookup during code generation; a scope that resolves nothing at compile time keeps this.
    virtual TXANNameSearchRes CompileTimeFind(Integer AName);

    TXANAbstractNamespace* Parent() const noexcept { return FParent; }

protected:
    TXANAbstractNamespace* const FParent;
};

// A scope of a procedure's own names (parameters, locals, the result): it answers them at run
// time and at compile time alike, and asks its parent for every other name.
class TXANLocalScopeNamespace : public TXANAbstractNamespace {
public:
    using TXANAbstractNamespace::TXANAbstractNamespace;

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) final;
    TXANNameSearchRes CompileTimeFind(Integer AName) final;

protected:
    // True with ARes set when AName is one of this scope's own names.
    virtual bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const = 0;
};

// The scope of an exception handler that names the exception: that one name is a local
// variable (the slot AVarIndex); every other name is the enclosing scope's.
class TXANHandlerVarNamespace : public TXANLocalScopeNamespace {
public:
    TXANHandlerVarNamespace(TXANAbstractNamespace* AParent, Integer AVarName, plat::UString AVarStrName,
                            Integer AVarIndex) noexcept
        : TXANLocalScopeNamespace(AParent),
          FVarName(AVarName),
          FVarStrName(std::move(AVarStrName)),
          FVarIndex(AVarIndex) {}

    // The parent's variables, then the handler's own.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    bool FindLocal(Integer AName, TXANNameSearchRes& ARes) const override;

    Integer FVarName;
    plat::UString FVarStrName;
    Integer FVarIndex;
};

// What the outermost scope needs from its machine: the machine implements it.
class IXANGlobalScope {
public:
    // The calling thread's view of the machine's globals, host objects and built-ins.
    virtual TXANNameSearchRes SearchGlobal(TXANThread* AThread, Integer AName, const plat::UString* AStrName) = 0;
    // The script's global constants and variables, each in declaration order.
    virtual const std::vector<TXANGlobalValuedObject*>& GlobalConsts() const = 0;
    virtual const std::vector<TXANGlobalValuedObject*>& GlobalVars() const = 0;

protected:
    ~IXANGlobalScope() = default;
};

// The outermost scope of every script. Every global name is resolved at run time (so host
// objects added after compiling are found), which is why compile-time lookup finds nothing.
class TGlobalObjectsNamespace : public TXANAbstractNamespace {
public:
    explicit TGlobalObjectsNamespace(IXANGlobalScope* AVM) noexcept : TXANAbstractNamespace(nullptr), FVM(AVM) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    // Nothing when ALocalsOnly; otherwise every constant, then every variable.
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    IXANGlobalScope* const FVM;
};

}  // namespace xan
