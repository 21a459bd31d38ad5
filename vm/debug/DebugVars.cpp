#include "vm/debug/DebugVars.h"

#include "platform/core/Exception.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/TypeInfo.h"
#include "platform/ole/VarConsts.h"
#include "platform/text/NumText.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

using plat::UString;
using plat::Variant;

namespace {

const UString& Braces() {
    static const UString text(u"{...}");
    return text;
}

// The language of the machine running AFrame.
IXANLanguage* LanguageOf(const TXANCallStackFrame& AFrame) {
    auto* vm = dynamic_cast<TXANVirtMachine*>(AFrame.VM);
    return vm ? vm->Language() : nullptr;
}

UString LanguageText(IXANLanguage* ALang, void (IXANLanguage::*AText)(UString&)) {
    UString text;
    if (ALang) (ALang->*AText)(text);
    return text;
}

UString ValueTextOf(IXANLanguage* ALang, const plat::VarData& v) {
    if (v.VType & plat::varArray) return Braces();
    switch (v.VType & plat::varTypeMask) {
        case plat::varEmpty: return LanguageText(ALang, &IXANLanguage::GetUnassignedText);
        case plat::varNull: return LanguageText(ALang, &IXANLanguage::GetNullText);
        case plat::varSmallint: case plat::varInteger: case plat::varSingle: case plat::varDouble:
        case plat::varCurrency: case plat::varDate: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64:
            return plat::VarToUString(v);
        case plat::varOleStr: return QuoteDoubling(plat::VarToUString(v), u'\'');
        case plat::varDispatch: case plat::varUnknown:
            return v.VPointer ? Braces() : LanguageText(ALang, &IXANLanguage::GetNilText);
        case plat::varBoolean: return UString(v.VBoolean ? u"True" : u"False");
        case plat::varString: {
            UString quoted;
            if (ALang) ALang->QuoteString(plat::VarToUString(v), quoted);
            return quoted;
        }
        case plat::varAny: return plat::VarToUString(v);
        default: return UString();
    }
}

// The type code a property's declared type stands for: pointers followed, user-defined
// types counted as objects.
plat::VarType DeclaredType(const plat::TYPEDESC& ADesc) {
    const plat::TYPEDESC* desc = &ADesc;
    while (desc->vt == plat::VT_PTR && desc->pointee) desc = desc->pointee;
    return desc->vt == plat::VT_USERDEFINED ? plat::VarType(plat::varDispatch) : desc->vt;
}

TXANPasDebugVar Leaf(UString AName, const char16_t* AType, UString AValue) {
    return {std::move(AName), UString(AType), std::move(AValue), nullptr};
}

// Type information and its attributes for the duration of one use; empty when the object has
// none or cannot tell it.
class TTypeView {
public:
    explicit TTypeView(plat::IDispatch* AObject) {
        if (!AObject || plat::Failed(AObject->GetTypeInfo(0, 0, FInfo.Put())) || !FInfo) return;
        if (plat::Failed(FInfo->GetTypeAttr(&FAttr))) FAttr = nullptr;
    }
    ~TTypeView() {
        if (FAttr) FInfo->ReleaseTypeAttr(FAttr);
    }
    TTypeView(const TTypeView&) = delete;
    TTypeView& operator=(const TTypeView&) = delete;

    std::uint32_t FuncCount() const noexcept { return FAttr ? FAttr->cFuncs : 0; }
    plat::ITypeInfo* Info() const noexcept { return FInfo.Get(); }

private:
    plat::ComPtr<plat::ITypeInfo> FInfo;
    plat::TYPEATTR* FAttr = nullptr;
};

// One function description, released after use.
class TFuncView {
public:
    TFuncView(plat::ITypeInfo* AInfo, std::uint32_t AIndex) : FInfo(AInfo) {
        if (plat::Failed(AInfo->GetFuncDesc(AIndex, &FDesc))) FDesc = nullptr;
    }
    ~TFuncView() {
        if (FDesc) FInfo->ReleaseFuncDesc(FDesc);
    }
    TFuncView(const TFuncView&) = delete;
    TFuncView& operator=(const TFuncView&) = delete;
    const plat::FUNCDESC* operator->() const noexcept { return FDesc; }
    explicit operator bool() const noexcept { return FDesc != nullptr; }

private:
    plat::ITypeInfo* FInfo;
    plat::FUNCDESC* FDesc = nullptr;
};

// The member's one name, when it maps back to the same member id.
bool MemberName(plat::ITypeInfo* AInfo, plat::MEMBERID AId, UString& AName) {
    std::uint32_t count = 0;
    if (plat::Failed(AInfo->GetNames(AId, &AName, 1, &count)) || count != 1) return false;
    const char16_t* names[1] = {AName.c_str()};
    plat::MEMBERID back = plat::MEMBERID_NIL;
    return plat::Succeeded(AInfo->GetIDsOfNames(names, 1, &back)) && back == AId;
}

}  // namespace

