#pragma once
// Built-in routines of the Pascal dialect that look into variant arrays: bounds, lengths and
// slices (Length and Copy also serve strings).
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(THigh, "High", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TLow, "Low", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TLength, "Length", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TCopy, "Copy", bokFunction, 3)

}  // namespace xan::pas
