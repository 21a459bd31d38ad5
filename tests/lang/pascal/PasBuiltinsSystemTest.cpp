// Constants, value tests, random numbers, automation objects and dialogs.
#include <gtest/gtest.h>

#include <vector>

#include "PasBuiltinsTestSupport.h"
#include "lang/pascal/PasBuiltinsSystem.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/HResult.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/OleRegistry.h"
#include "platform/ole/SafeArray.h"
#include "platform/rtl/Random.h"
#include "platform/ui/UserInterface.h"
#include "tests/platform/ole/MemberlessDispatch.h"

namespace xan::pas::test {
namespace {

using plat::varBoolean;

bool IsBool(const Variant& v, bool expected) { return v.VType == varBoolean && v.AsBool() == expected; }

TEST(PasSystemBuiltins, ConstantsGiveTheirValues) {
    EXPECT_EQ(Value<TNullObject>().VType, plat::varNull);
    EXPECT_EQ(Value<TUnassignedObject>().VType, plat::varEmpty);
    EXPECT_TRUE(IsBool(Value<TTrue>(), true));
    EXPECT_TRUE(IsBool(Value<TFalse>(), false));
}

TEST(PasSystemBuiltins, ConstantsRefuseBrackets) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TTrue>({}); }, retTypeMismatch));
    EXPECT_TRUE(RaisesRuntime([] { Call<TNullObject>({}); }, retTypeMismatch));
}

TEST(PasSystemBuiltins, ConstantsReplaceWhateverTheResultSlotHeld) {
    TUnassignedObject unassigned;
    auto call = MakeCall(0, bkNon);
    Variant slot(UString(u"old"));
    unassigned.Execute(nullptr, call.get(), nullptr, slot);
    EXPECT_TRUE(slot.IsEmpty());
}

TEST(PasSystemBuiltins, VarIsNullFollowsReferences) {
    Variant null = Variant::Null();
    EXPECT_TRUE(IsBool(Call<TVarIsNull>({Variant::RefTo(&null)}), true));
    EXPECT_TRUE(IsBool(Call<TVarIsNull>({Variant()}), false));
    EXPECT_TRUE(IsBool(Call<TVarIsNull>({Variant(0)}), false));
}

TEST(PasSystemBuiltins, VarToStrGivesTextWithNullAsEmpty) {
    EXPECT_EQ(Text(Call<TVarToStr>({Variant::Null()})), u"");
    EXPECT_EQ(Text(Call<TVarToStr>({Variant()})), u"");
    EXPECT_EQ(Text(Call<TVarToStr>({Variant(12)})), u"12");
    EXPECT_EQ(Text(Call<TVarToStr>({Variant(true)})), u"True");
    EXPECT_EQ(Text(Call<TVarToStr>({Variant(2.5)})), u"2.5");
}

TEST(PasSystemBuiltins, VarToStrOfAnArrayIsTheConversionError) {
    Variant array = Variant::FromArray(plat::SafeArray::Create1(plat::varVariant, 0, 2));
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([&] { Call<TVarToStr>({array}); }, SInvalidCast));
}

// A dispatch object that answers nothing: enough to stand for "an object".
class TDummyDispatch : public plat::TInterfacedObject, public plat::test::TMemberlessDispatch {
    XAN_CLASS(TDummyDispatch, plat::TInterfacedObject)

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<TDummyDispatch, plat::IDispatch>()};
        return table;
    }
};

TEST(PasSystemBuiltins, AssignedIsFalseForEmptyNullAndNil) {
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant()}), false));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant::Null()}), false));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant(static_cast<plat::IDispatch*>(nullptr))}), false));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant(static_cast<plat::IUnknown*>(nullptr))}), false));
    Variant nil(static_cast<plat::IDispatch*>(nullptr));
    Variant refToNil = Variant::RefTo(&nil);
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant::RefTo(&refToNil)}), false));
}

