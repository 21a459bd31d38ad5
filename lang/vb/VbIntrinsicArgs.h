#pragma once
// Argument access and result building shared by the VBScript dialect's built-in routines.
// Arguments that are variables arrive as references; every reader here follows them. Failed
// conversions are the platform's variant conversion errors and reach the script unchanged.
#include <vector>

#include "lang/vb/VbTextSearch.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan::vb {

using plat::TDateTime;

plat::Integer ArgInt(const plat::Variant& AArg);
double ArgFloat(const plat::Variant& AArg);
plat::UString ArgStr(const plat::Variant& AArg);
bool ArgBool(const plat::Variant& AArg);
bool ArgIsNull(const plat::Variant& AArg) noexcept;

// A date as CDate reads it: a string is parsed as date and time with the locale's formats, any
// other value is taken as a day count.
TDateTime ArgDate(const plat::Variant& AArg);

// The one-dimensional variant array an argument holds; anything else is a conversion error.
const plat::SafeArray& ArgVector(const plat::Variant& AArg);

// The comparison an optional compare argument asks for: text comparison when it equals 1 by
// variant comparison, binary comparison for any other value or when it is omitted (null).
TVbCompareMode CompareModeArg(const plat::Variant* AArg);

// The optional argument AIndex (0-based), or null when the call has fewer arguments.
inline const plat::Variant* OptArg(const TXANCall* ACall, PXANVarArray AArgs, plat::Integer AIndex) noexcept {
    return AIndex < ACall->FArgCount ? &AArgs[AIndex] : nullptr;
}

// The optional count of Split and Replace: -1 (all) when omitted; a count below -1 asks for
// nothing sensible and is a conversion error rather than a silently empty result.
plat::Integer CountArg(const plat::Variant* AArg);

// Routines with a choice of argument counts accept AMin to AMax; others raise the
// argument-count error.
void CheckArgCount(const TXANCall* ACall, plat::Integer AMin, plat::Integer AMax);

// The routines' own argument errors (a negative length, a code out of range, an unknown
// interval) are the platform's variant conversion error.
[[noreturn]] void RaiseConversionError();

// A date result; a serial outside the supported range is the platform's date error.
void SetDateResult(plat::Variant& AResult, TDateTime AValue);

// A one-dimensional array of variants with lower bound 0 holding AItems in order.
plat::Variant StringArray(const std::vector<plat::UString>& AItems);

}  // namespace xan::vb
