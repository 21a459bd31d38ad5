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

TEST(CommandLine, UsageErrors) {
    EXPECT_EQ(Parse({}).error, "no script file given");
    EXPECT_NE(Parse({"--eval"}).error.find("needs a value"), std::string::npos);
    EXPECT_NE(Parse({"--check", "--eval", "1", "a.pas"}).error.find("only one of"), std::string::npos);
    EXPECT_NE(Parse({"--bogus", "a.pas"}).error.find("unknown option"), std::string::npos);
    EXPECT_NE(Parse({"a.pas", "b.pas"}).error.find("unexpected argument"), std::string::npos);
    EXPECT_TRUE(Parse({"--help"}).help);
}
