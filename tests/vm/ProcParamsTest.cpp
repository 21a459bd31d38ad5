// The parameter kinds of a procedure object and the copies its by-value parameters take on entry.
#include <gtest/gtest.h>

#include "platform/ole/SafeArray.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan {
namespace {

using plat::UString;
using plat::Variant;

class ParamProc : public TXANProcObject {
public:
    ParamProc() : TXANProcObject(1, u"P") {}
    void EmitByteCode(TXANAbstractNamespace*) override {}
};

TEST(ProcParams, KindsInDeclarationOrder) {
    ParamProc p;
    p.AddParam(pkByRef);
    p.AddParam(pkSimple);
    p.AddParam(pkConst);
    ASSERT_EQ(p.ParamCount(), 3);
    EXPECT_EQ(p.ParamKind(0), pkByRef);
    EXPECT_EQ(p.ParamKind(1), pkSimple);
    EXPECT_EQ(p.ParamKind(2), pkConst);
}

TEST(ProcParams, OnlyByValueReferencesBecomeCopies) {
    ParamProc p;
    p.AddParam(pkSimple);
    p.AddParam(pkByRef);
    p.AddParam(pkConst);
    p.AddParam(pkSimple);
    Variant a(1), b(2), c(3);
    Variant args[4] = {Variant::RefTo(&a), Variant::RefTo(&b), Variant::RefTo(&c), Variant(UString(u"plain"))};
    p.TakeByValueCopies(args);
    EXPECT_EQ(args[0].VType, plat::varInteger);
    EXPECT_EQ(args[0].VInteger, 1);
    EXPECT_TRUE(args[1].IsRef());
    EXPECT_TRUE(args[2].IsRef());
    EXPECT_EQ(plat::VarToUString(args[3]), u"plain");
    a = Variant(10);
    EXPECT_EQ(args[0].VInteger, 1);
}

TEST(ProcParams, ChainsAndForeignReferencesAreFollowedToTheValue) {
    ParamProc p;
    p.AddParam(pkSimple);
    p.AddParam(pkSimple);
    Variant target(UString(u"deep"));
    Variant middle = Variant::RefTo(&target);
    std::int32_t hostInt = 42;
    Variant args[2] = {Variant::RefTo(&middle), Variant::Adopt(plat::VarData(plat::varInteger | plat::varByRef, 0))};
    args[1].VPointer = &hostInt;
    p.TakeByValueCopies(args);
    EXPECT_TRUE(args[0].IsString());
    EXPECT_EQ(plat::VarToUString(args[0]), u"deep");
    EXPECT_EQ(args[1].VType, plat::varInteger);
    EXPECT_EQ(args[1].VInteger, 42);
}

TEST(ProcParams, ArrayCopyIsIndependentOfTheCallersArray) {
    ParamProc p;
    p.AddParam(pkSimple);
    const plat::SafeArray::Bound bound{0, 2};
    Variant array = plat::VarArrayCreate(plat::varVariant, std::span(&bound, 1));
    const std::int32_t first[1] = {0};
    plat::VarArrayPut(array, first, Variant(1));
    Variant args[1] = {Variant::RefTo(&array)};
    p.TakeByValueCopies(args);
    ASSERT_TRUE(args[0].IsArray());
    plat::VarArrayPut(args[0], first, Variant(99));
    EXPECT_EQ(plat::VarToInt32(plat::VarArrayGet(array, first)), 1);
    EXPECT_EQ(plat::VarToInt32(plat::VarArrayGet(args[0], first)), 99);
}

}  // namespace
}  // namespace xan
