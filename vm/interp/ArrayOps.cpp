#include "vm/interp/ArrayOps.h"

#include <vector>

#include "platform/ole/SafeArray.h"
#include "platform/ole/VarErrors.h"
#include "vm/bytecode/VMConstants.h"
#include "vm/interp/VMErrors.h"
#include "vm/interp/ValueOps.h"

namespace xan {

using namespace plat;

namespace {

// At most 29 dimensions: two bounds each must stay below 60 operands.
constexpr std::int32_t MaxBoundOperands = 59;

std::vector<SafeArray::Bound> BoundsOf(const TXANArray& AArray, const Variant* ABounds) {
    const std::int32_t dims = AArray.FDimCount;
    if (2 * dims > MaxBoundOperands) EXANVMRuntime::RaiseError(retInvalidParamCount);
    if (dims < 1) RaiseVarArrayCreate();
    std::vector<SafeArray::Bound> bounds(static_cast<std::size_t>(dims));
    for (std::int32_t i = 0; i < dims; ++i) {
        const Variant& low = ABounds[2 * i];
        const Variant& high = ABounds[2 * i + 1];
        // The element count uses the script's own subtract and add, so that bounds of any
        // numeric type (or numeric strings) count as they would in an expression.
        Variant count;
        TXANValueOps::BinaryOp(high, low, count, boSubtract);
        TXANValueOps::BinaryOp(count, XANInteger1, count, boAdd);
        bounds[std::size_t(i)] = {VarToInt32(low), VarToInt32(count)};
    }
    return bounds;
}

}  // namespace

Variant XANCreateArray(const TXANArray& AArray, const Variant* ABounds) {
    const std::vector<SafeArray::Bound> bounds = BoundsOf(AArray, ABounds);
    return Variant::FromArray(SafeArray::Create(AArray.FElemVarType, bounds));
}

void XANRedimArray(const TXANArrayRedim& ARedim, const Variant* ABounds, Variant& AVar) {
    Variant& target = AVar.DerefMut();
    if (!ARedim.FPreserve || target.IsEmpty()) {
        Variant created = XANCreateArray(ARedim, ABounds);
        target.MoveFrom(created);
        return;
    }
    if (!target.IsArray()) RaiseVarInvalidOp();
    if (target.Array().DimCount() != ARedim.FDimCount) EXANVMRuntime::RaiseError(retInvalidParamCount);
    const std::vector<SafeArray::Bound> bounds = BoundsOf(ARedim, ABounds);
    Variant resized = Variant::FromArray(SafeArray::CreateResized(target.Array(), ARedim.FElemVarType, bounds));
    target.MoveFrom(resized);
}

}  // namespace xan
