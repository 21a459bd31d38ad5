#include "lang/pascal/PasBuiltinsArrays.h"

#include <algorithm>
#include <cstdint>

#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/rtl/StrUtils.h"
#include "vm/interp/VMErrors.h"

namespace xan::pas {

using plat::SafeArray;
using plat::Variant;

namespace {

// The array of a bounds query: AError when the first argument is no array, which is tested
// before the count of further arguments; a call without any argument has a wrong count.
const SafeArray& BoundsArray(const TXANCall* ACall, PXANVarArray AArgs, TXANRuntimeErrorType AError) {
    if (ACall->FArgCount == 0) EXANVMRuntime::RaiseError(retInvalidParamCount);
    const SafeArray* array = ArgArray(AArgs[0]);
    if (!array) EXANVMRuntime::RaiseError(AError);
    CheckArgCount(ACall, 1, 2);
    return *array;
}

// The dimension a bounds query names: the second argument, or 1.
int QueriedDim(const TXANCall* ACall, PXANVarArray AArgs) { return ACall->FArgCount == 2 ? ArgInt(AArgs[1]) : 1; }

// A slice of a one-dimensional array: elements Index .. Index + Count - 1 clipped to its
// bounds, renumbered from 0. Nothing left is Empty.
void CopyArray(const SafeArray& ASource, plat::Integer AIndex, plat::Integer ACount, Variant& AResult) {
    // The slice is taken along one dimension; for more there is no single order to take it in.
    if (ASource.DimCount() != 1) EXANVMRuntime::RaiseError(retTypeMismatch);
    const std::int64_t first = std::max<std::int64_t>(ASource.Low(1), AIndex);
    const std::int64_t last = std::min<std::int64_t>(ASource.High(1), first + std::int64_t(ACount) - 1);
    if (last < first) {
        AResult.Clear();
        return;
    }
    Variant slice = Variant::FromArray(
        SafeArray::Create1(ASource.ElemType(), 0, static_cast<std::int32_t>(last - first + 1)));
    SafeArray& target = slice.MutableArray();
    Variant element;
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int32_t from = static_cast<std::int32_t>(i);
        const std::int32_t to = static_cast<std::int32_t>(i - first);
        ASource.Get(std::span<const std::int32_t>(&from, 1), element);
        target.Put(std::span<const std::int32_t>(&to, 1), element);
    }
    AResult = std::move(slice);
}

}  // namespace

void THigh::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    const SafeArray& array = BoundsArray(ACall, AArgs, retHighOnlyArray);
    AResult.SetInteger(array.High(QueriedDim(ACall, AArgs)));
}

void TLow::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    const SafeArray& array = BoundsArray(ACall, AArgs, retLowOnlyArray);
    AResult.SetInteger(array.Low(QueriedDim(ACall, AArgs)));
}

void TLength::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    const SafeArray* array = ACall->FArgCount > 0 ? ArgArray(AArgs[0]) : nullptr;
    if (array) {
        CheckArgCount(ACall, 1, 2);
        AResult.SetInteger(array->Count(QueriedDim(ACall, AArgs)));
        return;
    }
    CheckArgCount(ACall, 1, 1);
    AResult.SetInteger(ArgStr(AArgs[0]).length());
}

void TCopy::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer index = ArgInt(AArgs[1]);
    const plat::Integer count = ArgInt(AArgs[2]);
    if (const SafeArray* array = ArgArray(AArgs[0]))
        CopyArray(*array, index, count, AResult);
    else
        AResult.SetString(plat::Copy(ArgStr(AArgs[0]), index, count));
}

}  // namespace xan::pas
