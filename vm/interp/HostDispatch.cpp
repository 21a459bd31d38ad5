#include "vm/interp/HostDispatch.h"

#include <array>
#include <span>

#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"
#include "vm/interp/VMErrors.h"

namespace xan {

using plat::DISPID;
using plat::DISPPARAMS;
using plat::EXCEPINFO;
using plat::HRESULT;
using plat::IDispatch;
using plat::VarData;
using plat::Variant;

namespace {

// The dispatch pointer inside a value that is a (by-reference) dispatch object, else none.
bool DispatchOf(const VarData& v, IDispatch*& AObj) {
    if (v.VType == plat::varDispatch) {
        AObj = v.VDispatch;
        return true;
    }
    if (v.VType == (plat::varDispatch | plat::varByRef)) {
        AObj = *static_cast<IDispatch* const*>(v.VPointer);
        return true;
    }
    return false;
}

// The argument block, last argument first, borrowing the slots bit for bit.
struct ArgBlock {
    std::array<VarData, XANMaxDispatchArgs + 1> Slots;
    plat::DISPID PutId = plat::DISPID_PROPERTYPUT;
    DISPPARAMS Params;

    ArgBlock(std::int32_t AArgCount, Variant* AArgs, Variant* APutValue) {
        std::uint32_t n = 0;
        if (APutValue) Slots[n++] = *APutValue;
        for (std::int32_t i = AArgCount - 1; i >= 0; --i) Slots[n++] = AArgs[i];
        Params.rgvarg = n ? Slots.data() : nullptr;
        Params.cArgs = n;
        Params.rgdispidNamedArgs = APutValue ? &PutId : nullptr;
        Params.cNamedArgs = APutValue ? 1 : 0;
    }
};

std::uint16_t InvokeKindOf(TXANBracketType ABracketType) {
    switch (ABracketType) {
        case bkRound: return plat::DISPATCH_METHOD;
        case bkBlock: return plat::DISPATCH_PROPERTYGET;
        default: return plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET;
    }
}

void CheckInvoke(HRESULT hr, EXCEPINFO& excep) {
    if (plat::Failed(hr)) EXANVMRuntime::RaiseError(hr, excep, true);
}

IDispatch* RequireObject(IDispatch* AObj) {
    if (!AObj) EXANVMRuntime::RaiseError(retObjectRequired);
    return AObj;
}

}  // namespace

TXANArrayIndices XANArrayIndices(const plat::SafeArray& AArray, std::int32_t AArgCount, const Variant* AArgs) {
    if (AArgCount >= XANMaxArrayIndices || AArgCount != AArray.DimCount())
        EXANVMRuntime::RaiseError(retInvalidParamCount);
    TXANArrayIndices idx;
    idx.Count = static_cast<std::size_t>(AArgCount);
    for (std::int32_t i = 0; i < AArgCount; ++i) {
        const VarData& arg = AArgs[i].Deref();  // a variable passed as an index arrives as a reference
        idx.Values[static_cast<std::size_t>(i)] = arg.VType == plat::varInteger ? arg.VInteger : plat::VarToInt32(arg);
    }
    return idx;
}

void XANPutElement(Variant& ATarget, const TXANArrayIndices& AIndices, const Variant& AValue) {
    Variant& target = ATarget.DerefMut();
    if (!target.IsArray()) EXANVMRuntime::RaiseError(retTypeMismatch);
    target.MutableArray().Put(AIndices.Span(), AValue.Deref());
}

IDispatch* XANObjectOf(const Variant& AValue) {
    const VarData& v = AValue.Deref();
    if (v.VType == plat::varEmpty || v.VType == plat::varNull) return nullptr;
    IDispatch* obj = nullptr;
    if (!DispatchOf(v, obj)) plat::RaiseVarTypeCast();
    return obj;
}

void XANInvokeHostMember(IDispatch* AObj, DISPID AId, TXANBracketType ABracketType, std::uint32_t AResMask,
                         std::int32_t AArgCount, Variant* AArgs, Variant& AResult) {
    if (AArgCount > XANMaxDispatchArgs) EXANVMRuntime::RaiseError(retInvalidParamCount);
    ArgBlock block(AArgCount, AArgs, nullptr);
    EXCEPINFO excep;
    Variant result;
    const HRESULT hr = RequireObject(AObj)->Invoke(AId, plat::IID_NULL, 0, InvokeKindOf(ABracketType), &block.Params,
                                                   AResMask ? &result : nullptr, &excep, nullptr);
    CheckInvoke(hr, excep);
    if (AResMask) AResult.MoveFrom(result);
}

void XANHostPropPut(IDispatch* AObj, DISPID AId, TXANBracketType ABracketType, std::int32_t AArgCount, Variant* AArgs,
                    Variant& AValue) {
    if (ABracketType == bkRound) EXANVMRuntime::RaiseError(retCannotAssign);
    if (AArgCount + 1 >= XANMaxDispatchArgs + 1) EXANVMRuntime::RaiseError(retInvalidParamCount);
    ArgBlock block(AArgCount, AArgs, &AValue);
    EXCEPINFO excep;
    const HRESULT hr = RequireObject(AObj)->Invoke(AId, plat::IID_NULL, 0,
                                                   plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF,
                                                   &block.Params, nullptr, &excep, nullptr);
    CheckInvoke(hr, excep);
}

void XANIndexValue(const Variant& AValue, std::int32_t AArgCount, Variant* AArgs, Variant& AResult) {
    const VarData& v = AValue.Deref();
    IDispatch* obj = nullptr;
    if (DispatchOf(v, obj)) {
        XANInvokeHostMember(obj, plat::DISPID_VALUE, bkBlock, plat::varTypeMask, AArgCount, AArgs, AResult);
        return;
    }
    if ((v.VType & (plat::varArray | plat::varByRef)) == plat::varArray) {
        const plat::SafeArray& array = *v.VArray;
        const TXANArrayIndices idx = XANArrayIndices(array, AArgCount, AArgs);
        Variant element;
        array.Get(idx.Span(), element);
        AResult.MoveFrom(element);
        return;
    }
    EXANVMRuntime::RaiseError(retTypeMismatch);
}

void XANIndexedAssign(Variant& ATarget, std::int32_t AArgCount, Variant* AArgs, Variant& AValue) {
    Variant& target = ATarget.DerefMut();
    IDispatch* obj = nullptr;
    if (DispatchOf(target, obj)) {
        XANHostPropPut(obj, plat::DISPID_VALUE, bkBlock, AArgCount, AArgs, AValue);
        return;
    }
    if (target.IsArray()) {
        XANPutElement(target, XANArrayIndices(target.Array(), AArgCount, AArgs), AValue);
        return;
    }
    EXANVMRuntime::RaiseError(retTypeMismatch);
}

}  // namespace xan
