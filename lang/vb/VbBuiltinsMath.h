#pragma once
// Built-in arithmetic of the VBScript dialect: floating-point functions, rounding, the sign,
// colour composition and the pseudo-random generator.
//
// Floating-point functions follow IEEE arithmetic outside their domain, as division does in the
// machine and as the Pascal dialect's functions do: Log(0) is -INF, Sqr(-1) is NAN.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TAbs, "Abs", bokFunction, 1)
XAN_VB_INTRINSIC(TAtn, "Atn", bokFunction, 1)
XAN_VB_INTRINSIC(TCos, "Cos", bokFunction, 1)
XAN_VB_INTRINSIC(TSin, "Sin", bokFunction, 1)
XAN_VB_INTRINSIC(TTan, "Tan", bokFunction, 1)
XAN_VB_INTRINSIC(TSqr, "Sqr", bokFunction, 1)
XAN_VB_INTRINSIC(TExp, "Exp", bokFunction, 1)
XAN_VB_INTRINSIC(TInt, "Int", bokFunction, 1)
XAN_VB_INTRINSIC(TFix, "Fix", bokFunction, 1)
XAN_VB_INTRINSIC(TLog, "Log", bokFunction, 1)
XAN_VB_INTRINSIC(TRound, "Round", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TSgn, "Sgn", bokFunction, 1)
XAN_VB_INTRINSIC(TRGB, "RGB", bokFunction, 3)
XAN_VB_INTRINSIC(TRnd, "Rnd", bokFunction, 0)
XAN_VB_INTRINSIC(TRandomize, "Randomize", bokProcedure, 0)

}  // namespace xan::vb
