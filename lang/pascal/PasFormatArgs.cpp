#include "lang/pascal/PasFormatArgs.h"

#include "platform/ole/SafeArray.h"
#include "vm/interp/VMErrors.h"

namespace xan::pas {

using plat::FormatArg;
using plat::FormatArgClass;
using plat::VarData;

namespace {

FormatArg ResolveVariant(const void* AValue, FormatArgClass AWanted) {
    const VarData value = plat::VarDerefAll(*static_cast<const VarData*>(AValue));
    switch (AWanted) {
    case FormatArgClass::Integer:
        // Unsigned 64-bit values beyond the signed range keep their magnitude.
        if (value.VType == plat::varUInt64) return FormatArg(value.VUInt64);
        return FormatArg(plat::VarToInt64(value));
    case FormatArgClass::Float:
        // Currency stays exact through fixed, number and money specifiers.
        if (value.VType == plat::varCurrency) return FormatArg::Currency(value.VCurrency);
        return FormatArg(plat::VarToDouble(value));
    case FormatArgClass::String: return FormatArg(plat::VarToUString(value));
    case FormatArgClass::Pointer: break;
    }
    // A script value has no address to show: answering the late form again makes Format
    // report the specifier as incompatible with its argument.
    return FormatArg::Dynamic(AValue, ResolveVariant);
}

}  // namespace

FormatArg VariantFormatArg(const plat::Variant& AValue) noexcept {
    return FormatArg::Dynamic(static_cast<const VarData*>(&AValue), ResolveVariant);
}

void TVariantFormatArgs::Add(const plat::Variant& AValue) { FArgs.push_back(VariantFormatArg(AValue)); }

void TVariantFormatArgs::AddElements(const plat::SafeArray& AArray) {
    // Format's arguments follow the elements in order along a single dimension.
    if (AArray.DimCount() != 1) EXANVMRuntime::RaiseError(retTypeMismatch);
    const std::int32_t low = AArray.Low(1);
    for (std::int32_t n = 0; n < AArray.Count(1); ++n) {
        const std::int32_t index = low + n;
        plat::Variant& element = FElements.emplace_back();
        AArray.Get(std::span<const std::int32_t>(&index, 1), element);
        Add(element);
    }
}

}  // namespace xan::pas
