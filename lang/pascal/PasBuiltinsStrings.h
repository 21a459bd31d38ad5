#pragma once
// Built-in text routines of the Pascal dialect: case mapping and comparison (ordinal and by
// the locale), trimming, searching, editing, characters and their codes. Positions are 1-based.
#include "lang/pascal/PasIntrinsics.h"

namespace xan::pas {

XAN_PAS_INTRINSIC(TLowerCase, "LowerCase", bokFunction, 1)
XAN_PAS_INTRINSIC(TUpperCase, "UpperCase", bokFunction, 1)
XAN_PAS_INTRINSIC(TAnsiLowerCase, "AnsiLowerCase", bokFunction, 1)
XAN_PAS_INTRINSIC(TAnsiUpperCase, "AnsiUpperCase", bokFunction, 1)
XAN_PAS_INTRINSIC(TCompareStr, "CompareStr", bokFunction, 2)
XAN_PAS_INTRINSIC(TCompareText, "CompareText", bokFunction, 2)
XAN_PAS_INTRINSIC(TAnsiCompareStr, "AnsiCompareStr", bokFunction, 2)
XAN_PAS_INTRINSIC(TAnsiCompareText, "AnsiCompareText", bokFunction, 2)
XAN_PAS_INTRINSIC(TTrim, "Trim", bokFunction, 1)
XAN_PAS_INTRINSIC(TTrimLeft, "TrimLeft", bokFunction, 1)
XAN_PAS_INTRINSIC(TTrimRight, "TrimRight", bokFunction, 1)
XAN_PAS_INTRINSIC(TIsValidIdent, "IsValidIdent", bokFunction, 1)
XAN_PAS_INTRINSIC(TPos, "Pos", bokFunction, 2)
XAN_PAS_INTRINSIC(TInsert, "Insert", bokProcedure, 3)
XAN_PAS_INTRINSIC(TDelete, "Delete", bokProcedure, 3)
XAN_PAS_INTRINSIC(TChr, "Chr", bokFunction, 1)
XAN_PAS_INTRINSIC(TOrd, "Ord", bokFunction, 1)

}  // namespace xan::pas
