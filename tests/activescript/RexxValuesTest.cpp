// REXX's text forms of automation values, and which texts come back as numbers.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "activescript/plugins/rexx/RexxValues.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/VarConsts.h"

namespace xan::as::rexx {
namespace {

using test::Utf8;

struct TToRexxRow {
    Variant Value;
    const char* Text;
};

TEST(RexxValues, EveryKindHasItsRexxText) {
    const TToRexxRow rows[] = {{Variant(42), "42"},
                               {Variant(std::int64_t(1) << 40), "1099511627776"},
                               {Variant(-2.5), "-2.5"},
                               {Variant(1e20), "1E+20"},
                               {Variant(true), "1"},
                               {Variant(false), "0"},
                               {Variant::FromDate(plat::EncodeDate(2024, 2, 29) + 0.5), "2024-02-29 12:00:00"},
                               {Variant::FromDate(plat::EncodeDate(1999, 12, 31)), "1999-12-31"},
                               {Variant(u"h\u00e9llo"), "h\xc3\xa9llo"},
                               {Variant(), ""},
                               {Variant::Null(), ""}};
    TRexxHandles handles;
    for (const TToRexxRow& row : rows) EXPECT_EQ(ToRexx(handles, row.Value), row.Text) << row.Text;
    EXPECT_FALSE(ToRexxArgument(handles, Variant()).has_value());
    EXPECT_EQ(ToRexxArgument(handles, Variant::Null()), std::optional<std::string>(""));
}

struct TFromRexxRow {
    const char* Text;
    const char* Type;
};

// Only the text a number is written as becomes that number: no text changes on the way back.
TEST(RexxValues, TextsComeBackAsNumbersOnlyWhenNothingIsLost) {
    const TFromRexxRow rows[] = {{"42", "Integer"},  {"-7", "Integer"},   {"4294967296", "Int64"},
                                 {"2.75", "Double"}, {"1E+20", "Double"}, {"007", "String"},
                                 {"2.50", "String"}, {" 1", "String"},    {"1e+20", "String"},
                                 {"", "String"},     {"abc", "String"},   {"Object#1", "String"}};
    TRexxHandles none;
    for (const TFromRexxRow& row : rows) {
        const Variant v = FromRexx(none, std::string_view(row.Text));
        EXPECT_EQ(Utf8(plat::VarTypeNameOf(v)), row.Type) << row.Text;
        EXPECT_EQ(ToRexx(none, v), row.Text);
    }
    EXPECT_EQ(FromRexx(none, std::nullopt).VType, plat::varEmpty);
}

TEST(RexxValues, ObjectsAndArraysTravelAsHandles) {
    TRexxHandles handles;
    plat::ComPtr<test::THostObject> obj(new test::THostObject());
    const Variant object(static_cast<IDispatch*>(obj.Get()));
    const std::string handle = ToRexx(handles, object);
    EXPECT_EQ(ToRexx(handles, object), handle) << "one object, one handle";
    const Variant back = FromRexx(handles, std::string_view(handle));
    ASSERT_EQ(back.VType, plat::varDispatch);
    EXPECT_TRUE(plat::SameObject(back.VDispatch, obj.Get()));

    const Variant array = test::MakeArrayForTest();
    const Variant arrayBack = FromRexx(handles, std::string_view(ToRexx(handles, array)));
    ASSERT_TRUE(arrayBack.IsArray());
    EXPECT_EQ(test::ArrayTextForTest(arrayBack), test::ArrayTextForTest(array));
    EXPECT_EQ(FromRexx(handles, std::string_view("Object#99")).VType, plat::varOleStr) << "not a live handle";
}

TEST(RexxValues, ArraysBecomeStemElementsAndBack) {
    TRexxHandles handles;
    const std::vector<std::string> elements = StemElements(handles, test::MakeArrayForTest());
    EXPECT_EQ(elements, (std::vector<std::string>{"1", "a", "1"}));
    EXPECT_EQ(test::ArrayTextForTest(ArrayOfStem(handles, elements)), "1|a|1");
}

}  // namespace
}  // namespace xan::as::rexx
