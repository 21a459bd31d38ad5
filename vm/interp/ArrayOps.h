#pragma once
// Creating and re-dimensioning variant arrays from bounds on the operand stack.
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"

namespace xan {

// A new array from AArray.FDimCount pairs (low, high) starting at ABounds, dimension 1 first.
plat::Variant XANCreateArray(const TXANArray& AArray, const plat::Variant* ABounds);

// Re-dimensions the variable AVar (references followed). Without preserve, or when the
// variable is Empty, it simply receives a new array; with preserve the elements in the index
// ranges common to the old and the new bounds are kept, converted to the new element type.
void XANRedimArray(const TXANArrayRedim& ARedim, const plat::Variant* ABounds, plat::Variant& AVar);

}  // namespace xan
