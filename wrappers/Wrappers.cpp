#include "wrappers/Wrappers.h"

#include <memory>

#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"
#include "wrappers/Registry.h"

namespace xan {

namespace {

// What Invoke does, by (InvokeFlags AND flags AND 15) and by whether a result is wanted from a
// procedure: 0 call a method, 1 get, 2 put, 3 type mismatch, 4 kind not accepted.
constexpr std::uint8_t kInvokeCase[16][2] = {{4, 4}, {0, 3}, {1, 3}, {4, 4}, {2, 3}, {4, 4}, {4, 4}, {4, 4},
                                             {2, 3}, {4, 4}, {4, 4}, {4, 4}, {2, 3}, {4, 4}, {4, 4}, {4, 4}};

// Inside a catch block: the type-cast error is a type mismatch; any other exception is reported
// through the exception information.
plat::HRESULT CurrentExceptionResult(plat::EXCEPINFO* AExcep) noexcept {
    try {
        std::unique_ptr<plat::Exception> e(plat::TranslateCurrentException());
        if (e->Is<plat::EVariantTypeCastError>()) return plat::DISP_E_TYPEMISMATCH;
        if (AExcep) {
            AExcep->Clear();
            AExcep->source = plat::UString(XANWrappersSource);
            AExcep->description = e->Message();
            AExcep->scode = plat::E_FAIL;
        }
    } catch (...) {
        if (AExcep) AExcep->Clear();  // out of memory while reporting: the code alone
    }
    return plat::DISP_E_EXCEPTION;
}

const TXANDispWrapperClass* MemberlessClass(const char16_t* AName) {
    return new TXANDispWrapperClass(nullptr, plat::UString(AName));
}

const TXANDispWrapperClass* MetatypeWrapperClass() {
    static const TXANDispWrapperClass* cls = MemberlessClass(u"TXANMetatypeWrapper");
    return cls;
}

const TXANDispWrapperClass* ScriptHandlerWrapperClass() {
    static const TXANDispWrapperClass* cls = MemberlessClass(u"TXANScriptHandlerWrapper");
    return cls;
}

[[noreturn]] void RaiseObjectDestroyed() { plat::Raise(new plat::EOleSysError(u"Object has been destroyed.", plat::E_FAIL)); }

plat::Variant Perform(TXANInvokeItem& AItem, void* AObj, const plat::VarData* AArgs, plat::Integer AArgCount,
                      bool AIsGet) {
    if (!AItem.InvokeProc) return plat::Variant();
    return AItem.InvokeProc(AObj, AArgs, AArgCount, AIsGet);
}

}  // namespace

// ---- Dispatch ------------------------------------------------------------------------------------

std::span<const plat::TInterfacedObject::InterfaceEntry> TXANDispWrapper::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TXANDispWrapper, plat::IDispatch>(),
                                           Entry<TXANDispWrapper, IXANDispWrapper>()};
    return table;
}

void TXANDispWrapper::DoInvoke(TXANInvokeItem&, const plat::VarData*, plat::Variant& AResult, bool, plat::Integer) {
    AResult.Clear();
}

plat::HRESULT TXANDispWrapper::GetTypeInfoCount(std::uint32_t* count) noexcept {
    if (!count) return plat::E_INVALIDARG;
    *count = 1;
    return plat::S_OK;
}

plat::HRESULT TXANDispWrapper::GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept {
    if (!out) return plat::E_INVALIDARG;
    *out = nullptr;
    return plat::SafeCall([&] {
        *out = GetDispInfo().TypeInfo();
        (*out)->AddRef();
    });
}

plat::HRESULT TXANDispWrapper::GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t count,
                                             plat::LCID, plat::DISPID* ids) noexcept {
    if (!names || !ids || count == 0) return plat::E_INVALIDARG;
    plat::Integer id = -1;
    const plat::HRESULT hr = plat::SafeCall([&] { id = GetDispInfo().GetIDOfName(names[0], false); });
    if (plat::Failed(hr)) return hr;
    if (id > 0) {
        ids[0] = id;
        return plat::S_OK;
    }
    for (std::uint32_t i = 0; i < count; ++i) ids[i] = plat::DISPID_UNKNOWN;
    return plat::DISP_E_UNKNOWNNAME;
}

plat::HRESULT TXANDispWrapper::Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t flags,
                                      plat::DISPPARAMS* params, plat::Variant* result, plat::EXCEPINFO* excep,
                                      std::uint32_t* argErr) noexcept {
    TXANAbstractDispInfo* info = nullptr;
    try {
        info = &GetDispInfo();
    } catch (...) {
        return CurrentExceptionResult(excep);
    }
    if (id < 0 || id >= info->GetCount()) return plat::DISP_E_MEMBERNOTFOUND;
    return InvokeItem(*info->GetItem(id), flags, params, result, excep, argErr);
}

