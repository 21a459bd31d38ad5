#pragma once
// Debug variables: what a debugger shows of a value (a name, a type text, a value text) and,
// for structured values, the next level of the tree, produced when asked.
//
// All texts follow one set of rules (TDebugVarUtils); only the words for an unassigned value, a
// missing object and Null, and the quoting of 8-bit strings come from the script language.
// Children never point into a paused activation: a frame's variables are copied when listed,
// an array's children hold their own copy of the array, an object's children read its
// properties when enumerated. So a host may keep them after the break.
#include <cstdint>
#include <vector>

#include "platform/core/Method.h"
#include "platform/core/UString.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/Variant.h"
#include "vm/compiler/LanguageInterface.h"
#include "vm/compiler/Namespaces.h"
#include "vm/interp/CallStackFrame.h"

namespace xan {

struct TXANPasDebugVar;

// AStop is false before the first call; the enumeration ends after the call that sets it.
using TXANPasDebugVarChildProc = plat::Event<void(const TXANPasDebugVar& AVariable, void* ACookie, bool& AStop)>;

// Reference counted through IUnknown; it has no interface identifier of its own.
class IXANPasDebugVarChildren : public virtual plat::IUnknown {
public:
    virtual void Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) = 0;

protected:
    ~IXANPasDebugVarChildren() = default;
};
using TXANPasDebugVarChildrenRef = plat::ComPtr<IXANPasDebugVarChildren>;

struct TXANPasDebugVar {
    plat::UString Name;
    plat::UString Type_;
    plat::UString Value;
    TXANPasDebugVarChildrenRef Children;  // none when the variable has no children
};

class TDebugVarUtils {
public:
    static void FillVar(const plat::UString& AName, const plat::UString& AType, IXANLanguage* ALang,
                        const plat::Variant& AValue, TXANPasDebugVar& AVar);
    // The type text of a value (references followed): "Integer", "array of Variant", ...
    static plat::UString TypeName(const plat::Variant& AValue);
    static plat::UString ValueText(IXANLanguage* ALang, const plat::Variant& AValue);
    static TXANPasDebugVarChildrenRef ChildrenOf(IXANLanguage* ALang, const plat::Variant& AValue);
};

// Children that are fixed copies, listed in order.
class TStoredVarChildren : public plat::TInterfacedObject, public IXANPasDebugVarChildren {
    XAN_CLASS(TStoredVarChildren, plat::TInterfacedObject)
    // The variables the frame's current scope reports (locals only, or every visible one),
    // with their values as they are now.
    static TXANPasDebugVarChildrenRef Init(TXANCallStackFrame* AFrame, bool ALocalsOnly);
    void Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) override;

private:
    void Add(const plat::UString& ADisplayName, const TXANNameSearchRes& ARes);

    TXANCallStackFrame* FFrame = nullptr;  // only while Init runs
    IXANLanguage* FLang = nullptr;
    std::vector<TXANPasDebugVar> FItems;
};

// The readable properties of an automation object, through its type information.
class TDispatchVarChildren : public plat::TInterfacedObject, public IXANPasDebugVarChildren {
    XAN_CLASS(TDispatchVarChildren, plat::TInterfacedObject)
    TDispatchVarChildren(IXANLanguage* ALang, plat::IDispatch* AObject) : FLang(ALang), FObject(AObject) {}
    // Whether the object's type information names at least one property to read.
    static bool HasChildProps(plat::IDispatch* AObject);
    void Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) override;

private:
    plat::ComPtr<IXANLanguage> FLang;
    plat::ComPtr<plat::IDispatch> FObject;
};

using TArrayVarIndices = std::vector<std::int32_t>;

// One dimension of an array: level n - 1 lists the first dimension, level 0 the last, whose
// children are the elements.
class TArrayVarChildren : public plat::TInterfacedObject, public IXANPasDebugVarChildren {
    XAN_CLASS(TArrayVarChildren, plat::TInterfacedObject)
    TArrayVarChildren(IXANLanguage* ALang, const plat::Variant& AArray);
    TArrayVarChildren(IXANLanguage* ALang, const plat::Variant& AArray, std::int32_t ADim, TArrayVarIndices AIndices);
    // False when a dimension has no elements.
    static bool HasChildProps(const plat::Variant& AArray);
    void Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) override;

private:
    plat::ComPtr<IXANLanguage> FLang;
    plat::Variant FArray;
    std::int32_t FDim;
    TArrayVarIndices FIndices;  // entry k: the index chosen for the dimension of level k
    plat::UString FElemType;
};

// The scope of an expression evaluated in a paused frame: the frame's own names become the
// addresses of its values (srDebugVar), everything else is answered as the frame answers it.
class TDebugVarsNamespace : public TXANAbstractNamespace {
public:
    explicit TDebugVarsNamespace(TXANCallStackFrame* AFrame) noexcept : TXANAbstractNamespace(nullptr), FFrame(AFrame) {}

    TXANNameSearchRes Find(TXANThread* AThread, Integer AName, const plat::UString* AStrName) override;
    void EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) override;

private:
    TXANCallStackFrame* FFrame;
};

}  // namespace xan
