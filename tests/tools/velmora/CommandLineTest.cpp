#include "tools/velmora/CommandLine.h"

#include <gtest/gtest.h>

using namespace xan::cli;

namespace {
ParseResult Parse(std::vector<std::string> args) { return ParseCommandLine(args); }
}  // namespace

TEST(CommandLine, LanguageComesFromExtensionOrOption) {
    EXPECT_EQ(*Parse({"a.pas"}).commandLine->language, ScriptLanguage::Pascal);
    EXPECT_EQ(*Parse({"dir.x/A.VBS"}).commandLine->language, ScriptLanguage::Vb);
    EXPECT_EQ(*Parse({"--lang", "vb", "a.pas"}).commandLine->language, ScriptLanguage::Vb);
    EXPECT_EQ(*Parse({"a.txt", "--lang", "pascal"}).commandLine->language, ScriptLanguage::Pascal);
    EXPECT_NE(Parse({"a.txt"}).error.find("cannot tell the language"), std::string::npos);
    EXPECT_NE(Parse({"--lang", "cobol", "a.pas"}).error.find("unknown language"), std::string::npos);
}

TEST(CommandLine, EngineLanguagesByExtensionAndName) {
    const std::pair<const char*, ScriptLanguage> rows[] = {
        {"a.js", ScriptLanguage::JScript}, {"a.pl", ScriptLanguage::Perl},     {"a.rexx", ScriptLanguage::Rexx},
        {"a.tcl", ScriptLanguage::Tcl},    {"a.py", ScriptLanguage::Python},   {"a.lua", ScriptLanguage::Lua}};
    const char* names[] = {"js", "perl", "rexx", "tcl", "python", "lua"};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(*Parse({rows[i].first}).commandLine->language, rows[i].second) << rows[i].first;
        EXPECT_EQ(*Parse({"--lang", names[i], "a.txt"}).commandLine->language, rows[i].second) << names[i];
    }
    EXPECT_EQ(Parse({"-i", "--lang", "lua"}).error, "the interactive prompt runs pascal or vb only");
}

TEST(CommandLine, ModesAndTheirValues) {
    auto eval = Parse({"--eval", "1+2", "a.pas"});
    ASSERT_TRUE(eval.commandLine);
    EXPECT_EQ(eval.commandLine->mode, RunMode::Eval);
    EXPECT_EQ(eval.commandLine->evalText, "1+2");

    auto call = Parse({"a.pas", "--call", "Add", "1", "-2", "text"});
    ASSERT_TRUE(call.commandLine);
    EXPECT_EQ(call.commandLine->mode, RunMode::Call);
    EXPECT_EQ(call.commandLine->procName, "Add");
    EXPECT_EQ(call.commandLine->callArgs, (std::vector<std::string>{"1", "-2", "text"}));

    auto callFirst = Parse({"--call", "Main", "a.vbs", "x"});
    ASSERT_TRUE(callFirst.commandLine);
    EXPECT_EQ(callFirst.commandLine->file, "a.vbs");
    EXPECT_EQ(callFirst.commandLine->callArgs, (std::vector<std::string>{"x"}));

    EXPECT_EQ(Parse({"--check", "a.pas"}).commandLine->mode, RunMode::Check);
}

// The script may stand before --call or after its arguments; -- ends the runner's options.
TEST(CommandLine, CallArgumentsAndTheFileInEitherOrder) {
    const struct {
        std::vector<std::string> args;
        std::string file;
        std::vector<std::string> callArgs;
    } cases[] = {
        {{"sq.vbs", "--call", "Sq", "7"}, "sq.vbs", {"7"}},
        {{"--call", "Sq", "7", "sq.vbs"}, "sq.vbs", {"7"}},
        {{"--call", "Sq", "sq.vbs", "7"}, "sq.vbs", {"7"}},
        {{"--lang", "vb", "--call", "Sq", "7", "script"}, "script", {"7"}},
        {{"sq.vbs", "--call", "Sq", "--", "-x", "--lang"}, "sq.vbs", {"-x", "--lang"}},
        {{"--call", "Sq", "-3", "sq.pas"}, "sq.pas", {"-3"}},
    };
    for (const auto& c : cases) {
        const ParseResult r = Parse(c.args);
        ASSERT_TRUE(r.commandLine) << r.error;
        EXPECT_EQ(r.commandLine->file, c.file);
        EXPECT_EQ(r.commandLine->callArgs, c.callArgs);
    }
}

TEST(CommandLine, WithoutAFileATerminalGetsThePrompt) {
    EXPECT_EQ(ParseCommandLine({}, true).commandLine->mode, RunMode::Prompt);
    EXPECT_EQ(*ParseCommandLine({}, true).commandLine->language, ScriptLanguage::Pascal);
    EXPECT_EQ(*Parse({"-i", "--lang", "vb"}).commandLine->language, ScriptLanguage::Vb);
    EXPECT_EQ(Parse({"-i", "a.pas"}).error, "-i takes no script file");
    EXPECT_EQ(ParseCommandLine({"--check"}, true).error, "no script file given");
}

TEST(CommandLine, UsageErrors) {
    EXPECT_EQ(Parse({}).error, "no script file given");
    EXPECT_NE(Parse({"--eval"}).error.find("needs a value"), std::string::npos);
    EXPECT_NE(Parse({"--check", "--eval", "1", "a.pas"}).error.find("only one of"), std::string::npos);
    EXPECT_NE(Parse({"--bogus", "a.pas"}).error.find("unknown option"), std::string::npos);
    EXPECT_NE(Parse({"a.pas", "b.pas"}).error.find("unexpected argument"), std::string::npos);
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(std::string(UsageText()).ends_with("\n"));
}

TEST(CommandLine, DebuggerModes) {
    auto debug = Parse({"--debug", "a.vbs"});
    ASSERT_TRUE(debug.commandLine);
    EXPECT_EQ(debug.commandLine->mode, RunMode::Debug);
    EXPECT_EQ(*debug.commandLine->language, ScriptLanguage::Vb);
    EXPECT_EQ(Parse({"--dap"}).commandLine->mode, RunMode::Dap);
    EXPECT_NE(Parse({"--dap", "a.pas"}).error.find("--dap takes no script file"), std::string::npos);
    EXPECT_NE(Parse({"--debug"}).error.find("no script file"), std::string::npos);
    EXPECT_NE(Parse({"--debug", "--check", "a.pas"}).error.find("only one of"), std::string::npos);
}
