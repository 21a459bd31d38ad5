#pragma once
// Built-in array routines of the VBScript dialect: making arrays, their bounds, and the routines
// that turn arrays into text and back (Join, Split, Filter).
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TArray, "Array", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TLBound, "LBound", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TUBound, "UBound", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TJoin, "Join", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TFilter, "Filter", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TSplit, "Split", bokFunction, TVbIntrinsic::VariableArgs)

}  // namespace xan::vb
