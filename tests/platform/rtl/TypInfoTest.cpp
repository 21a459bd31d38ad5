#include <gtest/gtest.h>

#include "platform/rtl/Component.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/TypInfo.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

const TTypeInfo& AlignmentType() {
    static const TTypeInfo t = MakeEnumTypeInfo(u"TAlignment", {u"taLeftJustify", u"taRightJustify", u"taCenter"});
    return t;
}

class TWidget : public TComponent {
    XAN_CLASS(TWidget, TComponent)
    using TComponent::TComponent;
    Integer Width() const { return width_; }
    void SetWidth(Integer w) { width_ = w; }
    Integer Alignment() const { return alignment_; }
    void SetAlignment(Integer a) { alignment_ = a; }
    UString Caption() const { return caption_; }
    void SetCaption(const UString& c) { caption_ = c; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    TComponent* Buddy() const { return buddy_; }
    void SetBuddy(TComponent* b) { buddy_ = b; }
    Integer Area() const { return width_ * 2; }
    TNotifyEvent OnClick;

private:
    Integer width_ = 0, alignment_ = 0;
    UString caption_;
    double ratio_ = 0;
    TComponent* buddy_ = nullptr;
};

class TFancyWidget : public TWidget {
    XAN_CLASS(TFancyWidget, TWidget)
    using TWidget::TWidget;
    TNotifyEvent OnHover;
};

class TUnpublished : public TObject {
    XAN_CLASS(TUnpublished, TObject)
};

const TTypeInfo& ComponentType() {
    static const TTypeInfo t = MakeClassTypeInfo(TComponent::StaticClass());
    return t;
}

void RegisterWidgets() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterProperties<TWidget>({
        OrdProp<TWidget>(u"Width", IntegerTypeInfo(), &TWidget::Width, &TWidget::SetWidth),
        OrdProp<TWidget>(u"Alignment", &AlignmentType(), &TWidget::Alignment, &TWidget::SetAlignment),
        OrdProp<TWidget, Integer>(u"Area", IntegerTypeInfo(), &TWidget::Area),
        StrProp<TWidget>(u"Caption", &TWidget::Caption, &TWidget::SetCaption),
        FloatProp<TWidget>(u"Ratio", &TWidget::Ratio, &TWidget::SetRatio),
        ObjectProp<TWidget>(u"Buddy", &ComponentType(), &TWidget::Buddy, &TWidget::SetBuddy),
        EventProp<TWidget>(u"OnClick", &TWidget::OnClick, NotifyEventTypeInfo()),
    });
    RegisterProperties<TFancyWidget>({
        EventProp<TFancyWidget>(u"OnHover", &TFancyWidget::OnHover, NotifyEventTypeInfo()),
        // Redeclared with a read-only accessor: hides the ancestor's.
        OrdProp<TWidget, Integer>(u"Width", IntegerTypeInfo(), &TWidget::Width),
    });
}

class TypInfo : public ::testing::Test {
protected:
    void SetUp() override { RegisterWidgets(); }
};

TEST(EnumTypeInfo, NamesAndValues) {
    PTypeInfo t = &AlignmentType();
    EXPECT_EQ(t->Kind, TTypeKind::tkEnumeration);
    EXPECT_EQ(t->MinValue, 0);
    EXPECT_EQ(t->MaxValue, 2);
    EXPECT_EQ(GetEnumName(t, 2), u"taCenter");
    EXPECT_EQ(GetEnumName(t, 3), u"");
    EXPECT_EQ(GetEnumName(t, -1), u"");
    EXPECT_EQ(GetEnumValue(t, u"TARIGHTJUSTIFY"), 1);
    EXPECT_EQ(GetEnumValue(t, u"taNowhere"), -1);
    EXPECT_EQ(GetEnumValue(IntegerTypeInfo(), u"x"), -1);
    EXPECT_EQ(GetEnumName(BooleanTypeInfo(), 1), u"True");
    TTypeInfo offset = MakeEnumTypeInfo(u"TDigit", {u"One", u"Two"}, 1);
    EXPECT_EQ(GetEnumValue(&offset, u"Two"), 2);
    EXPECT_EQ(GetEnumName(&offset, 1), u"One");
}

TEST_F(TypInfo, LooksUpByNameIgnoringCaseThroughAncestors) {
    TFancyWidget w;
    PPropInfo click = GetPropInfo(w, u"onclick");
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->Name, u"OnClick");
    EXPECT_EQ(click->PropType, NotifyEventTypeInfo());
    EXPECT_NE(GetPropInfo(w, u"OnHover"), nullptr);
    EXPECT_EQ(GetPropInfo(TWidget::StaticClass(), u"OnHover"), nullptr);
    EXPECT_EQ(GetPropInfo(w, u"Missing"), nullptr);
    EXPECT_EQ(GetPropInfo(TUnpublished::StaticClass(), u"OnClick"), nullptr);
    EXPECT_EQ(RaisedMessage<EPropertyError>([&] { FindPropInfo(w, u"Missing"); }), u"Unknown property: Missing");
}

