// Every engine through the service's interfaces: scripts, procedures with arguments of every
// kind, globals, expressions and statements, errors with their positions, host objects.
#include <gtest/gtest.h>

#include "EngineCases.h"
#include "TestHost.h"
#include "activescript/engines/ScriptEngines.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"
#include "platform/ole/VarConsts.h"

namespace xan::as::test {
namespace {

int MarkedLine(std::u16string_view AText, std::u16string_view AMarker) {
    const auto at = AText.find(AMarker);
    int line = 0;
    for (std::size_t i = 0; i < at; ++i) line += AText[i] == u'\n';
    return line;
}

class EngineTest : public ::testing::TestWithParam<const TLangCase*> {
protected:
    static void SetUpTestSuite() { RegisterScriptEngines(); }

    void SetUp() override {
        const TLangCase& c = *GetParam();
        ASSERT_EQ(Engine.Create(c.ProgId), plat::S_OK) << c.Name;
        Host = ComPtr<THostObject>(new THostObject());
        Engine.Site->Items[u"host"] = Host.Get();
        Engine.Site->Items[u"app"] = ComPtr<IDispatch>(new THostObject());
        ASSERT_EQ(Engine.Load(c.Script), plat::S_OK) << Engine.LastError();
        ASSERT_EQ(Engine.Script->AddNamedItem(u"host", SCRIPTITEM_ISVISIBLE), plat::S_OK);
        ASSERT_EQ(Engine.Script->AddNamedItem(u"app", SCRIPTITEM_ISVISIBLE | SCRIPTITEM_GLOBALMEMBERS), plat::S_OK);
        ASSERT_EQ(Engine.Start(), plat::S_OK) << Engine.LastError();
    }
    void TearDown() override { Engine.Close(); }

    // The description of the error a call raises ("" when none).
    template <class F>
    std::string ErrorOf(F&& ACall) {
        std::unique_ptr<plat::Exception> e = plat::CatchAll(ACall);
        return e ? e->Message().ToUtf8() : std::string();
    }

