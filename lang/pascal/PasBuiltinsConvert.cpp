#include "lang/pascal/PasBuiltinsConvert.h"

#include <cstdint>

#include "lang/pascal/PasFormatArgs.h"
#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/text/Format.h"
#include "platform/text/FormatFloat.h"
#include "platform/text/NumText.h"

namespace xan::pas {

using plat::UString;
using plat::Variant;

void TIntToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::IntToStr(plat::VarToInt64(AArgs[0])));
}

namespace {

// The 64 bits of an integer read as unsigned: negative values show their two's complement
// (-1 is FFFFFFFFFFFFFFFF), as hexadecimal views of integers conventionally do.
std::uint64_t UnsignedBits(const Variant& AValue) {
    const plat::VarData value = plat::VarDerefAll(AValue);
    if (value.VType == plat::varUInt64) return value.VUInt64;
    return static_cast<std::uint64_t>(plat::VarToInt64(value));
}

}  // namespace

void TIntToHex::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const std::uint64_t value = UnsignedBits(AArgs[0]);
    AResult.SetString(plat::IntToHex(value, ArgInt(AArgs[1])));
}

void TFloatToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::FloatToStr(ArgFloat(AArgs[0])));
}

void TStrToInt::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetInteger(plat::StrToInt(ArgStr(AArgs[0])));
}

void TStrToIntDef::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const UString text = ArgStr(AArgs[0]);
    AResult.SetInteger(plat::StrToIntDef(text, ArgInt(AArgs[1])));
}

void TStrToFloat::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetDouble(plat::StrToFloat(ArgStr(AArgs[0])));
}

void TFormat::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    // Without a format text there is nothing to format.
    CheckArgCount(ACall, 1, INT32_MAX);
    if (ACall->FArgCount == 1) {
        // A lone format text comes back as it is, not even converted to a string.
        AResult.Assign(plat::VarDerefAll(AArgs[0]));
        return;
    }
    TVariantFormatArgs args;
    const plat::SafeArray* array = ACall->FArgCount == 2 ? ArgArray(AArgs[1]) : nullptr;
    if (array) {
        args.AddElements(*array);
    } else {
        for (plat::Integer i = 1; i < ACall->FArgCount; ++i) args.Add(AArgs[i]);
    }
    AResult.SetString(plat::Format(ArgStr(AArgs[0]), args.Args()));
}

void TFormatFloat::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const UString picture = ArgStr(AArgs[0]);
    AResult.SetString(plat::FormatFloat(picture, ArgFloat(AArgs[1])));
}

}  // namespace xan::pas
