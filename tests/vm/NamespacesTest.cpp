#include "vm/compiler/Namespaces.h"

#include <gtest/gtest.h>

#include <vector>

namespace xan {
namespace {

using plat::UString;

// A machine's global view with fixed contents; records how it was asked.
class FakeScope : public IXANGlobalScope {
public:
    TXANNameSearchRes SearchGlobal(TXANThread* AThread, Integer AName, const UString* AStrName) override {
        lastThread = AThread;
        lastName = AName;
        lastStrName = AStrName;
        return answer;
    }
    const std::vector<TXANGlobalValuedObject*>& GlobalConsts() const override { return consts; }
    const std::vector<TXANGlobalValuedObject*>& GlobalVars() const override { return vars; }

    TXANNameSearchRes answer;
    TXANThread* lastThread = nullptr;
    Integer lastName = -1;
    const UString* lastStrName = nullptr;
    std::vector<TXANGlobalValuedObject*> consts, vars;
};

struct Reported {
    UString name;
    TXANNameSearchResKind kind;
    TXANGlobalObject* object;
};

std::vector<Reported> Enumerate(TXANAbstractNamespace& ns, bool localsOnly) {
    std::vector<Reported> seen;
    ns.EnumDebugVars(localsOnly, TXANNamespaceEnumVarsProc([&](const UString& name, const TXANNameSearchRes& r) {
                         seen.push_back({name, r.ObjKind, r.NamedObject});
                     }));
    return seen;
}

TEST(GlobalObjectsNamespace, IsOutermostAndDelegatesRunTimeLookup) {
    FakeScope scope;
    TXANVarObject v(4, u"Total");
    scope.answer = TXANNameSearchRes::OfObject(&v);
    TGlobalObjectsNamespace ns(&scope);
    EXPECT_EQ(ns.Parent(), nullptr);
    auto* thread = reinterpret_cast<TXANThread*>(0x1000);
    UString text(u"total");
    auto r = ns.Find(thread, 4, &text);
    EXPECT_EQ(r.ObjKind, srGlobalVar);
    EXPECT_EQ(r.NamedObject, &v);
    EXPECT_EQ(scope.lastThread, thread);
    EXPECT_EQ(scope.lastName, 4);
    EXPECT_EQ(scope.lastStrName, &text);
}

TEST(GlobalObjectsNamespace, FindsNothingAtCompileTime) {
    // Every global name is resolved at run time, so host objects added later are seen.
    FakeScope scope;
    TXANVarObject v(4, u"Total");
    scope.answer = TXANNameSearchRes::OfObject(&v);
    TGlobalObjectsNamespace ns(&scope);
    auto r = ns.CompileTimeFind(4);
    EXPECT_EQ(r.ObjKind, srNotFound);
    EXPECT_EQ(r.NamedObject, nullptr);
    EXPECT_EQ(scope.lastName, -1);  // the machine was not asked
}

TEST(GlobalObjectsNamespace, DebugVarsAreConstantsThenVariablesInDeclarationOrder) {
    FakeScope scope;
    TXANVarObject v1(1, u"Zeta"), v2(2, u"alpha");
    TXANConstObject c1(3, u"Max"), c2(4, u"Min");
    scope.vars = {&v1, &v2};
    scope.consts = {&c1, &c2};
    TGlobalObjectsNamespace ns(&scope);

    EXPECT_TRUE(Enumerate(ns, true).empty());

    auto all = Enumerate(ns, false);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].name, u"Max");
    EXPECT_EQ(all[0].kind, srGlobalConst);
    EXPECT_EQ(all[0].object, &c1);
    EXPECT_EQ(all[1].name, u"Min");
    EXPECT_EQ(all[2].name, u"Zeta");  // as declared, not sorted
    EXPECT_EQ(all[2].kind, srGlobalVar);
    EXPECT_EQ(all[2].object, &v1);
    EXPECT_EQ(all[3].name, u"alpha");
}

TEST(GlobalObjectsNamespace, EmptyScriptReportsNothing) {
    FakeScope scope;
    TGlobalObjectsNamespace ns(&scope);
    EXPECT_TRUE(Enumerate(ns, false).empty());
}

TEST(AbstractNamespace, ChainResolvesInnerNamesFirst) {
    FakeScope scope;
    TXANVarObject global(7, u"x");
    scope.answer = TXANNameSearchRes::OfObject(&global);
    TGlobalObjectsNamespace root(&scope);
    TXANHandlerVarNamespace inner(&root, 7, u"x", 3);
    EXPECT_EQ(inner.Parent(), &root);

    // The local hides the global of the same name, at run time and at compile time.
    EXPECT_EQ(inner.Find(nullptr, 7, nullptr).ObjKind, srLocalVar);
    EXPECT_EQ(inner.Find(nullptr, 7, nullptr).LocalVarIndex, 3);
    EXPECT_EQ(inner.CompileTimeFind(7).ObjKind, srLocalVar);
    EXPECT_EQ(scope.lastName, -1);

    // Other names fall through to the machine at run time, and to nothing at compile time.
    EXPECT_EQ(inner.Find(nullptr, 8, nullptr).ObjKind, srGlobalVar);
    EXPECT_EQ(scope.lastName, 8);
    EXPECT_EQ(inner.CompileTimeFind(8).ObjKind, srNotFound);
}

TEST(AbstractNamespace, LocalsOnlyStopsAtTheGlobalScope) {
    FakeScope scope;
    TXANVarObject g(1, u"g");
    scope.vars = {&g};
    TGlobalObjectsNamespace root(&scope);
    TXANHandlerVarNamespace inner(&root, 2, u"E", 0);
    auto localsOnly = Enumerate(inner, true);
    ASSERT_EQ(localsOnly.size(), 1u);
    EXPECT_EQ(localsOnly[0].name, u"E");
    EXPECT_EQ(localsOnly[0].kind, srLocalVar);
    auto all = Enumerate(inner, false);  // the enclosing scope's variables, then the handler's
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, u"g");
    EXPECT_EQ(all[1].name, u"E");
}

}  // namespace
}  // namespace xan
