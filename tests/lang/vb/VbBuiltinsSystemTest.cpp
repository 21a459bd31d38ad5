// Dialogs, automation objects and event handlers.
#include <gtest/gtest.h>

#include <optional>

#include "VbIntrinsicTestSupport.h"
#include "lang/vb/VbBuiltinsSystem.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/OleRegistry.h"
#include "platform/ui/UserInterface.h"
#include "vm/compiler/VMBase.h"

namespace xan::vb::bitest {
namespace {

// Records what the built-ins ask of the user interface and gives scripted answers.
class RecordingUI final : public plat::IUserInterface {
public:
    void ShowMessage(const UString&) override {}
    plat::DlgResult MessageDlg(const UString& text, plat::DlgType type, plat::DlgButtons buttons,
                               const UString* caption) override {
        Text = text;
        Type = type;
        Buttons = buttons;
        Caption = caption ? std::optional<UString>(*caption) : std::nullopt;
        return Answer;
    }
    bool InputQuery(const UString& caption, const UString& prompt, UString& value) override {
        Caption = caption;
        Text = prompt;
        Initial = value;
        if (Confirm) value = Typed;
        return Confirm;
    }
    plat::DlgResult ConfirmYesCancel(const UString&) override { return plat::DlgResult::Cancel; }
    void Beep() override {}
    void ProcessOneMessage(bool) override {}
    std::uintptr_t ApplicationHandle() override { return 0; }
    void ShowException(const plat::Exception&) override {}

    UString Text, Initial, Typed;
    std::optional<UString> Caption;
    plat::DlgType Type = plat::DlgType::Information;
    plat::DlgButtons Buttons = plat::DlgButtons::Ok;
    plat::DlgResult Answer = plat::DlgResult::Ok;
    bool Confirm = true;
};

class VbDialogs : public ::testing::Test {
protected:
    void SetUp() override { plat::SetUI(&ui); }
    void TearDown() override { plat::SetUI(nullptr); }
    RecordingUI ui;
};

TEST_F(VbDialogs, MsgBoxWithoutParenthesesAsStatement) {
    TMsgBox msgBox;
    Exec(msgBox, {Variant(u"Hi")}, bkNon, false);
    EXPECT_EQ(ui.Text, u"Hi");
    EXPECT_EQ(ui.Buttons, plat::DlgButtons::Ok);
    EXPECT_EQ(ui.Type, plat::DlgType::Information);
    EXPECT_FALSE(ui.Caption.has_value());
}

TEST_F(VbDialogs, MsgBoxButtonsIconAndTitle) {
    ui.Answer = plat::DlgResult::No;
    EXPECT_EQ(Int(Call<TMsgBox>({Variant(u"Sure?"), Variant(4 + 32), Variant(u"Question")})), 7);
    EXPECT_EQ(ui.Buttons, plat::DlgButtons::YesNo);
    EXPECT_EQ(ui.Type, plat::DlgType::Confirmation);
    ASSERT_TRUE(ui.Caption.has_value());
    EXPECT_EQ(*ui.Caption, u"Question");
    // 22 and 7 is 6, which counts as OK only; bits 4 to 6 give the error icon.
    ui.Answer = plat::DlgResult::Ok;
    EXPECT_EQ(Int(Call<TMsgBox>({Variant(u"x"), Variant(22)})), 1);
    EXPECT_EQ(ui.Buttons, plat::DlgButtons::Ok);
    EXPECT_EQ(ui.Type, plat::DlgType::Error);
    Call<TMsgBox>({Variant(u"x"), Variant(48 + 2)});
    EXPECT_EQ(ui.Buttons, plat::DlgButtons::AbortRetryIgnore);
    EXPECT_EQ(ui.Type, plat::DlgType::Warning);
    // An empty title is still a title.
    Call<TMsgBox>({Variant(u"x"), Variant(0), Variant(u"")});
    ASSERT_TRUE(ui.Caption.has_value());
    EXPECT_EQ(*ui.Caption, u"");
}

TEST_F(VbDialogs, MsgBoxAnswers) {
    ui.Answer = plat::DlgResult::None;
    EXPECT_EQ(Int(Call<TMsgBox>({Variant(u"x")})), 0);
    ui.Answer = plat::DlgResult::Retry;
    EXPECT_EQ(Int(Call<TMsgBox>({Variant(u"x"), Variant(5)})), 4);
}

TEST_F(VbDialogs, MsgBoxErrors) {
    EXPECT_EQ(CallError<TMsgBox>({}), ParamCountError);
    EXPECT_EQ(CallError<TMsgBox>({Variant(u"x"), Variant(0), Variant(u"t"), Variant(1)}), ParamCountError);
    EXPECT_EQ(CallError<TMsgBox>({Variant(u"x"), Variant(u"many")}), ConversionError);
}

TEST_F(VbDialogs, InputBoxConfirmed) {
    ui.Typed = u"Ann";
    EXPECT_EQ(Str(Call<TInputBox>({Variant(u"Name?"), Variant(u"Login"), Variant(u"guest")})), "Ann");
    EXPECT_EQ(ui.Text, u"Name?");
    EXPECT_EQ(*ui.Caption, u"Login");
    EXPECT_EQ(ui.Initial, u"guest");
    Call<TInputBox>({Variant(u"Name?")});
    EXPECT_EQ(*ui.Caption, u"");
    EXPECT_EQ(ui.Initial, u"");
}

TEST_F(VbDialogs, InputBoxCancelledIsEmpty) {
    ui.Confirm = false;
    EXPECT_TRUE(Call<TInputBox>({Variant(u"Name?")}).IsEmpty());
    EXPECT_EQ(CallError<TInputBox>({}), ParamCountError);
    EXPECT_EQ(CallError<TInputBox>({Variant(u"a"), Variant(u"b"), Variant(u"c"), Variant(u"d")}), ParamCountError);
}

class TTestServer final : public plat::TInterfacedObject, public plat::IDispatch {
    XAN_CLASS(TTestServer, plat::TInterfacedObject)
    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        *count = 0;
        return plat::S_OK;
    }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo**) noexcept override { return plat::E_NOTIMPL; }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const*, std::uint32_t, plat::LCID,
                                plat::DISPID*) noexcept override {
        return plat::E_NOTIMPL;
    }
    plat::HRESULT Invoke(plat::DISPID, const plat::TGUID&, plat::LCID, std::uint16_t, plat::DISPPARAMS*, Variant*,
                         plat::EXCEPINFO*, std::uint32_t*) noexcept override {
        return plat::E_NOTIMPL;
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TTestServer, plat::IDispatch>()};
        return table;
    }
};

