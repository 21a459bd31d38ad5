// Every error message of the parser with its position (the end of the offending token).
#include <gtest/gtest.h>

#include "PasParserTestSupport.h"

namespace xan::pas {
namespace {

using plat::UString;
using test::CompileError;
using test::ExprError;
using test::ScriptError;
using test::StmtError;

CompileError Invalid(const char16_t* token, int pos) {
    return {UString(u"Invalid token: '") + std::u16string_view(token) + std::u16string_view(u"'."), pos};
}

CompileError Exists(const char16_t* name, int pos) {
    return {UString(u"Object or value named '") + std::u16string_view(name) + std::u16string_view(u"' already exists."),
            pos};
}

TEST(PasParserError, ScriptStructure) {
    EXPECT_EQ(ScriptError(u"x := 1;"), Invalid(u"identifier", 1));
    EXPECT_EQ(ScriptError(u"program P;"), Invalid(u"identifier", 7));
    EXPECT_EQ(ScriptError(u"begin x := 1 end."), Invalid(u".", 17));
    EXPECT_EQ(ScriptError(u"begin x := 1 end"), Invalid(u"end of file", 17));
    EXPECT_EQ(ScriptError(u"begin end; var x;"), Invalid(u"var", 14));
    EXPECT_EQ(ScriptError(u"var x; uses U;"), Invalid(u"uses", 11));
    EXPECT_EQ(ScriptError(u"uses A B;"), Invalid(u"identifier", 8));
    EXPECT_EQ(ScriptError(u"uses ;"), Invalid(u";", 6));
}

TEST(PasParserError, Declarations) {
    EXPECT_EQ(ScriptError(u"var x: Integer;"), Invalid(u":", 6));
    EXPECT_EQ(ScriptError(u"var ;"), Invalid(u";", 5));
    EXPECT_EQ(ScriptError(u"var x"), Invalid(u"end of file", 6));
    EXPECT_EQ(ScriptError(u"const C;"), Invalid(u";", 8));
    EXPECT_EQ(ScriptError(u"const C = ;"), Invalid(u";", 11));
    EXPECT_EQ(ScriptError(u"procedure P(a, b); begin end;"), Invalid(u",", 14));
    EXPECT_EQ(ScriptError(u"procedure P(a): Integer; begin end;"), Invalid(u":", 15));
    EXPECT_EQ(ScriptError(u"function F: Integer; begin end;"), Invalid(u":", 11));
    EXPECT_EQ(ScriptError(u"procedure P(var); begin end;"), Invalid(u")", 16));
    EXPECT_EQ(ScriptError(u"procedure P; begin end"), Invalid(u"end of file", 23));
    EXPECT_EQ(ScriptError(u"procedure P; x; begin end;"), Invalid(u"identifier", 14));
    EXPECT_EQ(ScriptError(u"procedure P begin end;"), Invalid(u"begin", 17));
    EXPECT_EQ(ScriptError(u"procedure; begin end;"), Invalid(u";", 10));
}

TEST(PasParserError, DuplicateNames) {
    EXPECT_EQ(ScriptError(u"var x; var x;"), Exists(u"x", 12));
    EXPECT_EQ(ScriptError(u"var x; const X = 1;"), Exists(u"X", 18));  // at the initialiser's end
    EXPECT_EQ(ScriptError(u"var x; var X = 1 + 2;"), Exists(u"X", 20));
    EXPECT_EQ(ScriptError(u"var P; procedure P; begin end;"), Exists(u"P", 30));  // the ';' after 'end'
    EXPECT_EQ(ScriptError(u"uses A, a;"), Exists(u"a", 9));
    EXPECT_EQ(ScriptError(u"procedure P(a; A); begin end;"), Exists(u"A", 16));
    EXPECT_EQ(ScriptError(u"function F(Result); begin end;"), Exists(u"Result", 17));
    EXPECT_EQ(ScriptError(u"procedure P(a); var a; begin end;"), Exists(u"a", 21));
    EXPECT_EQ(ScriptError(u"procedure P; var a = 1; const a = 2; begin end;"), Exists(u"a", 35));
    EXPECT_EQ(ScriptError(u"function F; var result; begin end;"), Exists(u"result", 22));
}

TEST(PasParserError, Statements) {
    EXPECT_EQ(StmtError(u"x := 1;"), Invalid(u";", 7));
    EXPECT_EQ(StmtError(u"try x := 1 except y end"), Invalid(u"except", 17));
    EXPECT_EQ(StmtError(u"try x := 1; end"), Invalid(u"end", 15));
    EXPECT_EQ(StmtError(u"try except end"), Invalid(u"except", 10));
    EXPECT_EQ(StmtError(u"case i of 1: a end"), Invalid(u"end", 18));
    EXPECT_EQ(StmtError(u"case i of else a end"), Invalid(u"else", 14));
    EXPECT_EQ(StmtError(u"case i of 1 a; end"), Invalid(u"identifier", 13));
    EXPECT_EQ(StmtError(u"if x y"), Invalid(u"identifier", 6));
    EXPECT_EQ(StmtError(u"while x y"), Invalid(u"identifier", 9));
    EXPECT_EQ(StmtError(u"for i = 1 to 2 do x"), Invalid(u"=", 7));
    EXPECT_EQ(StmtError(u"for i := 1 until 2 do x"), Invalid(u"until", 16));
    EXPECT_EQ(StmtError(u"for a.b := 1 to 2 do x"), Invalid(u".", 6));
    EXPECT_EQ(StmtError(u"repeat x"), Invalid(u"end of file", 9));
    EXPECT_EQ(StmtError(u"begin x"), Invalid(u"end of file", 8));
    EXPECT_EQ(StmtError(u"1 := x"), Invalid(u"number", 1));
    EXPECT_EQ(StmtError(u"try x; except on E: do y; end"), Invalid(u"do", 22));
    EXPECT_EQ(StmtError(u"try x; except on E do y end"), Invalid(u"end", 27));
    EXPECT_EQ(StmtError(u"x := 1 2"), Invalid(u"number", 8));
    EXPECT_EQ(StmtError(u"else"), Invalid(u"else", 4));  // an empty statement may not stand alone
}

TEST(PasParserError, Expressions) {
    EXPECT_EQ(ExprError(u"a + "), Invalid(u"end of file", 5));
    EXPECT_EQ(ExprError(u""), Invalid(u"end of file", 1));
    EXPECT_EQ(ExprError(u"(a"), Invalid(u"end of file", 3));
    EXPECT_EQ(ExprError(u"a)"), Invalid(u")", 2));
    EXPECT_EQ(ExprError(u"f(a,)"), Invalid(u")", 5));
    EXPECT_EQ(ExprError(u"a[]"), Invalid(u"]", 3));
    EXPECT_EQ(ExprError(u"a."), Invalid(u"end of file", 3));
    EXPECT_EQ(ExprError(u"a.begin"), Invalid(u"begin", 7));
    EXPECT_EQ(ExprError(u"[1, ]"), Invalid(u"]", 5));
    EXPECT_EQ(ExprError(u"array 3"), Invalid(u"number", 7));
    EXPECT_EQ(ExprError(u"array[]"), Invalid(u"]", 7));
    EXPECT_EQ(ExprError(u"@1"), Invalid(u"number", 2));
    EXPECT_EQ(ExprError(u"* 2"), Invalid(u"*", 1));
    EXPECT_EQ(ExprError(u"a := 1"), Invalid(u":=", 4));
}

TEST(PasParserError, TypeIdentifierExpected) {
    EXPECT_EQ(ExprError(u"array[2] of Foo"), (CompileError{u"Type identifier expected", 15}));
    EXPECT_EQ(ExprError(u"array[2] of Real"), (CompileError{u"Type identifier expected", 16}));
    EXPECT_EQ(ExprError(u"array[2] of 3"), Invalid(u"number", 13));
}

TEST(PasParserError, ReraiseOutsideHandler) {
    const CompileError outside{u"Re-raising an exception only allowed in exception handler", 0};
    auto at = [&](int pos) { return CompileError{outside.message, pos}; };
    EXPECT_EQ(StmtError(u"raise"), at(5));
    EXPECT_EQ(StmtError(u"try x := 1; finally raise; end"), at(25));
    EXPECT_EQ(StmtError(u"try raise; except end"), at(9));
    EXPECT_EQ(StmtError(u"try x; except try raise; finally end; end"), at(23));
    EXPECT_EQ(ScriptError(u"begin raise; end;"), at(11));
    EXPECT_EQ(ScriptError(u"procedure P; begin raise end;"), at(24));
}

TEST(PasParserError, LexicalErrorsPassThrough) {
    EXPECT_EQ(ScriptError(u"begin x := 'abc\n"), (CompileError{u"Unterminated string", 15}));
    EXPECT_EQ(StmtError(u"x := \"a\""), (CompileError{u"Illegal character: '\"' ($22)", 6}));
}

TEST(PasParserError, DeepNestingIsAnErrorNotACrash) {
    std::u16string parens = std::u16string(10000, u'(') + u"1" + std::u16string(10000, u')');
    CompileError e = ExprError(UString(parens));
    EXPECT_EQ(e.message, u"Statements or expressions are nested too deeply");
    EXPECT_GT(e.pos, 0);
    EXPECT_LE(e.pos, 10000);

    std::u16string unary = std::u16string(10000, u'-') + u"1";
    EXPECT_EQ(ExprError(UString(unary)).message, e.message);

    std::u16string ifs;
    for (int i = 0; i < 10000; ++i) ifs += u"if a then ";
    ifs += u"x";
    EXPECT_EQ(StmtError(UString(ifs)).message, e.message);

    std::u16string blocks;
    for (int i = 0; i < 10000; ++i) blocks += u"begin ";
    EXPECT_EQ(StmtError(UString(blocks)).message, e.message);

    // A long left-deep chain of operators is as deep as its operator count.
    std::u16string chain = u"1";
    for (int i = 0; i < 100000; ++i) chain += u"+1";
    EXPECT_EQ(ExprError(UString(chain)).message, e.message);

    std::u16string args;
    for (int i = 0; i < 10000; ++i) args += u"f(";
    EXPECT_EQ(ExprError(UString(args)).message, e.message);
}

TEST(PasParserError, ReasonableNestingIsAccepted) {
    std::u16string parens = std::u16string(200, u'(') + u"1" + std::u16string(200, u')');
    EXPECT_EQ(ExprError(UString(parens)).message, u"<no error>");
    std::u16string chain = u"1";
    for (int i = 0; i < 400; ++i) chain += u"+1";
    EXPECT_EQ(ExprError(UString(chain)).message, u"<no error>");
}

}  // namespace
}  // namespace xan::pas