// ---- TDebugVarUtils ----------------------------------------------------------------------------

UString TDebugVarUtils::TypeName(const Variant& AValue) { return plat::VarTypeNameOf(AValue.Deref()); }

UString TDebugVarUtils::ValueText(IXANLanguage* ALang, const Variant& AValue) {
    try {
        return ValueTextOf(ALang, AValue.Deref());
    } catch (const plat::RaisedException& raised) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(raised));
        return e ? e->Message() : UString();
    }
}

TXANPasDebugVarChildrenRef TDebugVarUtils::ChildrenOf(IXANLanguage* ALang, const Variant& AValue) {
    const plat::VarData& v = AValue.Deref();
    if (v.VType == plat::varDispatch && v.VDispatch && TDispatchVarChildren::HasChildProps(v.VDispatch))
        return TXANPasDebugVarChildrenRef(new TDispatchVarChildren(ALang, v.VDispatch));
    const Variant value(v);
    if (value.IsArray() && TArrayVarChildren::HasChildProps(value))
        return TXANPasDebugVarChildrenRef(new TArrayVarChildren(ALang, value));
    return nullptr;
}

void TDebugVarUtils::FillVar(const UString& AName, const UString& AType, IXANLanguage* ALang, const Variant& AValue,
                             TXANPasDebugVar& AVar) {
    AVar.Name = AName;
    AVar.Type_ = AType;
    AVar.Value = ValueText(ALang, AValue);
    AVar.Children = ChildrenOf(ALang, AValue);
}

// ---- TStoredVarChildren ------------------------------------------------------------------------

TXANPasDebugVarChildrenRef TStoredVarChildren::Init(TXANCallStackFrame* AFrame, bool ALocalsOnly) {
    plat::ComPtr<TStoredVarChildren> children(new TStoredVarChildren());
    children->FFrame = AFrame;
    children->FLang = LanguageOf(*AFrame);
    AFrame->CurNS->EnumDebugVars(ALocalsOnly, [&](const UString& AName, const TXANNameSearchRes& ARes) {
        children->Add(AName, ARes);
    });
    children->FFrame = nullptr;  // the values are copies: nothing refers to the frame any more
    return TXANPasDebugVarChildrenRef(children.Get());
}

void TStoredVarChildren::Add(const UString& ADisplayName, const TXANNameSearchRes& ARes) {
    const TXANVMInterpretContext& ctx = *FFrame->Ctx;
    Variant value;
    switch (ARes.ObjKind) {
        // Copies of the values themselves, never of references to them.
        case srGlobalVar: case srGlobalConst: value.Assign(ARes.ValuedObject()->Value.Deref()); break;
        case srLocalVar: case srLocalConstSlot: value.Assign(FFrame->Stack[ARes.LocalVarIndex].Deref()); break;
        case srLocalConst: value.Assign(ARes.LocalConst->Deref()); break;
        case srParam: value.Assign(ctx.Args[ARes.ParamInfo.Index].Deref()); break;
        case srResult:
            if (!ctx.Result) return;
            value.Assign(ctx.Result->Deref());
            break;
        default: return;
    }
    TXANPasDebugVar item;
    TDebugVarUtils::FillVar(ADisplayName, TDebugVarUtils::TypeName(value), FLang, value, item);
    FItems.push_back(std::move(item));
}

void TStoredVarChildren::Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) {
    bool stop = false;
    for (const TXANPasDebugVar& item : FItems) {
        AProc(item, ACookie, stop);
        if (stop) return;
    }
}

// ---- TDispatchVarChildren ----------------------------------------------------------------------

bool TDispatchVarChildren::HasChildProps(plat::IDispatch* AObject) {
    const TTypeView type(AObject);
    for (std::uint32_t i = 0; i < type.FuncCount(); ++i) {
        const TFuncView func(type.Info(), i);
        if (func && func->invkind == plat::INVOKE_PROPERTYGET) return true;
    }
    return false;
}