TEST_F(TypInfo, DescendantsHideRedeclaredProperties) {
    std::vector<PPropInfo> list = GetPropList(TFancyWidget::StaticClass());
    EXPECT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0]->Name, u"OnHover");
    int widths = 0;
    for (PPropInfo p : list) widths += p->Name == u"Width";
    EXPECT_EQ(widths, 1);
    TFancyWidget w;
    EXPECT_FALSE(GetPropInfo(w, u"Width")->IsWritable());
    TWidget plain;
    EXPECT_TRUE(GetPropInfo(plain, u"Width")->IsWritable());
}

TEST_F(TypInfo, AssignsAMethodToAnEventProperty) {
    TWidget w;
    int clicks = 0;
    TObject* seen = nullptr;
    TNotifyEvent handler = [&](TObject* sender) {
        ++clicks;
        seen = sender;
    };
    PPropInfo p = FindPropInfo(w, u"OnClick");
    SetMethodProp(w, p, handler.AsMethod());
    EXPECT_EQ(GetMethodProp(w, p), handler.AsMethod());
    w.OnClick.Fire(&w);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(seen, &w);
    SetMethodProp(w, p, TMethod{});
    EXPECT_FALSE(w.OnClick);
}

TEST_F(TypInfo, ReadsAndWritesTypedValues) {
    TWidget w;
    TComponent other;
    SetOrdProp(w, FindPropInfo(w, u"Width"), 40);
    EXPECT_EQ(w.Width(), 40);
    EXPECT_EQ(GetOrdProp(w, FindPropInfo(w, u"Area")), 80);
    SetStrProp(w, FindPropInfo(w, u"Caption"), u"OK");
    EXPECT_EQ(GetStrProp(w, FindPropInfo(w, u"caption")), u"OK");
    SetFloatProp(w, FindPropInfo(w, u"Ratio"), 1.5);
    EXPECT_EQ(GetFloatProp(w, FindPropInfo(w, u"Ratio")), 1.5);
    SetObjectProp(w, FindPropInfo(w, u"Buddy"), &other);
    EXPECT_EQ(GetObjectProp(w, FindPropInfo(w, u"Buddy")), &other);
    SetEnumProp(w, FindPropInfo(w, u"Alignment"), u"taCenter");
    EXPECT_EQ(w.Alignment(), 2);
    EXPECT_EQ(GetEnumProp(w, FindPropInfo(w, u"Alignment")), u"taCenter");
}

TEST_F(TypInfo, WrongKindsReadOnlyAndBadValuesAreRefused) {
    TWidget w;
    TObject notAComponent;
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>([&] { GetStrProp(w, FindPropInfo(w, u"Width")); }),
              u"Property Width is not of a string type");
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>([&] { SetMethodProp(w, FindPropInfo(w, u"Caption"), {}); }),
              u"Property Caption is not of a method type");
    EXPECT_EQ(RaisedMessage<EPropertyError>([&] { SetOrdProp(w, FindPropInfo(w, u"Area"), 1); }),
              u"Property Area is read-only");
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>([&] { SetOrdProp(w, FindPropInfo(w, u"Alignment"), 3); }),
              u"Value out of range for property Alignment");
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>([&] { SetEnumProp(w, FindPropInfo(w, u"Alignment"), u"up"); }),
              u"Invalid property value up for Alignment");
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>([&] { GetEnumProp(w, FindPropInfo(w, u"Width")); }),
              u"Property Width is not of an enumerated type");
    EXPECT_EQ(RaisedMessage<EPropertyConvertError>(
                  [&] { SetObjectProp(w, FindPropInfo(w, u"Buddy"), &notAComponent); }),
              u"Property Buddy cannot hold a TObject");
    EXPECT_EQ(RaisedMessage<EPropertyError>([&] { GetOrdProp(w, GetPropInfo(w, u"Missing")); }),
              u"No property given");
    EXPECT_EQ(RaisedMessage<EPropertyError>([&] { SetEnumProp(w, nullptr, u"taCenter"); }), u"No property given");
    EXPECT_EQ(w.Alignment(), 0);
    EXPECT_EQ(w.Buddy(), nullptr);
}

}  // namespace
}  // namespace xan::plat
