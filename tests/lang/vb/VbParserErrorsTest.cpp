#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "VbParseSupport.h"

namespace xan::vb::test {
namespace {

TEST(VbParserErrors, InvalidTokenAtTheEndOfTheCurrentToken) {
    EXPECT_VB_ERROR(ParseScriptError(u"End If"), u"Invalid token: 'End'.", 3);
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1\nLoop"), u"Invalid token: 'Loop'.", 10);
    EXPECT_VB_ERROR(ParseScriptError(u"Next"), u"Invalid token: 'Next'.", 4);
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1 y = 2"), u"Invalid token: 'identifier'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"x ="), u"Invalid token: 'end of line'.", 4);
    EXPECT_VB_ERROR(ParseScriptError(u"x = )"), u"Invalid token: ')'.", 5);
    EXPECT_VB_ERROR(ParseScriptError(u"x = (1"), u"Invalid token: 'end of line'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"x = \"abc\" \"d\""), u"Invalid token: 'string constant'.", 13);
    EXPECT_VB_ERROR(ParseScriptError(u"1 = x"), u"Invalid token: 'number'.", 1);
    EXPECT_VB_ERROR(ParseScriptError(u"x.1 = 2"), u"Invalid token: 'number'.", 3);
    EXPECT_VB_ERROR(ParseScriptError(u"x = a.\n"), u"Invalid token: 'end of line'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"x = f(1,,2)"), u"Invalid token: ','.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"x = #2000/1/1# #2000/1/1#"), u"Invalid token: 'date constant'.", 25);
    EXPECT_VB_ERROR(ParseScriptError(u"x = TypeOf"), u"Invalid token: 'end of line'.", 11);
    EXPECT_VB_ERROR(ParseScriptError(u"x = TypeOf a"), u"Invalid token: 'end of line'.", 13);
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1 * TypeOf a Is B"), u"Invalid token: 'TypeOf'.", 14);
    EXPECT_VB_ERROR(ParseScriptError(u"x = New 5"), u"Invalid token: 'number'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Set = 1"), u"Invalid token: '='.", 5);
    EXPECT_VB_ERROR(ParseScriptError(u"Set x"), u"Invalid token: 'end of line'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"Call 1"), u"Invalid token: 'number'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"Erase"), u"Invalid token: 'end of line'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"x = Is"), u"Invalid token: 'Is'.", 6);
}

TEST(VbParserErrors, TheLastLineEndsWithAnEndOfLineAtTheTextEnd) {
    // The end-of-text line end sits at source length + 1.
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then"), u"Invalid token: 'end of file'.", 10);
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1 +"), u"Invalid token: 'end of line'.", 8);
}

TEST(VbParserErrors, ParenthesesInProcedureCalls) {
    EXPECT_VB_ERROR(ParseStmtError(u"Foo(1, 2)"), u"Invalid use of parentheses in procedure call.", 10);
    EXPECT_VB_ERROR(ParseScriptError(u"Foo(1, 2)\r\n"), u"Invalid use of parentheses in procedure call.", 11);
    EXPECT_VB_ERROR(ParseScriptError(u"obj.M(1, 2) : x = 1"), u"Invalid use of parentheses in procedure call.", 13);
    // With arguments after the list as well, the list is not an argument.
    EXPECT_VB_ERROR(ParseScriptError(u"Foo(1, 2) 3"), u"Invalid use of parentheses in procedure call.", 11);
    EXPECT_VB_ERROR(ParseScriptError(u"Foo(1, 2), 3"), u"Invalid use of parentheses in procedure call.", 10);
    // A parenthesised argument followed by an operator: the call ends before the operator.
    EXPECT_VB_ERROR(ParseScriptError(u"Foo (1) + 2"), u"Invalid token: '+'.", 9);
    // Call takes any list.
    EXPECT_EQ(DumpScript(u"Call Foo(1, 2)"), "Call Foo(1,2)");
}

TEST(VbParserErrors, TypeIdentifierExpected) {
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a() As Foo"), u"Type identifier expected", 14);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim a(1) As Long"), u"Type identifier expected", 18);
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a() As 1"), u"Invalid token: 'number'.", 12);
    // As is only accepted after the dimension list.
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a As Integer"), u"Invalid token: 'As'.", 8);
    // An initialiser only without one.
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a(1) = 2"), u"Invalid token: '='.", 10);
}

