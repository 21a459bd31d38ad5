#include "platform/ole/DispatchCall.h"

#include <vector>

#include "platform/ole/OleError.h"

namespace xan::plat {

DISPID DispIdOfName(IDispatch* obj, std::u16string_view name) {
    if (!obj) RaiseOleError(E_POINTER);
    const UString text(name);  // NUL-terminated for the callee
    const char16_t* names[] = {text.c_str()};
    DISPID id = DISPID_UNKNOWN;
    OleCheck(obj->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    return id;
}

Variant DispInvoke(IDispatch* obj, DISPID id, std::uint16_t flags, std::span<const Variant> args) {
    if (!obj) RaiseOleError(E_POINTER);
    // Last argument first; the block borrows the caller's values.
    std::vector<VarData> block;
    block.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) block.push_back(static_cast<const VarData&>(*it));
    DISPID putId = DISPID_PROPERTYPUT;
    const bool isPut = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{block.data(), isPut ? &putId : nullptr, static_cast<std::uint32_t>(block.size()),
                      isPut && !block.empty() ? 1u : 0u};
    Variant result;
    EXCEPINFO excep;
    const HRESULT hr = obj->Invoke(id, IID_NULL, 0, flags, &params, isPut ? nullptr : &result, &excep, nullptr);
    OleCheckInvoke(hr, excep);
    return result;
}

Variant DispGet(IDispatch* obj, std::u16string_view name, std::span<const Variant> args) {
    return DispInvoke(obj, DispIdOfName(obj, name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

void DispPut(IDispatch* obj, std::u16string_view name, const VarData& value, std::span<const Variant> args) {
    std::vector<Variant> all(args.begin(), args.end());
    all.emplace_back(value);
    DispInvoke(obj, DispIdOfName(obj, name), DISPATCH_PROPERTYPUT, all);
}

Variant DispCall(IDispatch* obj, std::u16string_view name, std::span<const Variant> args) {
    return DispInvoke(obj, DispIdOfName(obj, name), DISPATCH_METHOD, args);
}

}  // namespace xan::plat
