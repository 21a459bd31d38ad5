// Process constants and type names.
#include <gtest/gtest.h>

#include "platform/ole/SafeArray.h"
#include "platform/ole/VarConsts.h"

namespace xan::plat {
namespace {

TEST(VarConsts, SharedConstants) {
    EXPECT_TRUE(UnassignedVariant.IsEmpty());
    EXPECT_TRUE(NullVariant.IsNull());
    EXPECT_EQ(ZeroVariant.VType, varInteger);
    EXPECT_EQ(ZeroVariant.VInteger, 0);
    EXPECT_EQ(OneVariant.VInteger, 1);
    EXPECT_EQ(MinusOneVariant.VInteger, -1);
    Variant copy = MinusOneVariant;
    EXPECT_EQ(copy.VInteger, -1);
}

TEST(VarTypeName, TableOfNames) {
    const char16_t* expected[] = {u"Unassigned", u"Null",    u"Smallint", u"Integer",  u"Single",  u"Double",
                                  u"Currency",   u"Date",    u"String",   u"Object",   u"Error",   u"Boolean",
                                  u"Variant",    u"Unknown", u"Decimal",  u"$0F",      u"ShortInt", u"Byte",
                                  u"Word",       u"LongWord", u"Int64"};
    for (VarType t = 0; t <= 20; ++t) EXPECT_EQ(VarTypeName(t), expected[t]) << t;
    EXPECT_EQ(VarTypeName(varUInt64), u"Unknown type $15");
    EXPECT_EQ(VarTypeName(varString), u"String");
    EXPECT_EQ(VarTypeName(varAny), u"Any");
    EXPECT_EQ(VarTypeName(258), u"Unknown type $102");
    EXPECT_EQ(VarTypeName(varArray | varInteger), u"array of Integer");
    EXPECT_EQ(VarTypeName(varArray | varVariant), u"array of Variant");
}

TEST(VarTypeName, ExtensionTypesAndValues) {
    RegisterVarExtensionType(300, u"TFancy");
    EXPECT_EQ(VarTypeName(300), u"Fancy");
    UnregisterVarExtensionType(300);
    EXPECT_EQ(VarTypeName(300), u"Unknown type $12C");
    Variant s(u"x");
    Variant ref = Variant::RefTo(&s);
    EXPECT_EQ(VarTypeNameOf(ref), u"String");
    EXPECT_EQ(VarTypeNameOf(Variant::FromArray(SafeArray::Create1(varOleStr, 0, 1))), u"array of String");
}

}  // namespace
}  // namespace xan::plat
