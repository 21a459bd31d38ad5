// The interactive prompt, driven through its input stream as a terminal or a pipe would.
#include "tools/velmora/Prompt.h"
#include "tools/velmora/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace xan::cli;

namespace {

struct Outcome {
    std::string out, err;
};

Outcome Type(ScriptLanguage ALanguage, const std::string& AInput, bool AShowPrompts = false) {
    std::istringstream in(AInput);
    std::ostringstream out, err;
    EXPECT_EQ(RunPrompt(ALanguage, in, out, err, AShowPrompts), ExitOk);
    return {out.str(), err.str()};
}

TEST(Prompt, DeclarationsAndStatementsAccumulateAndExpressionsPrint) {
    const struct {
        ScriptLanguage language;
        std::string input, out;
    } cases[] = {
        {ScriptLanguage::Pascal, "1 + 2\n", "3\n"},
        {ScriptLanguage::Pascal, "var x = 2;\nx := x * 5;\nx\n", "10\n"},
        {ScriptLanguage::Pascal, "function Sq(n);\nbegin\n  Result := n * n;\nend;\nSq(4);\n", "16\n"},
        {ScriptLanguage::Pascal, "var x = 3;\nvar y = x + 1;\nx := 7;\nvar z;\nx + y\n", "11\n"},
        {ScriptLanguage::Pascal, "var x, s = '';\nfor x := 1 to 3 do\n  s := s + IntToStr(x);\n\ns\n", "123\n"},
        {ScriptLanguage::Pascal, "Null\nUnassigned\n'a' + 'b'\n", "Null\nab\n"},
        {ScriptLanguage::Vb, "Dim a\na = 5\na * 2\n", "10\n"},
        {ScriptLanguage::Vb, "Dim t\nSub Hi(n)\n  t = \"hi \" & n\nEnd Sub\nHi 3\nIf 1 > 0 Then\n  t = t & \"!\"\nEnd If\nt\n",
         "hi 3!\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = Type(c.language, c.input);
        EXPECT_EQ(o.out, c.out) << c.input;
        EXPECT_EQ(o.err, "") << c.input;
    }
}

TEST(Prompt, AnErrorIsPrintedWithItsPlaceAndThePromptGoesOn) {
    const Outcome o = Type(ScriptLanguage::Pascal, "var x = 1;\ny + 1\nvar x;\nx + 1\n");
    EXPECT_EQ(o.out, "2\n");
    EXPECT_NE(o.err.find("<stdin>:1:1: error: Undeclared identifier: 'y'\n"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("<stdin>:1:5: error: Object or value named 'x' already exists"), std::string::npos)
        << o.err;
}

TEST(Prompt, UnfinishedTextAtTheEndOfInputIsAnError) {
    const Outcome o = Type(ScriptLanguage::Pascal, "function F(n);\nbegin\n");
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("error:"), std::string::npos);
}

TEST(Prompt, ATerminalSeesPromptsAndContinuationPrompts) {
    const Outcome o = Type(ScriptLanguage::Vb, "If True Then\nx = 1\nEnd If\n1 + 1\n", true);
    EXPECT_NE(o.out.find("VBScript dialect"), std::string::npos);
    EXPECT_NE(o.out.find("> ... ... > 2\n> "), std::string::npos) << o.out;
}

}  // namespace
