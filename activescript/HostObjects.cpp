#include "activescript/HostObjects.h"

#include "platform/ole/OleError.h"
#include "platform/ole/SafeArray.h"

namespace xan::as {

using plat::DISPPARAMS;
using plat::Variant;

namespace {

[[noreturn]] void RaiseHostError(plat::HRESULT AHr, const plat::EXCEPINFO& AExcep) {
    UString text = AHr == plat::DISP_E_EXCEPTION ? AExcep.description : UString();
    const plat::HRESULT code = AHr == plat::DISP_E_EXCEPTION && AExcep.scode ? AExcep.scode : AHr;
    if (text.empty()) text = plat::OleErrorText(code);
    plat::Throw<EScriptError>(text, -1, 0, code);
}

plat::HRESULT Invoke(IDispatch* AObj, DISPID AId, std::uint16_t AFlags, std::span<Variant> AArgs,
                     const Variant* AValue, Variant* AResult, plat::EXCEPINFO& AExcep) {
    std::vector<VarData> block;  // last first; a put's value first of all
    block.reserve(AArgs.size() + 1);
    if (AValue) block.push_back(*AValue);
    for (std::size_t i = AArgs.size(); i-- > 0;) block.push_back(AArgs[i]);
    DISPID named = plat::DISPID_PROPERTYPUT;
    DISPPARAMS params{block.data(), AValue ? &named : nullptr, static_cast<std::uint32_t>(block.size()),
                      AValue ? 1u : 0u};
    return AObj->Invoke(AId, plat::IID_NULL, 0, AFlags, &params, AResult, &AExcep, nullptr);
}

}  // namespace

DISPID HostMemberId(IDispatch* AObj, const UString& AName) {
    DISPID id = plat::DISPID_UNKNOWN;
    const char16_t* names[] = {AName.c_str()};
    if (plat::Failed(AObj->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id))) return plat::DISPID_UNKNOWN;
    return id;
}

bool TryHostGet(IDispatch* AObj, DISPID AId, std::span<Variant> AArgs, Variant& AResult) {
    plat::EXCEPINFO excep;
    const plat::HRESULT hr = Invoke(AObj, AId, plat::DISPATCH_PROPERTYGET, AArgs, nullptr, &AResult, excep);
    if (hr == plat::DISP_E_MEMBERNOTFOUND || hr == plat::DISP_E_TYPEMISMATCH || hr == plat::DISP_E_BADPARAMCOUNT)
        return false;
    if (plat::Failed(hr)) RaiseHostError(hr, excep);
    return true;
}

Variant HostCall(IDispatch* AObj, DISPID AId, std::span<Variant> AArgs) {
    plat::EXCEPINFO excep;
    Variant result;
    const plat::HRESULT hr = Invoke(AObj, AId, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET, AArgs, nullptr,
                                    &result, excep);
    if (plat::Failed(hr)) RaiseHostError(hr, excep);
    return result;
}

void HostPut(IDispatch* AObj, DISPID AId, std::span<Variant> AArgs, const Variant& AValue) {
    plat::EXCEPINFO excep;
    const plat::HRESULT hr = Invoke(AObj, AId, plat::DISPATCH_PROPERTYPUT, AArgs, &AValue, nullptr, excep);
    if (plat::Failed(hr)) RaiseHostError(hr, excep);
}

std::vector<Variant> ArrayElements(const VarData& AArray) {
    const VarData v = plat::VarDerefAll(AArray);
    std::vector<Variant> out;
    if (!(v.VType & plat::varArray) || !v.VArray) return out;
    const plat::SafeArray& a = *v.VArray;
    out.resize(static_cast<std::size_t>(a.ElementCount()));
    for (std::int64_t i = 0; i < a.ElementCount(); ++i) a.GetFlat(i, out[static_cast<std::size_t>(i)]);
    return out;
}

Variant MakeVariantArray(std::span<const Variant> AElements) {
    plat::SafeArray* a = plat::SafeArray::Create1(plat::varVariant, 0, static_cast<std::int32_t>(AElements.size()));
    Variant result = Variant::FromArray(a);
    for (std::size_t i = 0; i < AElements.size(); ++i) a->PutFlat(static_cast<std::int64_t>(i), AElements[i]);
    return result;
}

}  // namespace xan::as