void TDispatchVarChildren::Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) {
    const TTypeView type(FObject.Get());
    bool stop = false;
    for (std::uint32_t i = 0; i < type.FuncCount() && !stop; ++i) {
        const TFuncView func(type.Info(), i);
        UString name;
        if (!func || func->invkind != plat::INVOKE_PROPERTYGET || !MemberName(type.Info(), func->memid, name)) continue;
        TXANPasDebugVar child;
        if (func->cParams > 0) {
            child = Leaf(name + UString(u"[]"), u"Collection", Braces());
        } else {
            plat::DISPPARAMS none;
            plat::EXCEPINFO excep;
            Variant value;
            if (plat::Succeeded(FObject->Invoke(func->memid, plat::IID_NULL, 0, plat::DISPATCH_PROPERTYGET, &none, &value,
                                                &excep, nullptr)))
                TDebugVarUtils::FillVar(name, plat::VarTypeName(DeclaredType(func->elemdescFunc)), FLang.Get(), value,
                                        child);
            else
                child = Leaf(name, u"Error", UString(u"Inaccessible value"));
        }
        AProc(child, ACookie, stop);
    }
}

// ---- TArrayVarChildren -------------------------------------------------------------------------

TArrayVarChildren::TArrayVarChildren(IXANLanguage* ALang, const Variant& AArray)
    : TArrayVarChildren(ALang, AArray, AArray.Array().DimCount() - 1,
                        TArrayVarIndices(static_cast<std::size_t>(AArray.Array().DimCount()), 0)) {}

TArrayVarChildren::TArrayVarChildren(IXANLanguage* ALang, const Variant& AArray, std::int32_t ADim,
                                     TArrayVarIndices AIndices)
    : FLang(ALang),
      FArray(AArray),
      FDim(ADim),
      FIndices(std::move(AIndices)),
      FElemType(plat::VarTypeName(AArray.Array().ElemType())) {}

bool TArrayVarChildren::HasChildProps(const Variant& AArray) { return !AArray.Array().HasEmptyDimension(); }

void TArrayVarChildren::Enum(const TXANPasDebugVarChildProc& AProc, void* ACookie) {
    const plat::SafeArray& array = FArray.Array();
    const int dims = array.DimCount();
    const int dim = dims - FDim;  // 1-based: level dims - 1 is the first dimension
    TArrayVarIndices indices = FIndices;
    bool stop = false;
    for (std::int32_t i = array.Low(dim); i <= array.High(dim) && !stop; ++i) {
        indices[static_cast<std::size_t>(FDim)] = i;
        const UString name = UString(u"[") + plat::IntToStr(i) + UString(u"]");
        TXANPasDebugVar child;
        if (FDim == 0) {
            // First dimension first: the working copy read from its last entry to its first.
            const TArrayVarIndices full(indices.rbegin(), indices.rend());
            Variant element;
            array.Get(full, element);
            TDebugVarUtils::FillVar(name, FElemType, FLang.Get(), element, child);
        } else {
            child.Name = name;
            child.Type_ = UString(u"array");
            child.Value = Braces();
            child.Children = TXANPasDebugVarChildrenRef(new TArrayVarChildren(FLang.Get(), FArray, FDim - 1, indices));
        }
        AProc(child, ACookie, stop);
    }
}

// ---- TDebugVarsNamespace -----------------------------------------------------------------------

TXANNameSearchRes TDebugVarsNamespace::Find(TXANThread* AThread, Integer AName, const UString* AStrName) {
    const TXANNameSearchRes r = FFrame->CurNS->Find(AThread, AName, AStrName);
    TXANVMInterpretContext& ctx = *FFrame->Ctx;
    switch (r.ObjKind) {
        case srLocalVar: case srLocalConstSlot: return TXANNameSearchRes::DebugVariable(&FFrame->Stack[r.LocalVarIndex]);
        case srLocalConst: return TXANNameSearchRes::DebugVariable(const_cast<Variant*>(r.LocalConst));
        case srParam: return TXANNameSearchRes::DebugVariable(&ctx.Args[r.ParamInfo.Index]);
        case srResult: return ctx.Result ? TXANNameSearchRes::DebugVariable(ctx.Result) : r;
        default: return r;
    }
}

void TDebugVarsNamespace::EnumDebugVars(bool ALocalsOnly, const TXANNamespaceEnumVarsProc& AProc) {
    FFrame->CurNS->EnumDebugVars(ALocalsOnly, AProc);
}

}  // namespace xan
