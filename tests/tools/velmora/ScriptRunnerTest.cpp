#include "tools/velmora/ScriptRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace xan::cli;

namespace {
struct RunResult {
    int status;
    std::string out, err;
};

class ScriptRunnerTest : public testing::Test {
protected:
    std::string WriteScript(const std::string& name, const std::string& text) {
        std::string path = testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }
    RunResult Run(CommandLine cl) {
        std::ostringstream out, err;
        const int status = RunScript(cl, out, err);
        return {status, out.str(), err.str()};
    }
    static CommandLine Pascal(std::string file, RunMode mode = RunMode::Run) {
        CommandLine cl;
        cl.file = std::move(file);
        cl.language = ScriptLanguage::Pascal;
        cl.mode = mode;
        return cl;
    }
    void TearDown() override {
        for (const auto& f : files_) std::remove(f.c_str());
    }
    std::vector<std::string> files_;
};
}  // namespace

TEST_F(ScriptRunnerTest, MissingFileIsAUsageError) {
    const RunResult r = Run(Pascal("/nonexistent/dir/script.pas"));
    EXPECT_EQ(r.status, ExitUsageError);
    EXPECT_NE(r.err.find("cannot read '/nonexistent/dir/script.pas'"), std::string::npos);
}

TEST_F(ScriptRunnerTest, CompileErrorReportsItsPosition) {
    const RunResult r = Run(Pascal(WriteScript("broken.pas", "var x;\nbegin\n  x := ;\nend.\n"), RunMode::Check));
    EXPECT_EQ(r.status, ExitScriptError);
    EXPECT_NE(r.err.find("[line: 2, pos:"), std::string::npos) << r.err;
}

TEST_F(ScriptRunnerTest, GarbageBytesAreAScriptErrorNotACrash) {
    const RunResult r = Run(Pascal(WriteScript("garbage.pas", std::string("\x01\xFF\xFE\x00\x80 begin", 11))));
    EXPECT_EQ(r.status, ExitScriptError);
    EXPECT_FALSE(r.err.empty());
}