TEST(VbAutomation, CreateObjectAndGetObject) {
    const plat::TGUID clsid = plat::RegisterOleClass(u"VbBuiltinTest.Server", [] {
        return plat::ComPtr<plat::IUnknown>(static_cast<plat::IDispatch*>(new TTestServer));
    });
    const Variant created = Call<TCreateObject>({Variant(u"vbbuiltintest.server")});
    ASSERT_EQ(created.VType, plat::varDispatch);
    EXPECT_NE(created.VDispatch, nullptr);
    EXPECT_EQ(CallError<TGetObject>({Variant(u"VbBuiltinTest.Server")}), "EOleSysError: Operation unavailable");
    const std::uint32_t cookie = plat::RegisterActiveObject(created.VDispatch, clsid);
    const Variant running = Call<TGetObject>({Variant(u"VbBuiltinTest.Server")});
    ASSERT_EQ(running.VType, plat::varDispatch);
    EXPECT_EQ(running.VDispatch, created.VDispatch);
    plat::RevokeActiveObject(cookie);
    plat::UnregisterOleClass(u"VbBuiltinTest.Server");
    EXPECT_EQ(CallError<TCreateObject>({Variant(u"No.Such.Class")}), "EOleSysError: Invalid class string");
}

class RecordingVM final : public TXANVMBase {
public:
    void MakeEventHandler(const UString& AProcName, Variant& AResult) override {
        Asked = AProcName;
        AResult = Variant(u"handler:" + std::u16string(AProcName.view()));
    }
    UString Asked;
};

TEST(VbGetRef, AsksTheMachineOfTheCall) {
    RecordingVM first, second;
    TGetRef getRef;
    EXPECT_EQ(Str(Exec(getRef, {Variant(u"OnClick")}, bkVbRound, true, &first)), "handler:OnClick");
    EXPECT_EQ(getRef.FVM, &first);
    EXPECT_EQ(first.Asked, u"OnClick");
    Exec(getRef, {Variant(u"Other")}, bkVbRound, true, &second);
    EXPECT_EQ(getRef.FVM, &second);
    EXPECT_EQ(second.Asked, u"Other");
    EXPECT_EQ(first.Asked, u"OnClick");
    EXPECT_EQ(ErrorOf([&] { Exec(getRef, {}, bkVbRound, true, &first); }), ParamCountError);
}

}  // namespace
}  // namespace xan::vb::bitest
