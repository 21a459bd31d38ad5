#include "vm/compiler/NameSearch.h"

namespace xan {

TXANNameSearchResKind SearchResKindOf(TXANGlobalObjType AType) noexcept {
    switch (AType) {
        case gtVar: return srGlobalVar;
        case gtConst: return srGlobalConst;
        case gtProcedure: return srProcedure;
        case gtExit: return srExit;
        case gtBreak: return srBreak;
        case gtContinue: return srContinue;
        case gtIntrinsic: return srIntrinsic;
        case gtExtern: return srExternal;
    }
    return srNotFound;
}

TXANNameSearchRes TXANNameSearchRes::OfObject(TXANGlobalObject* AObject) noexcept {
    TXANNameSearchRes r = OfKind(SearchResKindOf(AObject->GetGlobalObjType()));
    r.NamedObject = AObject;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::ExternalMember(TXANExternObject* AObject, plat::DISPID ADispId) noexcept {
    TXANNameSearchRes r = OfKind(srExternalMember);
    r.NamedObject = AObject;
    r.DispId = ADispId;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::LocalVar(plat::Integer AIndex) noexcept {
    TXANNameSearchRes r = OfKind(srLocalVar);
    r.LocalVarIndex = AIndex;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::LocalConstant(const plat::Variant* AValue) noexcept {
    TXANNameSearchRes r = OfKind(srLocalConst);
    r.LocalConst = AValue;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::LocalConstantSlot(plat::Integer AIndex) noexcept {
    TXANNameSearchRes r = OfKind(srLocalConstSlot);
    r.LocalVarIndex = AIndex;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::Param(TXANParamInfo AInfo) noexcept {
    TXANNameSearchRes r = OfKind(srParam);
    r.ParamInfo = AInfo;
    return r;
}

TXANNameSearchRes TXANNameSearchRes::DebugVariable(plat::Variant* AValue) noexcept {
    TXANNameSearchRes r = OfKind(srDebugVar);
    r.DebugVar = AValue;
    return r;
}

}  // namespace xan