plat::HRESULT TXANDispWrapper::InvokeItem(TXANInvokeItem& AItem, std::uint16_t AFlags, plat::DISPPARAMS* AParams,
                                          plat::Variant* AResult, plat::EXCEPINFO* AExcep, std::uint32_t* AArgErr) {
    static const plat::DISPPARAMS kNoArgs;
    plat::DISPPARAMS* params = AParams ? AParams : const_cast<plat::DISPPARAMS*>(&kNoArgs);
    const plat::Integer n = static_cast<plat::Integer>(params->cArgs);
    // The argument buffer holds this many; refusing beats overrunning it.
    if (params->cArgs > static_cast<std::uint32_t>(XANMaxWrapperArgs)) return plat::DISP_E_BADPARAMCOUNT;
    const int wantsNoResult = AResult && AItem.Has(iiaNoResult) ? 1 : 0;
    switch (kInvokeCase[AItem.InvokeFlags & AFlags & 15][wantsNoResult]) {
        case 0:
            if (!AItem.AcceptsArgCount(n)) return plat::DISP_E_BADPARAMCOUNT;
            break;
        case 1:
            if (!AItem.AcceptsArgCount(n)) {
                if (n > 0 && AItem.ParamCount == 0) return ForwardToDefault(AItem, AFlags, params, AResult, AExcep, AArgErr);
                return plat::DISP_E_BADPARAMCOUNT;
            }
            break;
        case 2:
            if (n != AItem.ParamCount + 1) {
                if (n >= 2 && AItem.ParamCount == 0) return ForwardToDefault(AItem, AFlags, params, AResult, AExcep, AArgErr);
                return plat::DISP_E_BADPARAMCOUNT;
            }
            break;
        case 3:
            return plat::DISP_E_TYPEMISMATCH;
        default:
            return AItem.Index != 0 ? plat::DISP_E_TYPEMISMATCH : plat::DISP_E_MEMBERNOTFOUND;
    }
    try {
        Call(AItem, AFlags, *params, AResult);
        return plat::S_OK;
    } catch (...) {
        return CurrentExceptionResult(AExcep);
    }
}

void TXANDispWrapper::Call(TXANInvokeItem& AItem, std::uint16_t AFlags, const plat::DISPPARAMS& AParams,
                           plat::Variant* AResult) {
    // Borrowed bits in source order: by-reference arguments still reach the caller's variables.
    plat::VarData args[XANMaxWrapperArgs];
    const plat::Integer n = static_cast<plat::Integer>(AParams.cArgs);
    for (plat::Integer i = 0; i < n; ++i) args[i] = AParams.Arg(static_cast<std::uint32_t>(i));
    plat::Variant value;
    const bool isGet = (AFlags & (plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF)) == 0;
    DoInvoke(AItem, args, value, isGet, n);
    if (AResult) AResult->MoveFrom(value);
}

plat::HRESULT TXANDispWrapper::ForwardToDefault(TXANInvokeItem& AItem, std::uint16_t AFlags,
                                                plat::DISPPARAMS* AParams, plat::Variant* AResult,
                                                plat::EXCEPINFO* AExcep, std::uint32_t* AArgErr) {
    plat::Variant value;
    try {
        DoInvoke(AItem, nullptr, value, true, 0);
    } catch (...) {
        return CurrentExceptionResult(AExcep);
    }
    const plat::VarData v = plat::VarDerefAll(value);
    if (v.VType != plat::varDispatch || !v.VDispatch) return plat::DISP_E_TYPEMISMATCH;
    const plat::ComPtr<plat::IDispatch> target(v.VDispatch);
    return target->Invoke(plat::DISPID_VALUE, plat::IID_NULL, 0, AFlags, AParams, AResult, AExcep, AArgErr);
}

// ---- Kinds -----------------------------------------------------------------------------------------

TXANClassWrapper::~TXANClassWrapper() { TXANWrapperRegistry::Instance().Objects().Remove(this); }

std::uint32_t TXANClassWrapper::Release() noexcept {
    plat::SectionGuard guard(TXANWrapperRegistry::Instance().Objects().Lock());
    return TXANDispWrapper::Release();
}

void TXANClassWrapper::DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                                bool AIsGet, plat::Integer AArgCount) {
    plat::TObject* value = FValue;
    if (!value) RaiseObjectDestroyed();
    void* target = AItem.Has(iiaMetaMember) ? static_cast<void*>(const_cast<plat::TClassInfo*>(value->ClassType()))
                                            : static_cast<void*>(value);
    AResult = Perform(AItem, target, AArgs, AArgCount, AIsGet);
}

void TXANRecordWrapper::DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                                 bool AIsGet, plat::Integer AArgCount) {
    AResult = Perform(AItem, AItem.Has(iiaMetaMember) ? nullptr : this, AArgs, AArgCount, AIsGet);
}

plat::Variant TXANEventWrapper::ToVar(plat::TObject* AScriptControl, const plat::UString& AProcName) {
    const plat::ComPtr<TXANScriptHandlerWrapper> handler(new TXANScriptHandlerWrapper(AScriptControl, AProcName));
    return handler->ToVariant();
}

TXANScriptHandlerWrapper::TXANScriptHandlerWrapper(plat::TObject* AScriptControl, plat::UString AProcName)
    : TXANDispWrapper(ScriptHandlerWrapperClass()), FScriptControl(AScriptControl), FProcName(std::move(AProcName)) {}

TXANMetatypeWrapper::TXANMetatypeWrapper(const TXANTypeWrapperClass* AType)
    : TXANDispWrapper(MetatypeWrapperClass()), FType(AType), FDispInfo(&AType->GetDispInfo()) {}

void TXANMetatypeWrapper::DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                                   bool AIsGet, plat::Integer AArgCount) {
    // Instance members have no instance here; only class-level ones can be performed.
    if (!AItem.Has(iiaMetaMember)) plat::Raise(new plat::EOleSysError(plat::UString(), plat::DISP_E_MEMBERNOTFOUND));
    FType->DoInvokeMeta(AItem, AArgs, AResult, AIsGet, AArgCount);
}

void TXANUnitWrapper::DoInvoke(TXANInvokeItem& AItem, const plat::VarData* AArgs, plat::Variant& AResult,
                               bool AIsGet, plat::Integer AArgCount) {
    const TXANUnitWrapperData& data = UnitWrapperClass()->UnitData();
    if (AItem.Index < data.FNonEnumCount)
        AResult = Perform(AItem, this, AArgs, AArgCount, AIsGet);
    else
        AResult = plat::Variant(data.FEnumerators.Values(AItem.Index - data.FNonEnumCount));
}

}  // namespace xan
