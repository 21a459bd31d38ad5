#pragma once
// The global objects a script declares or the engine provides: variables, constants,
// procedures, the statements Exit/Break/Continue as callable names, intrinsic routines and host
// objects. Each is a named item keyed by its name id; the interpreter dispatches on its kind.
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/NameHashTable.h"
#include "platform/core/UString.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Instr.h"

namespace xan {

class TXANAbstractNamespace;
class TXANByteCode;
class TXANCall;
class TXANCodeObject;
class TXANVMBase;

using PXANVarArray = plat::Variant*;

enum TXANGlobalObjType : std::uint8_t {
    gtVar, gtConst, gtProcedure, gtExit, gtBreak, gtContinue, gtIntrinsic, gtExtern
};

// The result mask of an object that yields a value (all bits set) and of one that does not.
inline constexpr std::uint32_t XANResMaskValue = 0xFFFFFFFFu;
inline constexpr std::uint32_t XANResMaskNone = 0;

class TXANGlobalObject : public TXANNamedItem {
    XAN_CLASS(TXANGlobalObject, TXANNamedItem)
    TXANGlobalObjType GetGlobalObjType() const noexcept { return FGlobalObjType; }
    const plat::UString& StrName() const noexcept { return FStrName; }

    const TXANGlobalObjType FGlobalObjType;
    const plat::UString FStrName;  // the name as written

protected:
    // Each concrete class passes its own kind: the kind is fixed per class, and a C++ base
    // constructor cannot ask the derived class through a virtual call.
    TXANGlobalObject(Integer AName, plat::UString AStrName, TXANGlobalObjType AType)
        : TXANNamedItem(AName), FGlobalObjType(AType), FStrName(std::move(AStrName)) {}
};

// An object that is a member of the script's dispatch object.
class TXANDispIdObject : public TXANGlobalObject {
    XAN_CLASS(TXANDispIdObject, TXANGlobalObject)
    plat::DISPID FDispId = 0;          // given by the machine when the object is declared (1, 2, ...)
    std::uint32_t FInvokeFlags;        // DISPATCH_* kinds accepted
    std::uint32_t FResMask;            // XANResMaskValue when the object yields a value

protected:
    TXANDispIdObject(Integer AName, plat::UString AStrName, TXANGlobalObjType AType, std::uint32_t AInvokeFlags,
                     std::uint32_t AResMask)
        : TXANGlobalObject(AName, std::move(AStrName), AType), FInvokeFlags(AInvokeFlags), FResMask(AResMask) {}
};

// Storage of a global variable or constant.
class TXANGlobalValuedObject : public TXANDispIdObject {
    XAN_CLASS(TXANGlobalValuedObject, TXANDispIdObject)
    ~TXANGlobalValuedObject() override;
    plat::Variant Value;

protected:
    using TXANDispIdObject::TXANDispIdObject;
};

class TXANVarObject : public TXANGlobalValuedObject {
    XAN_CLASS(TXANVarObject, TXANGlobalValuedObject)
    TXANVarObject(Integer AName, plat::UString AStrName);
};

class TXANConstObject : public TXANGlobalValuedObject {
    XAN_CLASS(TXANConstObject, TXANGlobalValuedObject)
    TXANConstObject(Integer AName, plat::UString AStrName);
};

// A script procedure or function. The front end's declaration derives from it and compiles
// itself into FByteCode; a function sets FResMask to XANResMaskValue.
class TXANProcObject : public TXANDispIdObject {
    XAN_CLASS(TXANProcObject, TXANDispIdObject)
    TXANProcObject(Integer AName, plat::UString AStrName);
    ~TXANProcObject() override;

    virtual void EmitByteCode(TXANAbstractNamespace* AGlobalNamespace) = 0;
    // Called once the bytecode is emitted: frees what only code generation needed (the body's
    // syntax). The declarations the procedure's scope answers from at run time stay.
    virtual void ReleaseSyntax() noexcept {}
    // Declares the next parameter; its kind decides what an argument becomes on entry.
    void AddParam(TXANParamKind AKind);
    TXANByteCode* ByteCode() const noexcept { return FByteCode.get(); }
    Integer ParamCount() const noexcept { return static_cast<Integer>(FParamKinds.size()); }
    TXANParamKind ParamKind(Integer AIndex) const noexcept { return FParamKinds[static_cast<std::size_t>(AIndex)]; }
    // Callers push a reference for every argument that is a variable, whatever the parameter
    // (calls are resolved at run time). A by-value parameter is a copy taken at the call, so
    // each such reference among AArgs (ParamCount() slots) is replaced by the value it refers to.
    // Inline: every script call runs it, and the arguments are seldom references.
    void TakeByValueCopies(plat::Variant* AArgs) const {
        for (const std::uint16_t i : FByValueParams) {
            plat::Variant& arg = AArgs[i];
            if (!arg.IsByRef()) continue;
            // The argument is a reference, which owns nothing: it becomes a copy of what it
            // refers to. Foreign by-reference forms are read out of line.
            const plat::VarData& target = arg.Deref();
            if (target.VType & plat::varByRef) TakeCopy(arg);
            else arg.Assign(target);
        }
    }

protected:
    std::unique_ptr<TXANByteCode> FByteCode;

private:
    static void TakeCopy(plat::Variant& AArg);

    std::vector<TXANParamKind> FParamKinds;
    std::vector<std::uint16_t> FByValueParams;  // the indices of the pkSimple parameters
};

// The statements Exit, Break and Continue as callable names.
class TXANExitObject : public TXANGlobalObject {
    XAN_CLASS(TXANExitObject, TXANGlobalObject)
    TXANExitObject(Integer AName, plat::UString AStrName) : TXANGlobalObject(AName, std::move(AStrName), gtExit) {}
};

class TXANBreakObject : public TXANGlobalObject {
    XAN_CLASS(TXANBreakObject, TXANGlobalObject)
    TXANBreakObject(Integer AName, plat::UString AStrName) : TXANGlobalObject(AName, std::move(AStrName), gtBreak) {}
};

class TXANContinueObject : public TXANGlobalObject {
    XAN_CLASS(TXANContinueObject, TXANGlobalObject)
    TXANContinueObject(Integer AName, plat::UString AStrName)
        : TXANGlobalObject(AName, std::move(AStrName), gtContinue) {}
};

// A built-in routine or constant of a language.
class TIntrinsic : public TXANGlobalObject {
    XAN_CLASS(TIntrinsic, TXANGlobalObject)
    TIntrinsic(Integer AName, plat::UString AStrName) : TXANGlobalObject(AName, std::move(AStrName), gtIntrinsic) {}

    // AArgs points at argument 1 of ACall->FArgCount consecutive slots (arguments may be
    // references); AResult is the call's result slot.
    virtual void Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) = 0;
};

// A host object published to a script under a name.
class TXANExternObject : public TXANGlobalObject {
    XAN_CLASS(TXANExternObject, TXANGlobalObject)
    // Holds one reference to AObj. ACodeObject is AObj itself seen as another machine's script
    // object (for in-process calls), or null.
    TXANExternObject(Integer AName, plat::UString AStrName, plat::IDispatch* AObj, TXANCodeObject* ACodeObject,
                     bool APublishMembers);
    ~TXANExternObject() override;
    TXANExternObject(const TXANExternObject&) = delete;
    TXANExternObject& operator=(const TXANExternObject&) = delete;

    plat::IDispatch* const FObj;
    TXANCodeObject* const FCodeObject;  // not counted: FObj keeps it alive
    const bool FPublishMembers;
};

}  // namespace xan
