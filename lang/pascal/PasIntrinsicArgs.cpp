#include "lang/pascal/PasIntrinsicArgs.h"

#include "vm/interp/VMErrors.h"

namespace xan::pas {

plat::Integer ArgInt(const plat::Variant& AArg) { return plat::VarToInt32(AArg); }

double ArgFloat(const plat::Variant& AArg) { return plat::VarToDouble(AArg); }

plat::UString ArgStr(const plat::Variant& AArg) { return plat::VarToUString(AArg); }

const plat::SafeArray* ArgArray(const plat::Variant& AArg) noexcept {
    const plat::VarData d = plat::VarDerefAll(AArg);
    if ((d.VType & (plat::varArray | plat::varByRef)) != plat::varArray || d.VArray == nullptr) return nullptr;
    return d.VArray;
}

void CheckArgCount(const TXANCall* ACall, plat::Integer AMin, plat::Integer AMax) {
    if (ACall->FArgCount < AMin || ACall->FArgCount > AMax) EXANVMRuntime::RaiseError(retInvalidParamCount);
}

void SetOutArg(plat::Variant& AArg, plat::Variant AValue) {
    if (AArg.VType == plat::varRefVariant) AArg.DerefMut() = std::move(AValue);
}

}  // namespace xan::pas
