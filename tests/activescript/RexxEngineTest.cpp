// Regina keeps its interpreter per thread, not per engine: REXX engines on one thread keep
// their own globals, and one may call another while it runs.
#include <gtest/gtest.h>

#include "TestHost.h"
#include "activescript/engines/ScriptEngines.h"

namespace xan::as::test {
namespace {

class RexxEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterScriptEngines(); }
    void SetUp() override {
        if (std::string(VELMORA_BUILT_ENGINES).find(",velmora_engine_rexx.so,") == std::string::npos)
            GTEST_SKIP() << "the REXX plug-in is not built (libregina3-dev is missing)";
    }
    static void Open(TEngineDriver& AEngine, const char16_t* AScript) {
        ASSERT_EQ(AEngine.Create(u"ObjectREXXScript"), plat::S_OK);
        ASSERT_EQ(AEngine.Load(AScript), plat::S_OK) << AEngine.LastError();
        ASSERT_EQ(AEngine.Start(), plat::S_OK) << AEngine.LastError();
    }
};

// bump has no PROCEDURE: it changes the global n.
constexpr const char16_t* KCounter = u"n = 0\nexit\nbump: n = n + 1\n  return n\n";

TEST_F(RexxEngineTest, EnginesOnOneThreadKeepTheirOwnGlobals) {
    TEngineDriver a, b;
    Open(a, KCounter);
    Open(b, KCounter);
    b.Write(u"n", Variant(100));
    EXPECT_EQ(plat::VarToInt32(a.Call(u"bump", {})), 1);
    EXPECT_EQ(plat::VarToInt32(b.Call(u"bump", {})), 101);
    EXPECT_EQ(plat::VarToInt32(a.Call(u"bump", {})), 2);
    EXPECT_EQ(plat::VarToInt32(a.Read(u"n")), 2);
    EXPECT_EQ(plat::VarToInt32(b.Read(u"n")), 101);
    a.Close();
    b.Close();
}

TEST_F(RexxEngineTest, OneEngineCallsAnotherWhileItRuns) {
    TEngineDriver inner, outer;
    Open(inner, u"n = 1\nexit\ntwice: procedure\n  return arg(1) * 2\n");
    ASSERT_EQ(outer.Create(u"ObjectREXXScript"), plat::S_OK);
    outer.Site->Items[u"other"] = inner.Globals;
    ASSERT_EQ(outer.Load(u"x = 5\nexit\nrelay: procedure expose x\n  return other('twice', arg(1)) + x\n"), plat::S_OK);
    ASSERT_EQ(outer.Script->AddNamedItem(u"other", SCRIPTITEM_ISVISIBLE), plat::S_OK);
    ASSERT_EQ(outer.Start(), plat::S_OK) << outer.LastError();
    EXPECT_EQ(plat::VarToInt32(outer.Call(u"relay", {Variant(4)})), 13);
    EXPECT_EQ(plat::VarToInt32(outer.Read(u"x")), 5);
    EXPECT_EQ(plat::VarToInt32(inner.Read(u"n")), 1);
    outer.Close();
    inner.Close();
}

// A global written as an array is a stem (name.0 the count) and reads back as the array.
TEST_F(RexxEngineTest, ArrayGlobalIsAStem) {
    TEngineDriver e;
    Open(e, u"list.0 = 0\nexit\ncount: return list.0\nsecond: return list.2\n");
    e.Write(u"list", MakeArrayForTest());
    EXPECT_EQ(plat::VarToInt32(e.Call(u"count", {})), 3);
    EXPECT_EQ(Utf8(plat::VarToUString(e.Call(u"second", {}))), "a");
    EXPECT_EQ(ArrayTextForTest(e.Read(u"list")), "1|a|1");
    e.Close();
}

}  // namespace
}  // namespace xan::as::test
