#pragma once
// What a name denotes in a scope: the answer of every namespace lookup, at compile time and at
// run time. One pointer-sized payload is read according to the kind.
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Instr.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan {

enum TXANNameSearchResKind : std::uint8_t {
    srNotFound, srExternal, srExternalMember, srUnit, srGlobalVar, srGlobalConst, srProcedure,
    srLocalVar, srLocalConst, srParam, srResult, srExit, srBreak, srContinue, srIntrinsic, srDebugVar,
    srLocalConstSlot
};

struct TXANNameSearchRes {
    TXANNameSearchRes() noexcept : NamedObject(nullptr) {}

    TXANNameSearchResKind ObjKind = srNotFound;
    union {
        // srExternal, srExternalMember, srGlobalVar, srGlobalConst, srProcedure, srExit,
        // srBreak, srContinue, srIntrinsic.
        TXANGlobalObject* NamedObject;
        plat::Integer LocalVarIndex;        // srLocalVar, srLocalConstSlot
        const plat::Variant* LocalConst;    // srLocalConst
        TXANParamInfo ParamInfo;            // srParam
        plat::Variant* DebugVar;            // srDebugVar
    };
    plat::DISPID DispId = 0;  // srExternalMember: the member's dispatch id

    static TXANNameSearchRes NotFound() noexcept { return {}; }
    static TXANNameSearchRes Result() noexcept { return OfKind(srResult); }
    // The search result that names a global object, by the object's kind.
    static TXANNameSearchRes OfObject(TXANGlobalObject* AObject) noexcept;
    static TXANNameSearchRes ExternalMember(TXANExternObject* AObject, plat::DISPID ADispId) noexcept;
    static TXANNameSearchRes LocalVar(plat::Integer AIndex) noexcept;
    static TXANNameSearchRes LocalConstant(const plat::Variant* AValue) noexcept;
    // A local constant whose value is computed on every entry and kept in the frame's slot
    // AIndex: each activation (recursive or on another thread) has its own; read-only.
    static TXANNameSearchRes LocalConstantSlot(plat::Integer AIndex) noexcept;
    static TXANNameSearchRes Param(TXANParamInfo AInfo) noexcept;
    static TXANNameSearchRes DebugVariable(plat::Variant* AValue) noexcept;

    TXANExternObject* Extern() const noexcept { return static_cast<TXANExternObject*>(NamedObject); }
    TXANGlobalValuedObject* ValuedObject() const noexcept { return static_cast<TXANGlobalValuedObject*>(NamedObject); }
    TXANProcObject* Proc() const noexcept { return static_cast<TXANProcObject*>(NamedObject); }
    TIntrinsic* Intrinsic() const noexcept { return static_cast<TIntrinsic*>(NamedObject); }

private:
    static TXANNameSearchRes OfKind(TXANNameSearchResKind AKind) noexcept {
        TXANNameSearchRes r;
        r.ObjKind = AKind;
        return r;
    }
};

// The kind of search result a global object of type AType gives.
TXANNameSearchResKind SearchResKindOf(TXANGlobalObjType AType) noexcept;

}  // namespace xan
