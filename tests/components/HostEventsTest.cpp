// Script procedures hooked to host events, and host units added to a control.
#include <gtest/gtest.h>

#include "ControlHost.h"
#include "platform/ole/HResult.h"
#include "platform/rtl/TypInfo.h"

namespace xan::test {

using TCloseEvent = plat::Event<void(plat::TObject* Sender, bool& CanClose)>;

namespace {

plat::PTypeInfo CloseEventType() {
    static const plat::TTypeInfo type = plat::MakeMethodTypeInfo(u"TCloseQueryEvent");
    return &type;
}
plat::PTypeInfo DropEventType() {
    static const plat::TTypeInfo type = plat::MakeMethodTypeInfo(u"TDropEvent");
    return &type;
}

class TWindow : public TButton {
    XAN_CLASS(TWindow, TButton)
    using TButton::TButton;
    TCloseEvent OnCloseQuery;
    plat::Event<void(plat::TObject*)> OnDrop;
    bool CloseQuery() {
        bool can = true;
        if (OnCloseQuery) OnCloseQuery(this, can);
        return can;
    }
};

}  // namespace

void RegisterButton() {
    static const bool done = [] {
        plat::RegisterProperties<TButton>(
            {plat::EventProp<TButton>(u"OnClick", &TButton::OnClick, plat::NotifyEventTypeInfo())});
        plat::RegisterProperties<TWindow>({plat::EventProp<TWindow>(u"OnCloseQuery", &TWindow::OnCloseQuery, CloseEventType()),
                                           plat::EventProp<TWindow>(u"OnDrop", &TWindow::OnDrop, DropEventType())});
        XANRegisterEventType<void(plat::TObject*, bool&)>(CloseEventType());
        return true;
    }();
    (void)done;
}

namespace {

const std::string kHandlersPas =
    "var Clicks, Sender1;\n"
    "procedure Clicked(Sender); begin Clicks := Clicks + 1; Sender1 := Sender.ClassName; end;\n"
    "procedure MayClose(Sender; var CanClose); begin CanClose := Clicks > 1; end;\n"
    "begin Clicks := 0; end;\n";
const std::string kHandlersVb =
    "Dim Clicks, Sender1\n"
    "Sub Clicked(Sender)\n  Clicks = Clicks + 1\n  Sender1 = Sender.ClassName\nEnd Sub\n"
    "Sub MayClose(Sender, ByRef CanClose)\n  CanClose = Clicks > 1\nEnd Sub\n"
    "Clicks = 0\n";

TEST(HostEvents, HookByPropertyAndByName) {
    RegisterButton();
    for (auto [language, source] : {std::pair{slPascal, &kHandlersPas}, std::pair{slNativeVb, &kHandlersVb}}) {
        auto control = NewControl(language, *source);
        TWindow window;
        control->Open();
        control->HookEvent(&window, plat::GetPropInfo(window, u"OnClick"), u"Clicked");
        control->HookEvent(&window, u"onclosequery", u"MayClose");
        window.Click();
        EXPECT_FALSE(window.CloseQuery()) << "the by-reference argument comes back";
        window.Click();
        EXPECT_TRUE(window.CloseQuery());
        EXPECT_EQ(plat::VarToInt32(control->ReadVar(u"Clicks")), 2);
        EXPECT_EQ(plat::VarToUString(control->ReadVar(u"Sender1")), u"TWindow");
    }
}

TEST(HostEvents, OneHandlerPerProcedureAndType) {
    RegisterButton();
    auto control = NewControl(slPascal, kHandlersPas);
    const TXANEventWrapperClass* notify = FindEventWrapper(plat::NotifyEventTypeInfo());
    TXANScriptEventHandler* first = control->GetEventHandler(u"Clicked", notify);
    EXPECT_EQ(control->GetEventHandler(u"CLICKED", notify), first);
    EXPECT_NE(control->GetEventHandler(u"Clicked", FindEventWrapper(CloseEventType())), first);
    EXPECT_EQ(first->Owner(), control.get());
    EXPECT_EQ(first->ProcName(), u"Clicked");
}

TEST(HostEvents, Errors) {
    RegisterButton();
    auto control = NewControl(slPascal, kHandlersPas);
    TWindow window;
    const TCaught missing = Catch([&] { control->HookEvent(&window, u"OnPaint", u"Clicked"); });
    EXPECT_EQ(missing.ClassName, "EXANScriptControl");
    EXPECT_EQ(missing.Message, "Property not found: OnPaint");
    const TCaught unregistered = Catch([&] { control->HookEvent(&window, u"OnDrop", u"Clicked"); });
    EXPECT_EQ(unregistered.Message, "Event type TDropEvent is not registered.");
    EXPECT_EQ(unregistered.Code, plat::E_FAIL);
    control->HookEvent(&window, u"OnClick", u"Clicked");
    EXPECT_EQ(Catch([&] { window.Click(); }).Message, "Invalid script control state")
        << "an event of an inactive script";
}

TEST(HostUnits, SystemUnitAndChildren) {
    RegisterButton();
    plat::TComponent form;
    auto* ok = new TButton(&form);
    ok->SetName(u"OkButton");
    new TButton(&form);  // no name: not added
    for (bool published : {false, true}) {
        auto control = NewControl(slNativeVb, "Function F\n  F = OkButton.ClassName\nEnd Function\n");
        control->AddUnit(System_sw::Class(), published);
        control->AddChildren(&form, false);
        control->Open();
        EXPECT_EQ(plat::VarToUString(control->RunProc(u"F")), u"TButton");
        EXPECT_EQ(plat::VarToUString(control->Eval(u"System.Copy(\"abcdef\", 2, 3)")), u"bcd");
        if (published) {
            EXPECT_EQ(plat::VarToUString(control->Eval(u"Copy(\"xyz\", 2, 1)")), u"y");
        }
        EXPECT_EQ(control->NamedItems().Count(), 2);
    }
}

TEST(HostUnits, AllRegisteredUnits) {
    auto control = NewControl(slPascal, "");
    control->AddAllUnits(false);
    for (const TXANUnitWrapperClass* unit : GetUnitWrappers()) {
        Variant v;
        EXPECT_FALSE(control->TryReadValue(unit->GetUnitName(), v)) << "units are objects";
        EXPECT_TRUE(Catch([&] { control->AddUnit(unit, false); }).Raised) << "already there";
    }
}

}  // namespace
}  // namespace xan::test
