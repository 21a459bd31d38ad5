#include "vm/compiler/NameSearch.h"

#include <gtest/gtest.h>

namespace xan {
namespace {

class TestIntrinsic : public TIntrinsic {
public:
    using TIntrinsic::TIntrinsic;
    void Execute(TXANVMBase*, TXANCall*, PXANVarArray, plat::Variant&) override {}
};

TEST(NameSearch, KindsKeepTheirOrder) {
    EXPECT_EQ(srNotFound, 0);
    EXPECT_EQ(srUnit, 3);
    EXPECT_EQ(srLocalVar, 7);
    EXPECT_EQ(srDebugVar, 15);
}

TEST(NameSearch, DefaultIsNotFoundWithoutObject) {
    TXANNameSearchRes r;
    EXPECT_EQ(r.ObjKind, srNotFound);
    EXPECT_EQ(r.NamedObject, nullptr);
    EXPECT_EQ(TXANNameSearchRes::NotFound().ObjKind, srNotFound);
    EXPECT_EQ(TXANNameSearchRes::Result().ObjKind, srResult);
    EXPECT_EQ(sizeof(TXANNameSearchRes), 24u);  // kind, one pointer-sized payload, dispatch id
}

TEST(NameSearch, GlobalObjectGivesTheKindOfItsType) {
    TXANVarObject v(1, u"v");
    TXANConstObject c(2, u"c");
    TXANExitObject e(3, u"Exit");
    TXANBreakObject b(4, u"Break");
    TXANContinueObject n(5, u"Continue");
    TestIntrinsic i(6, u"Abs");
    TXANExternObject x(7, u"Host", nullptr, nullptr, false);
    struct Case {
        TXANGlobalObject* object;
        TXANNameSearchResKind kind;
    };
    for (Case k : {Case{&v, srGlobalVar}, {&c, srGlobalConst}, {&e, srExit}, {&b, srBreak}, {&n, srContinue},
                   {&i, srIntrinsic}, {&x, srExternal}}) {
        auto r = TXANNameSearchRes::OfObject(k.object);
        EXPECT_EQ(r.ObjKind, k.kind) << k.object->FStrName.ToUtf8();
        EXPECT_EQ(r.NamedObject, k.object);
    }
    EXPECT_EQ(SearchResKindOf(gtProcedure), srProcedure);
}

TEST(NameSearch, PayloadsOfLocalKinds) {
    auto member = TXANNameSearchRes::ExternalMember(nullptr, 17);
    EXPECT_EQ(member.ObjKind, srExternalMember);
    EXPECT_EQ(member.DispId, 17);

    auto local = TXANNameSearchRes::LocalVar(3);
    EXPECT_EQ(local.ObjKind, srLocalVar);
    EXPECT_EQ(local.LocalVarIndex, 3);

    plat::Variant value(5);
    auto constant = TXANNameSearchRes::LocalConstant(&value);
    EXPECT_EQ(constant.ObjKind, srLocalConst);
    EXPECT_EQ(constant.LocalConst, &value);

    auto param = TXANNameSearchRes::Param({2, pkByRef});
    EXPECT_EQ(param.ObjKind, srParam);
    EXPECT_EQ(param.ParamInfo.Index, 2);
    EXPECT_EQ(param.ParamInfo.Kind, pkByRef);

    auto debug = TXANNameSearchRes::DebugVariable(&value);
    EXPECT_EQ(debug.ObjKind, srDebugVar);
    EXPECT_EQ(debug.DebugVar, &value);
}

}  // namespace
}  // namespace xan