TEST(VbParserErrors, DimAndRedimShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"Dim"), u"Invalid token: 'end of line'.", 4);
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a,"), u"Invalid token: 'end of line'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"Dim a.b"), u"Invalid token: '.'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim a"), u"Invalid token: 'end of line'.", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim a()"), u"Invalid token: ')'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim 1"), u"Invalid token: 'number'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim Preserve"), u"Invalid token: 'end of line'.", 15);
    EXPECT_VB_ERROR(ParseScriptError(u"Redim a.b(1)"), u"Invalid token: '.'.", 8);
}

TEST(VbParserErrors, ForShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"For i = 1 To 2\nNext i"), u"Invalid token: 'identifier'.", 21);
    EXPECT_VB_ERROR(ParseScriptError(u"For a.b = 1 To 2\nNext"), u"Invalid token: '.'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"For i(1) = 1 To 2\nNext"), u"Invalid token: '('.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"For i = 1\nNext"), u"Invalid token: 'end of line'.", 10);
    EXPECT_VB_ERROR(ParseScriptError(u"For i = 1 To 2 x = 1\nNext"), u"Invalid token: 'identifier'.", 16);
    EXPECT_VB_ERROR(ParseScriptError(u"For i = 1 To 2\n"), u"Invalid token: 'end of file'.", 16);
}

TEST(VbParserErrors, DoShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"Do While x : Loop Until y"), u"Invalid token: 'Until'.", 23);
    EXPECT_VB_ERROR(ParseScriptError(u"Do x = 1 : Loop"), u"Invalid token: 'identifier'.", 4);
    EXPECT_VB_ERROR(ParseScriptError(u"Do While\nLoop"), u"Invalid token: 'end of line'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Do\nx = 1\n"), u"Invalid token: 'end of file'.", 10);
}

TEST(VbParserErrors, IfShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then b = 1 Else c = 2"), u"Invalid token: 'Else'.", 20);
    EXPECT_VB_ERROR(ParseScriptError(u"If a b = 1"), u"Invalid token: 'identifier'.", 6);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nx = 1\nEnd"), u"Invalid token: 'end of line'.", 20);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nx = 1\nEnd Sub"), u"Invalid token: 'Sub'.", 23);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nElse x = 1\nEnd If"), u"Invalid token: 'identifier'.", 16);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nLoop\nEnd If"), u"Invalid token: 'Loop'.", 14);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then x = 1 End If"), u"Invalid token: 'End'.", 19);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nElse\nElseIf b Then\nEnd If"), u"Invalid token: 'ElseIf'.", 21);
    // A block If cannot open inside a single-line If: the line end is no separator there.
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then If b Then\nx = 1\nEnd If"), u"Invalid token: 'end of line'.", 20);
}

TEST(VbParserErrors, SelectShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"Select x"), u"Invalid token: 'identifier'.", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x Case 1\nEnd Select"), u"Invalid token: 'Case'.", 18);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x\ny = 1\nEnd Select"), u"Invalid token: 'identifier'.", 15);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x\nCase Else\nCase 1\nEnd Select"), u"Invalid token: 'Case'.", 28);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x\nCase 1 To 3\nEnd Select"), u"Invalid token: 'To'.", 23);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x\nCase Is > 1\nEnd Select"), u"Invalid token: 'Is'.", 21);
    EXPECT_VB_ERROR(ParseScriptError(u"Select Case x\nCase 1\nEnd If"), u"Invalid token: 'If'.", 27);
}

TEST(VbParserErrors, TryShapes) {
    EXPECT_VB_ERROR(ParseScriptError(u"Try : x = 1 : End Try"), u"Invalid token: 'End'.", 17);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch\nCatch e As Foo\nEnd Try"), u"Invalid token: 'Catch'.", 15);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch e\nEnd Try"), u"Invalid token: 'identifier'.", 11);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch e As\nEnd Try"), u"Invalid token: 'end of line'.", 15);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nFinally\nCatch\nEnd Try"), u"Invalid token: 'Catch'.", 17);
    EXPECT_VB_ERROR(ParseScriptError(u"Try x = 1\nFinally\nEnd Try"), u"Invalid token: 'identifier'.", 5);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nFinally\nEnd"), u"Invalid token: 'end of line'.", 16);
}