TEST(PasSystemBuiltins, AssignedIsTrueForObjectsAndOrdinaryValues) {
    plat::ComPtr<plat::IDispatch> object(new TDummyDispatch());
    Variant held(object.Get());
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant::RefTo(&held)}), true));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant(0)}), true));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant(UString())}), true));
    EXPECT_TRUE(IsBool(Call<TAssigned>({Variant(false)}), true));
}

TEST(PasSystemBuiltins, RandomWithoutArgumentIsAFloatBelowOne) {
    plat::SetRandSeed(12345);
    for (int i = 0; i < 100; ++i) {
        const Variant r = Call<TRandom>({});
        ASSERT_EQ(r.VType, plat::varDouble);
        EXPECT_GE(r.VDouble, 0.0);
        EXPECT_LT(r.VDouble, 1.0);
    }
}

TEST(PasSystemBuiltins, RandomWithARangeIsAnIntegerInsideItAndFollowsTheSeed) {
    plat::SetRandSeed(7);
    std::vector<plat::Integer> first;
    for (int i = 0; i < 50; ++i) {
        const Variant r = Call<TRandom>({Variant(UString(u"6"))});
        ASSERT_EQ(r.VType, plat::varInteger);
        EXPECT_GE(r.VInteger, 0);
        EXPECT_LT(r.VInteger, 6);
        first.push_back(r.VInteger);
    }
    plat::SetRandSeed(7);
    for (plat::Integer expected : first) EXPECT_EQ(Call<TRandom>({Variant(6)}).VInteger, expected);
}

TEST(PasSystemBuiltins, RandomRefusesTwoArgumentsAndAnEmptyRange) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TRandom>({Variant(1), Variant(2)}); }, retInvalidParamCount));
    EXPECT_TRUE(Raises<plat::ERangeError>([] { Call<TRandom>({Variant(0)}); }, u"Random range must be positive"));
}

TEST(PasSystemBuiltins, CreateOleObjectMakesARegisteredObject) {
    int made = 0;
    plat::RegisterOleClass(u"PasBuiltins.Dummy", [&made]() {
        ++made;
        return plat::ComPtr<plat::IUnknown>(static_cast<plat::IDispatch*>(new TDummyDispatch()));
    });
    const Variant r = Call<TCreateOleObject>({Variant(u"pasbuiltins.dummy")});
    plat::UnregisterOleClass(u"PasBuiltins.Dummy");
    EXPECT_EQ(made, 1);
    ASSERT_EQ(r.VType, plat::varDispatch);
    EXPECT_NE(r.Dispatch(), nullptr);
}

TEST(PasSystemBuiltins, CreateOleObjectOfAnUnknownClassPropagatesTheOleError) {
    const auto e = RaisedBy([] { Call<TCreateOleObject>({Variant(u"No.Such.Class")}); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), u"Invalid class string");
}

TEST(PasSystemBuiltins, GetActiveOleObjectFindsTheRunningObject) {
    const plat::TGUID clsid = plat::RegisterOleClass(u"PasBuiltins.Running", nullptr);
    plat::ComPtr<plat::IDispatch> running(new TDummyDispatch());
    const std::uint32_t cookie = plat::RegisterActiveObject(running.Get(), clsid);
    const Variant r = Call<TGetActiveOleObject>({Variant(u"PasBuiltins.Running")});
    plat::RevokeActiveObject(cookie);
    const auto missing = RaisedBy([] { Call<TGetActiveOleObject>({Variant(u"PasBuiltins.Running")}); });
    plat::UnregisterOleClass(u"PasBuiltins.Running");
    ASSERT_EQ(r.VType, plat::varDispatch);
    EXPECT_TRUE(plat::SameObject(r.Dispatch(), running.Get()));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Message(), u"Operation unavailable");
}

// Records the dialogs and answers InputQuery as told.
class TRecordingUI : public plat::IUserInterface {
public:
    std::vector<UString> Messages;
    std::vector<UString> Queries;  // caption, prompt, initial text of each query
    int Beeps = 0;
    bool Confirm = true;
    UString Typed;

