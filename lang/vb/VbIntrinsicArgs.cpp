#include "lang/vb/VbIntrinsicArgs.h"

#include "platform/core/DateUtils.h"
#include "platform/ole/VarErrors.h"
#include "platform/text/DateText.h"
#include "vm/interp/VMErrors.h"

namespace xan::vb {

plat::Integer ArgInt(const plat::Variant& AArg) { return plat::VarToInt32(AArg); }

double ArgFloat(const plat::Variant& AArg) { return plat::VarToDouble(AArg); }

plat::UString ArgStr(const plat::Variant& AArg) { return plat::VarToUString(AArg); }

bool ArgBool(const plat::Variant& AArg) { return plat::VarToBool(AArg); }

bool ArgIsNull(const plat::Variant& AArg) noexcept { return plat::VarTypeOf(AArg) == plat::varNull; }

TDateTime ArgDate(const plat::Variant& AArg) {
    const plat::VarData d = plat::VarDerefAll(AArg);
    if (d.VType == plat::varOleStr || d.VType == plat::varString) return plat::StrToDateTime(d.StrView());
    return plat::VarToDouble(AArg);
}

const plat::SafeArray& ArgVector(const plat::Variant& AArg) {
    const plat::VarData d = plat::VarDerefAll(AArg);
    if ((d.VType & plat::varArray) == 0 || d.VArray == nullptr || d.VArray->DimCount() != 1) RaiseConversionError();
    return *d.VArray;
}

TVbCompareMode CompareModeArg(const plat::Variant* AArg) {
    const bool isText = AArg && plat::VarCompare(*AArg, plat::Variant(plat::Integer(1))) == plat::VarOrder::Equal;
    return isText ? TVbCompareMode::Text : TVbCompareMode::Binary;
}

plat::Integer CountArg(const plat::Variant* AArg) {
    if (!AArg) return -1;
    const plat::Integer count = ArgInt(*AArg);
    if (count < -1) RaiseConversionError();
    return count;
}

void CheckArgCount(const TXANCall* ACall, plat::Integer AMin, plat::Integer AMax) {
    if (ACall->FArgCount < AMin || ACall->FArgCount > AMax) EXANVMRuntime::RaiseError(retInvalidParamCount);
}

void RaiseConversionError() { plat::RaiseVarTypeCast(); }

void SetDateResult(plat::Variant& AResult, TDateTime AValue) {
    // DecodeDate rejects serials outside the supported range with the platform's date error.
    static_cast<void>(plat::DecodeDate(AValue));
    AResult = plat::Variant::FromDate(AValue);
}

plat::Variant StringArray(const std::vector<plat::UString>& AItems) {
    plat::Variant result = plat::Variant::FromArray(
        plat::SafeArray::Create1(plat::varVariant, 0, static_cast<std::int32_t>(AItems.size())));
    plat::SafeArray& array = result.MutableArray();
    for (std::size_t i = 0; i < AItems.size(); ++i)
        array.PutFlat(static_cast<std::int64_t>(i), plat::Variant(AItems[i]));
    return result;
}

}  // namespace xan::vb