TEST(VbParserErrors, ReRaiseOnlyInsideAHandler) {
    const char16_t* msg = u"Re-raising an exception only allowed in exception handler";
    EXPECT_VB_ERROR(ParseScriptError(u"Throw"), msg, 5);
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1\n  Throw : y = 1"), msg, 13);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nThrow\nCatch\nEnd Try"), msg, 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch\nFinally\nThrow\nEnd Try"), msg, 23);
    // The try state is restored after the statement, and a nested Try has its own.
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch\nEnd Try\nThrow"), msg, 23);
    EXPECT_VB_ERROR(ParseScriptError(u"Try\nCatch\nTry\nThrow\nFinally\nEnd Try\nEnd Try"), msg, 19);
    EXPECT_EQ(DumpScript(u"Try\nCatch\nTry\nFinally\nEnd Try\nThrow\nEnd Try"),
              "(Try [] Catch [(Try []); Throw])");
    // A throw with a value is fine anywhere.
    EXPECT_EQ(DumpScript(u"Throw 1"), "Throw 1");
}

TEST(VbParserErrors, SingleStatementAndExpressionEntryPoints) {
    EXPECT_VB_ERROR(ParseStmtError(u"x = 1 : y = 2"), u"Invalid token: ':'.", 7);
    EXPECT_VB_ERROR(ParseStmtError(u""), u"Invalid token: 'end of line'.", 1);
    EXPECT_VB_ERROR(ParseStmtError(u"x = 1\ny = 2"), u"Invalid token: 'identifier'.", 7);
    EXPECT_VB_ERROR(ParseStmtError(u"Sub S\nEnd Sub"), u"Invalid token: 'Sub'.", 3);
    EXPECT_VB_ERROR(ParseExprError(u"1 +"), u"Invalid token: 'end of line'.", 4);
    EXPECT_VB_ERROR(ParseExprError(u"1 2"), u"Invalid token: 'number'.", 3);
    EXPECT_VB_ERROR(ParseExprError(u""), u"Invalid token: 'end of line'.", 1);
    EXPECT_VB_ERROR(ParseExprError(u"x = 1 : y"), u"Invalid token: ':'.", 7);
    EXPECT_EQ(DumpParsedExpr(u"1 + 2"), "(+ 1 2)");
    EXPECT_EQ(DumpParsedExpr(u"x = 1"), "(= x 1)");  // a comparison here
}

TEST(VbParserErrors, LexicalErrorsComeThroughTheParser) {
    EXPECT_VB_ERROR(ParseScriptError(u"x = 1 ; y"), u"Illegal character: ';' ($3B)", 7);
    EXPECT_VB_ERROR(ParseExprError(u"\"abc"), u"Unterminated string", 4);
    EXPECT_VB_ERROR(ParseStmtError(u"x = #2016/02/30#"), u"Syntax error in date constant", 16);
}

