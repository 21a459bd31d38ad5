#pragma once
// Built-in constants, value tests, random numbers, automation objects and the dialogs of the
// Pascal dialect.
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(TNullObject, "Null", bokConstant, 0)
XAN_PAS_INTRINSIC(TUnassignedObject, "Unassigned", bokConstant, 0)
XAN_PAS_INTRINSIC(TTrue, "True", bokConstant, 0)
XAN_PAS_INTRINSIC(TFalse, "False", bokConstant, 0)
XAN_PAS_INTRINSIC(TVarIsNull, "VarIsNull", bokFunction, 1)
XAN_PAS_INTRINSIC(TVarToStr, "VarToStr", bokFunction, 1)
XAN_PAS_INTRINSIC(TAssigned, "Assigned", bokFunction, 1)
XAN_PAS_INTRINSIC(TRandom, "Random", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TCreateOleObject, "CreateOleObject", bokFunction, 1)
XAN_PAS_INTRINSIC(TGetActiveOleObject, "GetActiveOleObject", bokFunction, 1)
XAN_PAS_INTRINSIC(TBeep, "Beep", bokProcedure, 0)
XAN_PAS_INTRINSIC(TShowMessage, "ShowMessage", bokProcedure, 1)
XAN_PAS_INTRINSIC(TInputQuery, "InputQuery", bokFunction, 3)

}  // namespace xan::pas