    TEngineDriver Engine;
    ComPtr<THostObject> Host;
};

TEST_P(EngineTest, CallsAProcedureAndReadsItsResult) {
    EXPECT_EQ(plat::VarToInt32(Engine.Call(u"add", {Variant(2), Variant(3)})), 5);
    EXPECT_EQ(plat::VarToDouble(Engine.Call(u"add", {Variant(2.5), Variant(0.25)})), 2.75);
}

struct TValueRow {
    Variant Value;
    int KindIndex;
};

std::vector<TValueRow> ValueRows(IDispatch* AObject) {
    return {{Variant(42), 0},
            {Variant(2.5), 1},
            {Variant(u"h\u00e9llo w\u00f6rld"), 2},
            {Variant(true), 3},
            {Variant::FromDate(plat::EncodeDate(2024, 2, 29) + 0.5), 4},
            {Variant(), 5},
            {Variant::Null(), 6},
            {MakeArrayForTest(), 7},
            {Variant(AObject), 8}};
}

TEST_P(EngineTest, ValuesOfEveryKindCrossBothWays) {
    const TLangCase& c = *GetParam();
    for (const TValueRow& row : ValueRows(Host.Get())) {
        SCOPED_TRACE(plat::VarTypeNameOf(row.Value).ToUtf8());
        EXPECT_EQ(Utf8(plat::VarToUString(Engine.Call(u"kind", {row.Value}))), c.Kinds[row.KindIndex]);
        const Variant back = Engine.Call(u"echo", {row.Value});
        if (const char* text = c.Echoes[row.KindIndex]) {
            EXPECT_EQ(Utf8(plat::VarToUString(back)), text);
        } else if (row.Value.IsArray()) {
            ASSERT_TRUE(back.IsArray());
            EXPECT_EQ(ArrayTextForTest(back), ArrayTextForTest(row.Value));
        } else if (row.Value.VType == plat::varDispatch) {
            ASSERT_EQ(back.VType, plat::varDispatch);
            EXPECT_TRUE(plat::SameObject(back.VDispatch, row.Value.VDispatch));
        } else {
            EXPECT_EQ(back.VType, row.Value.VType);
            EXPECT_EQ(plat::VarCompare(back, row.Value), plat::VarOrder::Equal);
        }
    }
}

TEST_P(EngineTest, ReadsAndWritesAGlobal) {
    EXPECT_EQ(plat::VarToInt32(Engine.Read(u"counter")), 10);
    Engine.Write(u"counter", Variant(42));
    EXPECT_EQ(plat::VarToInt32(Engine.Read(u"counter")), 42);
    EXPECT_EQ(plat::VarToInt32(Engine.Call(u"add", {Engine.Read(u"counter"), Variant(1)})), 43);
}

TEST_P(EngineTest, UnknownGlobalIsAnUnknownName) {
    const char16_t* names[] = {u"noSuchGlobal"};
    DISPID id = 0;
    EXPECT_EQ(Engine.Globals->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id), plat::DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, plat::DISPID_UNKNOWN);
}

TEST_P(EngineTest, EvaluatesAnExpressionAndExecutesAStatement) {
    const TLangCase& c = *GetParam();
    Variant r;
    ASSERT_EQ(Engine.Eval(c.SumExpr, r), plat::S_OK) << Engine.LastError();
    EXPECT_EQ(plat::VarToInt32(r), 3);
    ASSERT_EQ(Engine.Exec(c.SetStmt), plat::S_OK) << Engine.LastError();
    EXPECT_EQ(plat::VarToInt32(Engine.Read(u"counter")), 7);
}

TEST_P(EngineTest, SyntaxErrorIsReportedWithItsPosition) {
    const TLangCase& c = *GetParam();
    TEngineDriver other;
    ASSERT_EQ(other.Create(c.ProgId), plat::S_OK);
    EXPECT_EQ(other.Load(c.SyntaxError), plat::SCRIPT_E_REPORTED);
    ASSERT_TRUE(other.Site->LastError);
    std::uint64_t ctx = 0;
    std::uint32_t line = 0;
    std::int32_t pos = 0;
    other.Site->LastError->GetSourcePosition(&ctx, &line, &pos);
    EXPECT_EQ(static_cast<int>(line), c.SyntaxLine) << other.LastError();
    if (c.SyntaxPos >= 0) {
        EXPECT_EQ(pos, c.SyntaxPos) << other.LastError();
    }
    other.Close();
}

TEST_P(EngineTest, RuntimeErrorIsReportedWithItsLine) {
    const TLangCase& c = *GetParam();
    EXPECT_NE(ErrorOf([&] { Engine.Call(u"fails", {}); }), "");
    ASSERT_TRUE(Engine.Site->LastError);
    std::uint64_t ctx = 0;
    std::uint32_t line = 0;
    std::int32_t pos = 0;
    Engine.Site->LastError->GetSourcePosition(&ctx, &line, &pos);
    EXPECT_EQ(static_cast<int>(line), MarkedLine(c.Script, u"FAIL_HERE")) << Engine.LastError();
}

TEST_P(EngineTest, HostObjectPropertiesMethodsAndDefaultMember) {
    EXPECT_EQ(Utf8(plat::VarToUString(Engine.Call(u"hostName", {}))), "initial");
    Engine.Call(u"setHostName", {Variant(u"renamed")});
    EXPECT_EQ(Utf8(Host->Name), "renamed");
    EXPECT_EQ(plat::VarToInt32(Engine.Call(u"hostTwice", {Variant(21)})), 42);
    EXPECT_EQ(Utf8(plat::VarToUString(Engine.Call(u"hostItem", {Variant(3)}))), "item3");
    EXPECT_EQ(Utf8(plat::VarToUString(Engine.Call(u"appGreeting", {}))), "hello");
}

TEST_P(EngineTest, HostFailureReachesTheScriptAndComesBack) {
    EXPECT_NE(ErrorOf([&] { Engine.Call(u"hostFails", {}); }).find("Host failure"), std::string::npos);
    EXPECT_NE(Engine.LastError().find("Host failure"), std::string::npos);
}

TEST_P(EngineTest, ByReferenceArgumentsWhereTheLanguageHasThem) {
    if (!GetParam()->ByRef) GTEST_SKIP() << "the language passes arguments by value only";
    std::vector<Variant> args{Variant(5)};
    EXPECT_EQ(plat::VarToInt32(Engine.Call(u"bump", {Variant(5)})), 7);
    Engine.CallByRef(u"bump", args);
    EXPECT_EQ(plat::VarToInt32(args[0]), 7);
}

const TLangCase* const KCases[] = {&KVbCase, &KLuaCase, &KPythonCase, &KTclCase, &KJsCase, &KRexxCase, &KPerlCase};

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::ValuesIn(KCases),
                         [](const auto& info) { return std::string(info.param->Name); });

}  // namespace
}  // namespace xan::as::test
