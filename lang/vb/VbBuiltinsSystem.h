#pragma once
// Built-ins of the VBScript dialect that reach outside the script: dialogs, automation objects
// and event handlers made from script procedures.
#include "lang/vb/VbIntrinsics.h"

namespace xan::vb {

XAN_VB_INTRINSIC(TCreateObject, "CreateObject", bokFunction, 1)
XAN_VB_INTRINSIC(TGetObject, "GetObject", bokFunction, 1)
XAN_VB_INTRINSIC(TInputBox, "InputBox", bokFunction, TVbIntrinsic::VariableArgs)
XAN_VB_INTRINSIC(TMsgBox, "MsgBox", bokFunction, TVbIntrinsic::VariableArgs)

// GetRef asks the machine of the call in progress for an event handler, so it remembers that
// machine for the duration of the call.
class TGetRef final : public TVbIntrinsic {
    XAN_CLASS(TGetRef, TVbIntrinsic)
    static constexpr std::u16string_view Name = u"GetRef";
    TGetRef();
    void Execute(TXANVMBase* AVM, TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) override;
    void DoExecute(TXANCall* ACall, PXANVarArray AArgs, plat::Variant& AResult) override;

    TXANVMBase* FVM = nullptr;
};

}  // namespace xan::vb
