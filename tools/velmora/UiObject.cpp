#include "tools/velmora/UiObject.h"

#include "platform/ole/TableDispatch.h"
#include "platform/ui/UserInterface.h"

namespace xan::cli {

namespace {

using plat::TDispArgs;
using plat::TDispMember;
using plat::Variant;

class TUIObject : public plat::TTableDispatch<TUIObject> {
    XAN_CLASS(TUIObject, plat::TInterfacedObject)
public:
    static constexpr std::u16string_view ErrorSource = u"UI";
    static std::span<const TDispMember<TUIObject>> Members();
};

void ShowMessage(TUIObject&, const TDispArgs& AArgs, Variant&) { plat::UI().ShowMessage(plat::VarToUString(AArgs[0])); }

void MessageDlg(TUIObject&, const TDispArgs& AArgs, Variant& AResult) {
    const plat::MsgBoxStyle style = plat::DecodeMsgBoxStyle(plat::VarToInt32(AArgs[1]));
    const plat::DlgResult answer = plat::UI().MessageDlg(plat::VarToUString(AArgs[0]), style.type, style.buttons, nullptr);
    AResult = Variant(static_cast<plat::Integer>(answer));
}

std::span<const TDispMember<TUIObject>> TUIObject::Members() {
    static const TDispMember<TUIObject> members[] = {
        {u"ShowMessage", false, 1, plat::varEmpty, ShowMessage},
        {u"MessageDlg", false, 2, plat::varInteger, MessageDlg},
    };
    return members;
}

}  // namespace

plat::ComPtr<plat::IDispatch> NewUIObject() { return plat::ComPtr<plat::IDispatch>(new TUIObject()); }

}  // namespace xan::cli
