#pragma once
// Built-in string routines of the VBScript dialect: character codes, case, length, trimming,
// repetition, comparison, parts of strings, replacing and searching.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TChr, "Chr", bokFunction, 1)
XAN_VB_INTRINSIC(TAsc, "Asc", bokFunction, 1)
XAN_VB_INTRINSIC(TUCase, "UCase", bokFunction, 1)
XAN_VB_INTRINSIC(TLCase, "LCase", bokFunction, 1)
XAN_VB_INTRINSIC(TLen, "Len", bokFunction, 1)
XAN_VB_INTRINSIC(TLTrim, "LTrim", bokFunction, 1)
XAN_VB_INTRINSIC(TRTrim, "RTrim", bokFunction, 1)
XAN_VB_INTRINSIC(TTrim, "Trim", bokFunction, 1)
XAN_VB_INTRINSIC(TSpace, "Space", bokFunction, 1)
XAN_VB_INTRINSIC(TString, "String", bokFunction, 2)
XAN_VB_INTRINSIC(TStrReverse, "StrReverse", bokFunction, 1)
XAN_VB_INTRINSIC(TStrComp, "StrComp", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TLeft, "Left", bokFunction, 2)
XAN_VB_INTRINSIC(TMid, "Mid", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TRight, "Right", bokFunction, 2)
XAN_VB_INTRINSIC(TReplace, "Replace", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TInStr, "InStr", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TInStrRev, "InStrRev", bokFunction, TVbIntrinsic::VariableArgs)

}  // namespace xan::vb
