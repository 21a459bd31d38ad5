#include "OleTestSupport.h"

#include "platform/core/CharCase.h"
#include "platform/ole/VarErrors.h"

namespace xan::plat::test {

namespace {

const char16_t* const kNames[] = {u"Value", u"Join", u"Item", u"Fail", u"Cast"};

bool IsPut(std::uint16_t flags) noexcept { return flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF); }

// The put value of a property put: the argument named DISPID_PROPERTYPUT.
const VarData* PutValue(const DISPPARAMS& p) noexcept {
    for (std::uint32_t i = 0; i < p.cNamedArgs; ++i)
        if (p.rgdispidNamedArgs[i] == DISPID_PROPERTYPUT) return &p.rgvarg[i];
    return nullptr;
}

}  // namespace

std::span<const TInterfacedObject::InterfaceEntry> TTestDispatch::InterfaceTable() const noexcept {
    static const InterfaceEntry table[] = {Entry<TTestDispatch, IDispatch>()};
    return table;
}

HRESULT TTestDispatch::GetTypeInfoCount(std::uint32_t* count) noexcept {
    *count = 1;
    return S_OK;
}

HRESULT TTestDispatch::GetTypeInfo(std::uint32_t, LCID, ITypeInfo** out) noexcept {
    return SafeCall([&] {
        std::vector<TypeMember> members = {
            {u"Value", 1, INVOKE_PROPERTYGET, 0, varVariant, u"the value"},
            {u"Value", 1, INVOKE_PROPERTYPUT, 1, varEmpty, {}},
            {u"Join", 2, INVOKE_FUNC, -1, varOleStr, {}},
            {u"Item", 3, INVOKE_PROPERTYGET, 1, varVariant, {}},
        };
        ComPtr<ITypeInfo> ti(new TMemberTypeInfo(std::move(members)));
        *out = ti.Detach();
    });
}

HRESULT TTestDispatch::GetIDsOfNames(const TGUID&, const char16_t* const* names, std::uint32_t count, LCID,
                                     DISPID* ids) noexcept {
    for (std::uint32_t i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (int k = 0; k < 5; ++k)
        if (IdentEquals(names[0], kNames[k])) {
            ids[0] = k + 1;
            return S_OK;
        }
    return DISP_E_UNKNOWNNAME;
}

HRESULT TTestDispatch::Invoke(DISPID id, const TGUID&, LCID, std::uint16_t flags, DISPPARAMS* params,
                              Variant* result, EXCEPINFO* excep, std::uint32_t*) noexcept {
    flagsSeen.push_back(flags);
    return SafeCallInvoke(
        [&]() -> HRESULT {
            switch (id) {
            case 1:
                if (IsPut(flags)) {
                    const VarData* v = PutValue(*params);
                    if (!v || params->cArgs != 1) return DISP_E_PARAMNOTFOUND;
                    value.Assign(VarDerefAll(*v));
                } else if (result) {
                    *result = value;
                }
                return S_OK;
            case 2: {
                UString joined;
                for (std::uint32_t i = 0; i < params->cArgs; ++i) {
                    if (i) joined += UString(u"|");
                    joined += VarToUString(params->Arg(i));
                }
                if (result) *result = Variant(joined);
                return S_OK;
            }
            case 3: {
                const std::uint32_t positional = params->cArgs - params->cNamedArgs;
                if (positional != 1) return DISP_E_BADPARAMCOUNT;
                const std::int32_t i = VarToInt32(params->rgvarg[params->cNamedArgs]);
                if (i < 0 || i > 3) return DISP_E_BADINDEX;
                if (IsPut(flags)) {
                    const VarData* v = PutValue(*params);
                    if (!v) return DISP_E_PARAMNOTFOUND;
                    items[i].Assign(VarDerefAll(*v));
                } else if (result) {
                    *result = items[i];
                }
                return S_OK;
            }
            case 4: Throw<Exception>(u"boom");
            case 5: RaiseVarTypeCast();
            default: return DISP_E_MEMBERNOTFOUND;
            }
        },
        excep, u"Test object.");
}

}  // namespace xan::plat::test
