// Engines come from plug-ins found at registration; one that is missing or broken makes only
// its own language unavailable.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "TestHost.h"
#include "activescript/engines/ScriptEngines.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"

namespace xan::as::test {
namespace {

namespace fs = std::filesystem;

// The build makes a plug-in for every interpreter whose development package is installed
// (all of them where scripts/install-deps.sh ran).
bool BuiltPlugIn(const TEnginePlugIn& APlugIn) {
    const std::string built = VELMORA_BUILT_ENGINES;
    return built.find("," + std::string(APlugIn.Library) + ",") != std::string::npos;
}

class PlugInTest : public ::testing::Test {
protected:
    void TearDown() override { RegisterScriptEngines(); }  // the real plug-ins for every other test

    static std::string CreationError(std::u16string_view AProgId) {
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { CreateScriptEngine(AProgId); });
        return e ? e->Message().ToUtf8() : std::string();
    }
    static bool VbScriptRuns() {
        TEngineDriver vb;
        if (vb.Create(u"VBScript") != plat::S_OK || vb.Load(u"Function f()\n f = 6 * 7\nEnd Function") != plat::S_OK ||
            vb.Start() != plat::S_OK)
            return false;
        const bool ok = plat::VarToInt32(vb.Call(u"f", {})) == 42;
        vb.Close();
        return ok;
    }
};

TEST_F(PlugInTest, EveryEngineIsThereWithItsPlugIns) {
    const std::vector<UString> registered = RegisterScriptEngines();
    for (const TEnginePlugIn& p : EnginePlugIns()) {
        SCOPED_TRACE(p.Library);
        if (!BuiltPlugIn(p)) continue;
        EXPECT_NE(std::find(registered.begin(), registered.end(), UString(p.ProgId)), registered.end());
        EXPECT_EQ(CreationError(p.ProgId), "");
    }
}

TEST_F(PlugInTest, MissingPlugInCannotCreateItsEngineAndNothingElseBreaks) {
    const fs::path dir = fs::temp_directory_path() / ("velmora-engines-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Every plug-in but Lua's: Lua's is renamed away.
    for (const TEnginePlugIn& p : EnginePlugIns()) {
        const fs::path from = fs::path(DefaultEngineDirectory()) / p.Library;
        if (!fs::exists(from)) continue;
        fs::create_symlink(from, dir / (p.ProgId == u"LuaScript" ? std::string(p.Library) + ".off" : std::string(p.Library)));
    }
    const std::vector<UString> registered = RegisterScriptEngines(dir.string());
    EXPECT_EQ(std::count(registered.begin(), registered.end(), UString(u"LuaScript")), 0);
    EXPECT_EQ(CreationError(u"LuaScript"), "Can't create script engine 'LuaScript'");

    EXPECT_TRUE(VbScriptRuns());
    fs::remove_all(dir);
}

TEST_F(PlugInTest, BogusPathLeavesOnlyOurOwnEngine) {
    const std::vector<UString> registered = RegisterScriptEngines("/nonexistent/velmora-engines");
    EXPECT_EQ(registered, std::vector<UString>{UString(u"VBScript")});
    for (const TEnginePlugIn& p : EnginePlugIns())
        EXPECT_EQ(CreationError(p.ProgId), "Can't create script engine '" + UString(p.ProgId).ToUtf8() + "'");
    EXPECT_TRUE(VbScriptRuns());
}

TEST_F(PlugInTest, PlugInThatCannotBeLoadedSaysWhy) {
    const fs::path dir = fs::temp_directory_path() / ("velmora-broken-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "velmora_engine_lua.so") << "not a library";
    RegisterScriptEngines(dir.string());
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { CreateScriptEngine(u"LuaScript"); });
    ASSERT_TRUE(e && e->Is<plat::EOleSysError>());
    EXPECT_EQ(static_cast<plat::EOleSysError&>(*e).ErrorCode, plat::CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_TRUE(VbScriptRuns());
    fs::remove_all(dir);
}

}  // namespace
}  // namespace xan::as::test
