#include "lang/pascal/PasBuiltinsMath.h"

#include <cmath>
#include <cstdint>

#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/ole/VarConsts.h"
#include "platform/rtl/MathUtil.h"
#include "vm/interp/ValueOps.h"

namespace xan::pas {

using plat::Variant;

void TArcTan::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetDouble(std::atan(ArgFloat(AArgs[0])));
}

void TCos::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::cos(ArgFloat(AArgs[0]))); }

void TSin::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::sin(ArgFloat(AArgs[0]))); }

void TLn::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::log(ArgFloat(AArgs[0]))); }

void TExp::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::exp(ArgFloat(AArgs[0]))); }

void TAbs::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::fabs(ArgFloat(AArgs[0]))); }

void TFrac::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(plat::Frac(ArgFloat(AArgs[0]))); }

void TInt::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::trunc(ArgFloat(AArgs[0]))); }

void TRound::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetInt64(plat::Round(ArgFloat(AArgs[0]))); }

void TTrunc::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetInt64(plat::Trunc(ArgFloat(AArgs[0]))); }

void TSqr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const double x = ArgFloat(AArgs[0]);
    AResult.SetDouble(x * x);
}

void TSqrt::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetDouble(std::sqrt(ArgFloat(AArgs[0]))); }

void TOdd::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) { AResult.SetBool((ArgInt(AArgs[0]) & 1) != 0); }

namespace {

// X := X op N for Inc and Dec, with the machine's own operators. A value that is not a
// variable has nothing to change.
void StepVariable(const TXANCall* ACall, PXANVarArray AArgs, xan::TXANBinaryOp AOp) {
    CheckArgCount(ACall, 1, 2);
    if (AArgs[0].VType != plat::varRefVariant) return;
    const plat::VarData& step = ACall->FArgCount == 2 ? static_cast<const plat::VarData&>(AArgs[1]) : plat::OneVariant;
    Variant& target = AArgs[0].DerefMut();
    TXANValueOps::BinaryOp(target, step, target, AOp);
}

// Bit ABit (taken modulo 32) of a set held in an integer.
std::uint32_t SetBit(const Variant& ABit) { return 1u << (static_cast<std::uint32_t>(ArgInt(ABit)) & 31u); }

}  // namespace

void TInc::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant&) { StepVariable(ACall, AArgs, xan::boAdd); }

void TDec::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant&) { StepVariable(ACall, AArgs, xan::boSubtract); }

void TInclude::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    const auto set = static_cast<std::uint32_t>(ArgInt(AArgs[0])) | SetBit(AArgs[1]);
    SetOutArg(AArgs[0], Variant(static_cast<plat::Integer>(set)));
}

void TExclude::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) {
    const auto set = static_cast<std::uint32_t>(ArgInt(AArgs[0])) & ~SetBit(AArgs[1]);
    SetOutArg(AArgs[0], Variant(static_cast<plat::Integer>(set)));
}

}  // namespace xan::pas