    void ShowMessage(const UString& text) override { Messages.push_back(text); }
    plat::DlgResult MessageDlg(const UString&, plat::DlgType, plat::DlgButtons, const UString*) override {
        return plat::DlgResult::Ok;
    }
    bool InputQuery(const UString& caption, const UString& prompt, UString& value) override {
        Queries.insert(Queries.end(), {caption, prompt, value});
        if (Confirm) value = Typed;
        return Confirm;
    }
    plat::DlgResult ConfirmYesCancel(const UString&) override { return plat::DlgResult::Yes; }
    void Beep() override { ++Beeps; }
    void ProcessOneMessage(bool) override {}
    std::uintptr_t ApplicationHandle() override { return 0; }
    void ShowException(const plat::Exception&) override {}
};

class PasDialogBuiltins : public ::testing::Test {
protected:
    void SetUp() override { plat::SetUI(&ui); }
    void TearDown() override { plat::SetUI(nullptr); }
    TRecordingUI ui;
};

TEST_F(PasDialogBuiltins, BeepSoundsOnceAsAStatement) {
    std::vector<Variant> none;
    Perform<TBeep>(none);
    TBeep beep;
    RunCall(beep, none, bkRound, false);
    EXPECT_EQ(ui.Beeps, 2);
}

TEST_F(PasDialogBuiltins, BeepWithItsResultUsedIsATypeMismatchAndDoesNotSound) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TBeep>({}); }, retTypeMismatch));
    EXPECT_EQ(ui.Beeps, 0);
}

TEST_F(PasDialogBuiltins, ShowMessageShowsTheArgumentAsText) {
    std::vector<Variant> args{Variant(3.5)};
    Perform<TShowMessage>(args);
    Variant text(UString(u"hello"));
    std::vector<Variant> byRef{Variant::RefTo(&text)};
    Perform<TShowMessage>(byRef);
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0], u"3.5");
    EXPECT_EQ(ui.Messages[1], u"hello");
}

TEST_F(PasDialogBuiltins, ShowMessageOfNullIsTheConversionErrorAndShowsNothing) {
    std::vector<Variant> args{Variant::Null()};
    EXPECT_TRUE(Raises<plat::EVariantTypeCastError>([&] { Perform<TShowMessage>(args); }, SInvalidCast));
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(PasDialogBuiltins, InputQueryConfirmedWritesTheTypedText) {
    ui.Typed = u"typed";
    Variant value(12);
    const Variant r = Call<TInputQuery>({Variant(u"Title"), Variant(u"Name?"), Variant::RefTo(&value)});
    EXPECT_TRUE(IsBool(r, true));
    ASSERT_EQ(ui.Queries.size(), 3u);
    EXPECT_EQ(ui.Queries[0], u"Title");
    EXPECT_EQ(ui.Queries[1], u"Name?");
    EXPECT_EQ(ui.Queries[2], u"12");
    EXPECT_EQ(Text(value), u"typed");
}

TEST_F(PasDialogBuiltins, InputQueryCancelledWritesTheInitialTextBack) {
    ui.Confirm = false;
    Variant value(12);
    const Variant r = Call<TInputQuery>({Variant(u"T"), Variant(u"P"), Variant::RefTo(&value)});
    EXPECT_TRUE(IsBool(r, false));
    EXPECT_EQ(Text(value), u"12");
}

TEST_F(PasDialogBuiltins, InputQueryWithAValueThatIsNoVariableStillAnswers) {
    ui.Typed = u"x";
    EXPECT_TRUE(IsBool(Call<TInputQuery>({Variant(u"T"), Variant(u"P"), Variant(u"v")}), true));
    EXPECT_EQ(ui.Queries.size(), 3u);
}

TEST_F(PasDialogBuiltins, InputQueryWithTheWrongCountIsRefused) {
    EXPECT_TRUE(RaisesRuntime([] { Call<TInputQuery>({Variant(u"T"), Variant(u"P")}); }, retInvalidParamCount));
    EXPECT_TRUE(ui.Queries.empty());
}

}  // namespace
}  // namespace xan::pas::test