TEST(VbParserErrors, DeepNestingIsACompileErrorNotACrash) {
    const char16_t* msg = u"Statements or expressions are nested too deeply";
    const auto nested = [](const char16_t* open, int depth, const char16_t* inner, const char16_t* close) {
        std::u16string s;
        for (int i = 0; i < depth; ++i) s += open;
        s += inner;
        for (int i = 0; i < depth; ++i) s += close;
        return UString(std::u16string_view(s));
    };
    EXPECT_EQ(ParseExprError(nested(u"(", 10000, u"1", u")")).message, UString(msg));
    EXPECT_EQ(ParseExprError(nested(u"-", 10000, u"1", u"")).message, UString(msg));
    EXPECT_EQ(ParseExprError(nested(u"Not ", 10000, u"1", u"")).message, UString(msg));
    EXPECT_EQ(ParseExprError(nested(u"TypeOf ", 10000, u"x", u" Is C")).message, UString(msg));
    EXPECT_EQ(ParseExprError(nested(u"f(", 10000, u"1", u")")).message, UString(msg));
    EXPECT_EQ(ParseScriptError(nested(u"If a Then\n", 10000, u"x = 1\n", u"End If\n")).message, UString(msg));
    EXPECT_EQ(ParseScriptError(nested(u"If a Then ", 10000, u"x = 1", u"")).message, UString(msg));
    EXPECT_EQ(ParseScriptError(nested(u"Do\n", 10000, u"", u"Loop\n")).message, UString(msg));
    // The position is where the limit was reached: the '(' one past it.
    EXPECT_EQ(ParseExprError(nested(u"(", 10000, u"1", u")")).pos, XANMaxNestingDepth + 1);
    // Nesting below the limit parses.
    EXPECT_EQ(DumpParsedExpr(nested(u"(", XANMaxNestingDepth - 2, u"7", u")")), "7");
    EXPECT_EQ(DumpScript(nested(u"If a Then\n", 60, u"", u"End If\n")).substr(0, 8), "(If a [(");
}

TEST(VbParserErrors, ParserIsReusableAfterAnError) {
    RecordingCallbacks cbs;
    TXANVbParser parser(&cbs);
    const CompileErrorInfo e = VbErrorOf([&] { parser.Parse(u"Sub S\nIf a Then x = 1: Try\nThrow"); });
    EXPECT_EQ(e.message.Substr(0, 14), u"Invalid token:");
    // No state of the failed parse (procedure, single-line If, try state) leaks into the next.
    EXPECT_VB_ERROR(VbErrorOf([&] { parser.Parse(u"Exit Sub"); }), u"Invalid \"exit\" instruction", 8);
    EXPECT_VB_ERROR(VbErrorOf([&] { parser.Parse(u"Throw"); }), u"Re-raising an exception only allowed in exception handler", 5);
    EXPECT_EQ(VbErrorOf([&] { parser.Parse(u"If a Then\nx = 1\nEnd If"); }).message, u"<no error>");
    std::unique_ptr<IXANEmitable> expr = parser.ParseExpr(u"1");
    EXPECT_NE(expr, nullptr);
}

TEST(VbParserRobustness, RandomTokenSoupGivesATreeOrACompileErrorNeverACrash) {
    static const char16_t* const words[] = {
        u"x", u"Foo", u"1", u"1.5", u"\"s\"", u"#2000/1/1#", u"(", u")", u",", u".", u"=", u"<>", u"+",
        u"-", u"*", u"&", u"^", u"\\", u"Mod", u"Not", u"And", u"Or", u"Is", u"TypeOf", u"New", u"True",
        u"Nothing", u"Dim", u"Set", u"Redim", u"Preserve", u"As", u"Integer", u"For", u"To", u"Step",
        u"Next", u"If", u"Then", u"Else", u"ElseIf", u"End", u"Do", u"Loop", u"While", u"Until",
        u"Function", u"Sub", u"ByVal", u"ByRef", u"Call", u"Erase", u"Select", u"Case", u"Exit", u"Try",
        u"Catch", u"Finally", u"Throw", u"Return", u":", u"\n", u"\n", u"' c\n", u"_\n"};
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(words) - 1);
    std::uniform_int_distribution<int> length(1, 40);
    int parsed = 0;
    for (int i = 0; i < 3000; ++i) {
        std::u16string text;
        for (int n = length(random); n > 0; --n) (text += words[pick(random)]) += u' ';
        const UString source{std::u16string_view(text)};
        const CompileErrorInfo e = ParseScriptError(source);
        ASSERT_NE(e.pos, -1) << source.ToUtf8() << " -> " << e.message.ToUtf8();
        if (e.message == u"<no error>") ++parsed;
        EXPECT_NE(ParseExprError(source).pos, -1) << source.ToUtf8();
        EXPECT_NE(ParseStmtError(source).pos, -1) << source.ToUtf8();
    }
    EXPECT_GT(parsed, 0);  // the soup is not all errors, so the success paths ran too
}

}  // namespace
}  // namespace xan::vb::test
