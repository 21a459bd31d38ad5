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

// The first line names file, 1-based line and column the way compilers do; the machine's own
// report (0-based line) follows.
TEST_F(ScriptRunnerTest, ErrorsStartWithFileLineAndColumn) {
    const std::string file = WriteScript("where.pas", "var x;\nbegin\n  x := 1 +;\nend;\n");
    const RunResult r = Run(Pascal(file, RunMode::Check));
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), file + ":3:11: error: Invalid token: ';'.\n") << r.err;
    EXPECT_NE(r.err.find("velmora: EXANPasCompiler: Invalid token: ';'.\nSource: " + file + " [line: 2, pos: 11]"),
              std::string::npos) << r.err;
    const std::string runtime = WriteScript("late.vbs", "Sub S\n  MsgBox 1 / 0\nEnd Sub\nS\n");
    CommandLine cl = Pascal(runtime);
    cl.language = ScriptLanguage::Vb;
    EXPECT_EQ(Run(cl).err.substr(0, runtime.size() + 6), runtime + ":2:12:") << "the innermost activation's place";
}

TEST_F(ScriptRunnerTest, GarbageBytesAreAScriptErrorNotACrash) {
    const RunResult r = Run(Pascal(WriteScript("garbage.pas", std::string("\x01\xFF\xFE\x00\x80 begin", 11))));
    EXPECT_EQ(r.status, ExitScriptError);
    EXPECT_FALSE(r.err.empty());
}
