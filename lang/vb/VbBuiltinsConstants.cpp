#include "lang/vb/VbBuiltinsConstants.h"

namespace xan::vb {

using enum TXANIntrinsicKind;

TVbIntegerConstant::TVbIntegerConstant(const char16_t* AStrName, Integer AValue)
    : TVbIntrinsic(AStrName, bokConstant, 0), FValue(AValue) {}

void TVbIntegerConstant::DoExecute(TXANCall*, PXANVarArray, plat::Variant& AResult) { AResult.SetInteger(FValue); }

}  // namespace xan::vb
