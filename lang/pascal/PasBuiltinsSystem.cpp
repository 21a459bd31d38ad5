#include "lang/pascal/PasBuiltinsSystem.h"

#include "lang/pascal/PasIntrinsicArgs.h"
#include "platform/ole/ComIntf.h"
#include "platform/ole/OleRegistry.h"
#include "platform/rtl/Random.h"
#include "platform/ui/UserInterface.h"

namespace xan::pas {

using plat::UString;
using plat::VarData;
using plat::Variant;

void TNullObject::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.SetNull(); }

void TUnassignedObject::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.Clear(); }

void TTrue::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.SetBool(true); }

void TFalse::DoExecute(TXANCall*, PXANVarArray, Variant& AResult) { AResult.SetBool(false); }

void TVarIsNull::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(plat::VarTypeOf(AArgs[0]) == plat::varNull);
}

void TVarToStr::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetString(plat::VarTypeOf(AArgs[0]) == plat::varNull ? UString() : ArgStr(AArgs[0]));
}

namespace {

// Nil interfaces of either kind stand for "no object" just as Empty and Null do.
bool HoldsSomething(const VarData& AValue) noexcept {
    switch (AValue.VType) {
    case plat::varEmpty:
    case plat::varNull: return false;
    case plat::varDispatch: return AValue.VDispatch != nullptr;
    case plat::varUnknown: return AValue.VUnknown != nullptr;
    default: return true;
    }
}

}  // namespace

void TAssigned::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult.SetBool(HoldsSomething(plat::VarDerefAll(AArgs[0])));
}

void TRandom::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 0, 1);
    if (ACall->FArgCount == 0)
        AResult.SetDouble(plat::Random());
    else
        AResult.SetInteger(plat::Random(ArgInt(AArgs[0])));
}

void TCreateOleObject::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult = Variant(plat::CreateOleObject(ArgStr(AArgs[0]).view()).Get());
}

void TGetActiveOleObject::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult = Variant(plat::GetActiveOleObject(ArgStr(AArgs[0]).view()).Get());
}

void TBeep::DoExecute(TXANCall*, PXANVarArray, Variant&) { plat::UI().Beep(); }

void TShowMessage::DoExecute(TXANCall*, PXANVarArray AArgs, Variant&) { plat::UI().ShowMessage(ArgStr(AArgs[0])); }

void TInputQuery::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    const UString caption = ArgStr(AArgs[0]);
    const UString prompt = ArgStr(AArgs[1]);
    UString value = ArgStr(AArgs[2]);
    const bool confirmed = plat::UI().InputQuery(caption, prompt, value);
    // The variable receives text in either case, so a script can rely on its type afterwards.
    SetOutArg(AArgs[2], Variant(std::move(value)));
    AResult.SetBool(confirmed);
}

}  // namespace xan::pas
