#include "lang/vb/VbBuiltinsSystem.h"

#include "lang/vb/VbIntrinsicArgs.h"
#include "platform/core/Assert.h"
#include "platform/ole/OleRegistry.h"
#include "platform/ui/UserInterface.h"
#include "vm/compiler/VMBase.h"

namespace xan::vb {

using enum TXANIntrinsicKind;

using plat::Variant;

void TCreateObject::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult = Variant(plat::CreateOleObject(ArgStr(AArgs[0])).Get());
}

void TGetObject::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    AResult = Variant(plat::GetActiveOleObject(ArgStr(AArgs[0])).Get());
}

void TInputBox::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 3);
    const plat::UString prompt = ArgStr(AArgs[0]);
    const Variant* titleArg = OptArg(ACall, AArgs, 1);
    const plat::UString title = titleArg ? ArgStr(*titleArg) : plat::UString();
    const Variant* defaultArg = OptArg(ACall, AArgs, 2);
    plat::UString value = defaultArg ? ArgStr(*defaultArg) : plat::UString();
    if (plat::UI().InputQuery(title, prompt, value))
        AResult.SetString(std::move(value));
    else
        AResult.Clear();
}

void TMsgBox::DoExecute(TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    CheckArgCount(ACall, 1, 3);
    const plat::UString prompt = ArgStr(AArgs[0]);
    const Variant* buttonsArg = OptArg(ACall, AArgs, 1);
    const plat::MsgBoxStyle style = plat::DecodeMsgBoxStyle(buttonsArg ? ArgInt(*buttonsArg) : 0);
    const Variant* titleArg = OptArg(ACall, AArgs, 2);
    const plat::UString title = titleArg ? ArgStr(*titleArg) : plat::UString();
    // Without a title the dialog shows the standard caption of its type.
    const plat::DlgResult answer = plat::UI().MessageDlg(prompt, style.type, style.buttons, titleArg ? &title : nullptr);
    AResult.SetInteger(static_cast<plat::Integer>(answer));
}

TGetRef::TGetRef() : TVbIntrinsic(Name.data(), bokFunction, 1) {}

void TGetRef::Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, Variant& AResult) {
    FVM = AVM;
    TVbIntrinsic::Execute(AVM, ACall, AArgs, AResult);
}

void TGetRef::DoExecute(TXANCall*, PXANVarArray AArgs, Variant& AResult) {
    XAN_ASSERT("XANSctVbCompiler", FVM != nullptr);
    FVM->MakeEventHandler(ArgStr(AArgs[0]), AResult);
}

}  // namespace xan::vb
