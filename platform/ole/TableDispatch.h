#pragma once
// TTableDispatch: a reference-counted dispatch object whose members are rows of a static table
// (name, kind, argument count, result type, the C++ functions that read, call or write it), with
// type information for its readable properties built from the same rows, so that a debugger
// lists them. For automation objects a program offers by program identifier, whose lifetime
// the scripts own (host objects the host owns go through the wrappers instead).
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/core/CharCase.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/HResult.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/OleError.h"
#include "platform/ole/TypeInfo.h"
#include "platform/ole/Variant.h"

namespace xan::plat {

// The arguments of one call, in the order the script wrote them.
class TDispArgs {
public:
    TDispArgs(const DISPPARAMS& AParams, std::uint32_t ACount) noexcept : FParams(AParams), FCount(ACount) {}
    std::uint32_t Count() const noexcept { return FCount; }
    // References followed.
    VarData operator[](std::uint32_t AIndex) const noexcept { return VarDerefAll(FParams.Arg(AIndex)); }

private:
    DISPPARAMS FParams;  // a copy: the argument array stays the caller's
    std::uint32_t FCount;
};

template <class T>
struct TDispMember {
    const char16_t* Name;
    bool IsProperty;         // read (and written, with Put) as a property; else a method
    std::int16_t ArgCount;   // the arguments a call takes (a written property: besides its value)
    VarType ResultType;      // for the type information; varEmpty: no result
    void (*Get)(T& ASelf, const TDispArgs& AArgs, Variant& AResult);
    void (*Put)(T& ASelf, const TDispArgs& AArgs, const VarData& AValue) = nullptr;
    bool IsDefault = false;  // answers DISPID_VALUE (obj(i) indexes through it)
};

// T derives from TTableDispatch<T> and has `static std::span<const TDispMember<T>> Members()`
// and `static constexpr std::u16string_view ErrorSource`. Member i has dispatch id i + 1.
template <class T>
class TTableDispatch : public TInterfacedObject, public IDispatch {
public:
    HRESULT GetTypeInfoCount(std::uint32_t* ACount) noexcept override {
        *ACount = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(std::uint32_t, LCID, ITypeInfo** AInfo) noexcept override {
        *AInfo = SharedTypeInfo();
        (*AInfo)->AddRef();
        return S_OK;
    }
    HRESULT GetIDsOfNames(const TGUID&, const char16_t* const* ANames, std::uint32_t ACount, LCID,
                          DISPID* AIds) noexcept override {
        const auto members = T::Members();
        HRESULT result = S_OK;
        for (std::uint32_t n = 0; n < ACount; ++n) {
            AIds[n] = DISPID_UNKNOWN;
            for (std::size_t i = 0; i < members.size() && n == 0; ++i)
                if (SameIdentifier(members[i].Name, ANames[n])) AIds[n] = static_cast<DISPID>(i + 1);
            if (AIds[n] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT Invoke(DISPID AId, const TGUID&, LCID, std::uint16_t AFlags, DISPPARAMS* AParams, Variant* AResult,
                   EXCEPINFO* AExcep, std::uint32_t*) noexcept override {
        const TDispMember<T>* member = Find(AId);
        if (!member) return DISP_E_MEMBERNOTFOUND;
        const bool put = (AFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        const std::uint32_t args = AParams->cArgs - (put ? 1u : 0u);
        if (put && !member->Put) return DISP_E_MEMBERNOTFOUND;
        if (!put && member->IsProperty && !(AFlags & DISPATCH_PROPERTYGET) && member->ArgCount == 0 && args > 0)
            return DISP_E_BADPARAMCOUNT;
        if (AParams->cArgs < (put ? 1u : 0u) || args != static_cast<std::uint32_t>(member->ArgCount))
            return DISP_E_BADPARAMCOUNT;
        T& self = static_cast<T&>(*this);
        return SafeCallInvoke(
            [&] {
                // The property's value is the named argument, first in the reversed list.
                const TDispArgs list(PutArgs(*AParams, put), args);
                if (put) return member->Put(self, list, VarDerefAll(AParams->rgvarg[0]));
                Variant result;
                member->Get(self, list, result);
                if (AResult) *AResult = std::move(result);
            },
            AExcep, T::ErrorSource);
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<T, IDispatch>()};
        return table;
    }

private:
    static bool SameIdentifier(std::u16string_view AName, const char16_t* AWanted) {
        return IdentUpperCase(UString(AName)) == IdentUpperCase(UString(AWanted));
    }
    static const TDispMember<T>* Find(DISPID AId) noexcept {
        const auto members = T::Members();
        if (AId == DISPID_VALUE) {
            for (const auto& m : members)
                if (m.IsDefault) return &m;
            return nullptr;
        }
        return AId >= 1 && static_cast<std::size_t>(AId) <= members.size() ? &members[std::size_t(AId) - 1] : nullptr;
    }
    // The arguments without a put's value: the reversed list minus its first entry.
    static DISPPARAMS PutArgs(const DISPPARAMS& AParams, bool APut) noexcept {
        DISPPARAMS params = AParams;
        if (APut) {
            params.rgvarg = AParams.rgvarg + 1;
            params.cArgs = AParams.cArgs - 1;
        }
        params.rgdispidNamedArgs = nullptr;
        params.cNamedArgs = 0;
        return params;
    }
    static ITypeInfo* SharedTypeInfo() {
        static const ComPtr<ITypeInfo> info = [] {
            std::vector<TypeMember> rows;
            const auto members = T::Members();
            for (std::size_t i = 0; i < members.size(); ++i) {
                const TDispMember<T>& m = members[i];
                rows.push_back({UString(m.Name), static_cast<MEMBERID>(i + 1),
                                m.IsProperty ? INVOKE_PROPERTYGET : INVOKE_FUNC, m.ArgCount, m.ResultType, UString()});
            }
            return ComPtr<ITypeInfo>(new TMemberTypeInfo(std::move(rows)));
        }();
        return info.Get();
    }
};

}  // namespace xan::plat
