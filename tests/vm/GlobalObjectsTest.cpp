#include "vm/compiler/GlobalObjects.h"

#include <gtest/gtest.h>

#include "tests/vm/VmTestSupport.h"
#include "vm/bytecode/ByteCode.h"

namespace xan {
namespace {

using plat::DISPATCH_METHOD;
using plat::DISPATCH_PROPERTYGET;
using plat::DISPATCH_PROPERTYPUT;
using plat::DISPATCH_PROPERTYPUTREF;
using plat::UString;
using vmtest::CountingDispatch;

class TestProc : public TXANProcObject {
public:
    using TXANProcObject::TXANProcObject;
    void EmitByteCode(TXANAbstractNamespace*) override { ++emitted; }
    int emitted = 0;
};

class TestIntrinsic : public TIntrinsic {
public:
    using TIntrinsic::TIntrinsic;
    void Execute(TXANVMBase*, TXANCall*, PXANVarArray AArgs, plat::Variant& AResult) override {
        AResult = AArgs[0];
    }
};

TEST(GlobalObjects, VariableAcceptsGetAndBothPutsAndYieldsAValue) {
    TXANVarObject v(7, u"Counter");
    EXPECT_EQ(v.GetGlobalObjType(), gtVar);
    EXPECT_EQ(v.FName, 7);
    EXPECT_EQ(v.FStrName, u"Counter");
    EXPECT_EQ(v.FInvokeFlags, 14u);
    EXPECT_EQ(v.FInvokeFlags, std::uint32_t(DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF));
    EXPECT_EQ(v.FResMask, 0xFFFFFFFFu);
    EXPECT_EQ(v.FDispId, 0);  // the machine numbers objects when it accepts them
    EXPECT_TRUE(v.Value.IsEmpty());
}

TEST(GlobalObjects, ConstantAcceptsOnlyGet) {
    TXANConstObject c(8, u"Limit");
    EXPECT_EQ(c.GetGlobalObjType(), gtConst);
    EXPECT_EQ(c.FInvokeFlags, std::uint32_t(DISPATCH_PROPERTYGET));
    EXPECT_EQ(c.FResMask, XANResMaskValue);
}

TEST(GlobalObjects, ProcedureIsAMethodWithItsOwnByteCode) {
    TestProc p(9, u"Main");
    EXPECT_EQ(p.GetGlobalObjType(), gtProcedure);
    EXPECT_EQ(p.FInvokeFlags, std::uint32_t(DISPATCH_METHOD));
    EXPECT_EQ(p.FResMask, XANResMaskNone);  // a procedure until the front end says function
    ASSERT_NE(p.ByteCode(), nullptr);
    EXPECT_EQ(p.ByteCode()->Count(), 0);
    EXPECT_EQ(p.ParamCount(), 0);
    p.AddParam(pkSimple);
    p.AddParam(pkByRef);
    EXPECT_EQ(p.ParamCount(), 2);
    EXPECT_EQ(p.ParamKind(0), pkSimple);
    EXPECT_EQ(p.ParamKind(1), pkByRef);
    p.FResMask = XANResMaskValue;
    p.EmitByteCode(nullptr);
    EXPECT_EQ(p.emitted, 1);
}

TEST(GlobalObjects, StatementObjectsAndIntrinsics) {
    TXANExitObject e(1, u"Exit");
    TXANBreakObject b(2, u"Break");
    TXANContinueObject c(3, u"Continue");
    TestIntrinsic i(4, u"Echo");
    EXPECT_EQ(e.GetGlobalObjType(), gtExit);
    EXPECT_EQ(b.GetGlobalObjType(), gtBreak);
    EXPECT_EQ(c.GetGlobalObjType(), gtContinue);
    EXPECT_EQ(i.GetGlobalObjType(), gtIntrinsic);
    plat::Variant arg(42);
    plat::Variant result;
    i.Execute(nullptr, nullptr, &arg, result);
    EXPECT_EQ(result.VType, plat::varInteger);
    EXPECT_EQ(result.VInteger, 42);
}

TEST(GlobalObjects, ExternObjectHoldsOneReferenceForItsLife) {
    CountingDispatch host;
    {
        TXANExternObject x(5, u"Form", &host, nullptr, true);
        EXPECT_EQ(x.GetGlobalObjType(), gtExtern);
        EXPECT_EQ(host.refs, 2u);
        EXPECT_EQ(x.FObj, &host);
        EXPECT_EQ(x.FCodeObject, nullptr);
        EXPECT_TRUE(x.FPublishMembers);
    }
    EXPECT_EQ(host.refs, 1u);
    TXANExternObject none(6, u"Nothing", nullptr, nullptr, false);  // a nil host object is allowed
    EXPECT_EQ(none.FObj, nullptr);
}

TEST(GlobalObjects, ClassesFormOneHierarchy) {
    TXANVarObject v(1, u"v");
    EXPECT_TRUE(v.Is<TXANGlobalValuedObject>());
    EXPECT_TRUE(v.Is<TXANDispIdObject>());
    EXPECT_TRUE(v.Is<TXANGlobalObject>());
    EXPECT_TRUE(v.Is<TXANNamedItem>());
    EXPECT_FALSE(v.Is<TXANConstObject>());
    EXPECT_EQ(v.ClassName(), u"TXANVarObject");
    TestIntrinsic i(2, u"i");
    EXPECT_FALSE(i.Is<TXANDispIdObject>());
}

TEST(GlobalObjects, LiveInANameTableByNameId) {
    TXANNameHashTable table(true);
    auto* first = new TXANVarObject(10, u"x");
    ASSERT_TRUE(table.Add(first));
    auto second = std::make_unique<TXANConstObject>(10, u"X");
    EXPECT_FALSE(table.Add(second.get()));  // the same name id: the first declaration keeps it
    EXPECT_EQ(table.Find(10), first);
    EXPECT_TRUE(table.Add(new TestProc(11, u"P")));
    EXPECT_EQ(static_cast<TXANGlobalObject*>(table.Find(11))->GetGlobalObjType(), gtProcedure);
}

}  // namespace
}  // namespace xan
