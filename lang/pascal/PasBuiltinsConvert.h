#pragma once
// Built-in conversions of the Pascal dialect between numbers and text, and Format.
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(TIntToStr, "IntToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TIntToHex, "IntToHex", bokFunction, 2)
XAN_PAS_INTRINSIC(TFloatToStr, "FloatToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TStrToInt, "StrToInt", bokFunction, 1)
XAN_PAS_INTRINSIC(TStrToIntDef, "StrToIntDef", bokFunction, 2)
XAN_PAS_INTRINSIC(TStrToFloat, "StrToFloat", bokFunction, 1)
XAN_PAS_INTRINSIC(TFormat, "Format", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TFormatFloat, "FormatFloat", bokFunction, 2)

}  // namespace xan::pas
