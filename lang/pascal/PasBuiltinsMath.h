#pragma once
// Built-in arithmetic of the Pascal dialect: floating-point functions, rounding, parity, the
// increment and decrement routines and the bit-set routines.
//
// Floating-point functions follow IEEE arithmetic outside their domain, as division does in
// the machine: Ln(0) is -INF, Sqrt(-1) is NAN. Conversions of such values to integers (Round,
// Trunc) raise the platform's invalid-operation error.
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(TArcTan, "ArcTan", bokFunction, 1)
XAN_PAS_INTRINSIC(TCos, "Cos", bokFunction, 1)
XAN_PAS_INTRINSIC(TSin, "Sin", bokFunction, 1)
XAN_PAS_INTRINSIC(TLn, "Ln", bokFunction, 1)
XAN_PAS_INTRINSIC(TExp, "Exp", bokFunction, 1)
XAN_PAS_INTRINSIC(TAbs, "Abs", bokFunction, 1)
XAN_PAS_INTRINSIC(TFrac, "Frac", bokFunction, 1)
XAN_PAS_INTRINSIC(TInt, "Int", bokFunction, 1)
XAN_PAS_INTRINSIC(TRound, "Round", bokFunction, 1)
XAN_PAS_INTRINSIC(TTrunc, "Trunc", bokFunction, 1)
XAN_PAS_INTRINSIC(TSqr, "Sqr", bokFunction, 1)
XAN_PAS_INTRINSIC(TSqrt, "Sqrt", bokFunction, 1)
XAN_PAS_INTRINSIC(TOdd, "Odd", bokFunction, 1)
XAN_PAS_INTRINSIC(TInc, "Inc", bokProcedure, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TDec, "Dec", bokFunction, TPasIntrinsic::VariableArgs)
XAN_PAS_INTRINSIC(TInclude, "Include", bokProcedure, 2)
XAN_PAS_INTRINSIC(TExclude, "Exclude", bokProcedure, 2)

}  // namespace xan::pas
