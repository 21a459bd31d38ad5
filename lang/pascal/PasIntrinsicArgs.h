#pragma once
// Argument access shared by the built-in routines. Arguments that are variables arrive as
// references; every reader here follows them. Conversion failures are the platform's variant
// conversion errors and reach the script unchanged.
#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/ole/SafeArray.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"

namespace xan::pas {

plat::Integer ArgInt(const plat::Variant& AArg);
double ArgFloat(const plat::Variant& AArg);
plat::UString ArgStr(const plat::Variant& AArg);

// The variant array an argument holds, or null when it holds none.
const plat::SafeArray* ArgArray(const plat::Variant& AArg) noexcept;

// Routines with a choice of argument counts accept AMin to AMax; others raise the
// argument-count error.
void CheckArgCount(const TXANCall* ACall, plat::Integer AMin, plat::Integer AMax);

// Stores AValue into the variable an output argument refers to. A value that is not a variable
// has nowhere to receive the output, which is then dropped.
void SetOutArg(plat::Variant& AArg, plat::Variant AValue);

}  // namespace xan::pas
