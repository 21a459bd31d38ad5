#include "lang/vb/VbBuiltinsMath.h"

#include <cmath>

#include "lang/vb/VbIntrinsicArgs.h"
#include "platform/rtl/MathUtil.h"
#include "platform/rtl/Random.h"

namespace xan::vb {

using plat::Variant;

namespace {

// Decimal places Round accepts.
constexpr plat::Integer MaxRoundDecimals = 16;

bool IsBelow(const Variant& AValue, plat::Integer ALimit) {
    return plat::VarCompare(AValue, Variant(ALimit)) == plat::VarOrder::Less;
}

bool IsAbove(const Variant& AValue, plat::Integer ALimit) {
    return plat::VarCompare(AValue, Variant(ALimit)) == plat::VarOrder::Greater;
}

}  // namespace

void TAbs::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetDouble(std::fabs(ArgFloat(AArgs[0])));
}

void TAtn::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::atan(ArgFloat(AArgs[0]))); }

void TCos::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::cos(ArgFloat(AArgs[0]))); }

void TSin::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::sin(ArgFloat(AArgs[0]))); }

void TTan::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::tan(ArgFloat(AArgs[0]))); }

// The dialect's square root.
void TSqr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::sqrt(ArgFloat(AArgs[0]))); }

void TExp::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::exp(ArgFloat(AArgs[0]))); }

void TInt::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetDouble(std::floor(ArgFloat(AArgs[0])));
}

void TFix::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    if (ArgIsNull(AArgs[0])) return AResult.SetNull();
    AResult.SetDouble(std::trunc(ArgFloat(AArgs[0])));
}

void TLog::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::log(ArgFloat(AArgs[0]))); }

void TRound::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 2);
    if (ACall->FArgCount == 1) return AResult.SetInt64(plat::Round(ArgFloat(AArgs[0])));
    const Variant& decimals = AArgs[1];
    if (IsBelow(decimals, 0) || IsAbove(decimals, MaxRoundDecimals)) RaiseConversionError();
    AResult.SetDouble(plat::RoundTo(ArgFloat(AArgs[0]), ArgInt(decimals)));
}

void TSgn::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    // The sign of the value as a number: Null, and a text that holds no number, have none (a
    // variant comparison would order such a text after 0 and answer 1). Converting to a float
    // keeps the sign of every integer, currency and date value exactly; NaN is unordered, 0.
    const double x = ArgFloat(AArgs[0]);
    AResult.SetInteger(x > 0 ? 1 : x < 0 ? -1 : 0);
}

void TRGB::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const plat::Integer red = ArgInt(AArgs[0]) & 255;
    const plat::Integer green = ArgInt(AArgs[1]) & 255;
    const plat::Integer blue = ArgInt(AArgs[2]) & 255;
    AResult.SetInteger(red + green * 256 + blue * 65536);
}

void TRnd::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.SetDouble(plat::Random()); }

void TRandomize::DoExecute(TXANCall*, PXANVarArray, Variant&) { plat::Randomize(); }

}  // namespace xan::vb
