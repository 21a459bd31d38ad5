#include <gtest/gtest.h>

#include "VbParseSupport.h"

namespace xan::vb::test {
namespace {

TEST(VbParserProgram, EmptyBlankAndCommentOnlyScriptsParse) {
    EXPECT_EQ(DumpScript(u""), "");
    EXPECT_EQ(DumpScript(u"\r\n\r\n  \n"), "");
    EXPECT_EQ(DumpScript(u"' one\r\n' two\r\n"), "");
    EXPECT_EQ(DumpScript(u"::\n:"), "");
}

TEST(VbParserProgram, LastLineWithoutLineBreak) {
    EXPECT_EQ(DumpScript(u"x = 1\r\ny = 2"), "x := 1 | y := 2");
    EXPECT_EQ(DumpScript(u"x = 1 ' done"), "x := 1");
}

TEST(VbParserProgram, ColonsSeparateStatements) {
    EXPECT_EQ(DumpScript(u"x = 1 : y = 2"), "x := 1 | y := 2");
    EXPECT_EQ(DumpScript(u"x = 1 :: : y = 2 :"), "x := 1 | y := 2");
}

TEST(VbParserProgram, StatementsAndProceduresInterleaveInSourceOrder) {
    EXPECT_EQ(DumpScript(u"a = 1\nSub S\nb = 2\nEnd Sub\nc = 3\nFunction F(x)\nF = x\nEnd Function\n"),
              "a := 1 | Sub S() [b := 2] | c := 3 | Function F(x) [F := x]");
}

TEST(VbParserProgram, GlobalDimReportsTheVariableBeforeItsStatement) {
    // Variables arrive at their Dim; statements once their run of statements has been parsed.
    EXPECT_EQ(DumpScript(u"Dim a, b(3)\nIf x Then\nDim c\nEnd If"),
              "var a | var b | var c | (Dim a b(3)) | (If x [(Dim c)])");
    EXPECT_EQ(DumpScript(u"Dim a\nSub S\nEnd Sub\nDim b"), "var a | (Dim a) | Sub S() [] | var b | (Dim b)");
}

TEST(VbParserStatements, AssignmentAndSetMakeTheSameNode) {
    EXPECT_EQ(DumpParsedStmt(u"x = 1"), "x := 1");
    EXPECT_EQ(DumpParsedStmt(u"Set x = obj"), "x := obj");
    EXPECT_EQ(DumpParsedStmt(u"a(1)(2) = 3"), "a(1)(2) := 3");
    EXPECT_EQ(DumpParsedStmt(u"obj.p = a = b"), "obj.p := (= a b)");  // the second '=' compares
    EXPECT_EQ(DumpParsedStmt(u"Set a.b(1).c = New D"), "a.b(1).c := New D!()");
    EXPECT_EQ(DumpParsedStmt(u"Foo(1, 2) = 3"), "Foo(1,2) := 3");
}

TEST(VbParserStatements, CallsWithAndWithoutParentheses) {
    EXPECT_EQ(DumpParsedStmt(u"Foo"), "Foo");
    EXPECT_EQ(DumpParsedStmt(u"Foo()"), "Foo()");
    EXPECT_EQ(DumpParsedStmt(u"Foo(1)"), "Foo(1)");
    EXPECT_EQ(DumpParsedStmt(u"obj.Method"), "obj.Method");
    EXPECT_EQ(DumpParsedStmt(u"Foo 1, 2"), "Foo{1,2}");
    EXPECT_EQ(DumpParsedStmt(u"Foo (1), 2"), "Foo(1,2)");
    EXPECT_EQ(DumpParsedStmt(u"Foo -1"), "Foo{(neg 1)}");
    EXPECT_EQ(DumpParsedStmt(u"obj.Show \"Hi\" & x"), "obj.Show{(& \"Hi\" x)}");
    EXPECT_EQ(DumpParsedStmt(u"a(1).b 2"), "a(1).b{2}");
    EXPECT_EQ(DumpParsedStmt(u"Call Foo"), "Call Foo");
    EXPECT_EQ(DumpParsedStmt(u"Call Foo(1, 2)"), "Call Foo(1,2)");
    EXPECT_EQ(DumpParsedStmt(u"Erase arr"), "Erase arr");
}

TEST(VbParserStatements, Dim) {
    EXPECT_EQ(DumpParsedStmt(u"Dim x"), "(Dim x)");
    EXPECT_EQ(DumpParsedStmt(u"Dim x, y, z"), "(Dim x y z)");
    EXPECT_EQ(DumpParsedStmt(u"Dim a(2, 3) As Integer"), "(Dim a(2,3):3)");
    EXPECT_EQ(DumpParsedStmt(u"Dim a()"), "(Dim a())");
    EXPECT_EQ(DumpParsedStmt(u"Dim x = 5, s = \"a\" & b"), "(Dim x=5 s=(& \"a\" b))");
    EXPECT_EQ(DumpParsedStmt(u"Dim a(n + 1) As string"), "(Dim a((+ n 1)):8)");
}

TEST(VbParserStatements, DimArrayFlagAndElementTypes) {
    struct Case {
        const char16_t* type;
        std::uint16_t code;
    };
    for (const Case& c : {Case{u"SmallInt", 2}, Case{u"Integer", 3}, Case{u"Single", 4}, Case{u"Double", 5},
                          Case{u"Currency", 6}, Case{u"String", 8}, Case{u"Object", 9}, Case{u"Error", 10},
                          Case{u"Boolean", 11}, Case{u"Variant", 12}, Case{u"ShortInt", 16},
                          Case{u"Byte", 17}, Case{u"Word", 18}, Case{u"LongWord", 19}, Case{u"Int64", 20},
                          Case{u"uint64", 21}}) {
        RecordingCallbacks cbs;
        std::unique_ptr<IXANEmitable> tree =
            TXANVbParser(&cbs).ParseStmt(UString(u"Dim a(1) As ") + UString(c.type));
        auto* dim = dynamic_cast<TXANVbDimStmt*>(tree.get());
        ASSERT_NE(dim, nullptr);
        EXPECT_TRUE(dim->FVarDecls[0]->FIsArray);
        EXPECT_EQ(dim->FVarDecls[0]->FElemType, c.code) << UString(c.type).ToUtf8();
    }
    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseStmt(u"Dim v, w = 1");
    auto* dim = dynamic_cast<TXANVbDimStmt*>(tree.get());
    ASSERT_NE(dim, nullptr);
    EXPECT_FALSE(dim->FVarDecls[0]->FIsArray);
    EXPECT_EQ(dim->FVarDecls[0]->FElemType, plat::varVariant);
    EXPECT_EQ(dim->FVarDecls[0]->FVar, cbs.Objs[0].get());
    EXPECT_TRUE(dim->FVarDecls[0]->FVar->Is<TXANVarObject>());
    EXPECT_NE(dim->FVarDecls[1]->FIniter, nullptr);
}

TEST(VbParserStatements, Redim) {
    EXPECT_EQ(DumpParsedStmt(u"Redim a(10)"), "(Redim a(10))");
    EXPECT_EQ(DumpParsedStmt(u"ReDim Preserve a(n, 2), b(3) As Byte"), "(Redim Preserve a(n,2) b(3):17)");
    // A Redim declares nothing.
    EXPECT_EQ(DumpScript(u"Redim a(1)"), "(Redim a(1))");
}

TEST(VbParserStatements, For) {
    EXPECT_EQ(DumpParsedStmt(u"For i = 1 To 10\nx = i\nNext"), "(For i 1 10 [x := i])");
    EXPECT_EQ(DumpParsedStmt(u"For i = 10 To 1 Step -1 : Next"), "(For i 10 1 Step (neg 1) [])");
    EXPECT_EQ(DumpParsedStmt(u"For i = 1 To 2\nFor j = 1 To 2\nExit For\nNext\nExit For\nNext"),
              "(For i 1 2 [(For j 1 2 [Exit For]); Exit For])");
}

TEST(VbParserStatements, DoLoops) {
    EXPECT_EQ(DumpParsedStmt(u"Do While x : Loop"), "(Do While x [])");
    EXPECT_EQ(DumpParsedStmt(u"Do Until x\ny = 1\nLoop"), "(Do Until x [y := 1])");
    EXPECT_EQ(DumpParsedStmt(u"Do While x Loop"), "(Do While x [])");  // the separator is optional
    EXPECT_EQ(DumpParsedStmt(u"Do : Loop Until x"), "(Do [] Until x)");
    EXPECT_EQ(DumpParsedStmt(u"Do\ny = 1\nLoop While y < 3"), "(Do [y := 1] While (< y 3))");
    EXPECT_EQ(DumpParsedStmt(u"Do : Exit Do : Loop"), "(Do [Exit Do])");

    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseStmt(u"Do : Loop");
    auto* loop = dynamic_cast<TXANVbDoLoopStmt*>(tree.get());
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->FCondCheck, TXANVbConditionCheck::ccNoCondition);
    EXPECT_EQ(loop->FExpr, nullptr);
    tree = TXANVbParser(&cbs).ParseStmt(u"Do Until x : Loop");
    loop = dynamic_cast<TXANVbDoLoopStmt*>(tree.get());
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->FCondCheck, TXANVbConditionCheck::ccBeforeStmts);
    EXPECT_EQ(loop->FLoopType, TXANVbLoopType::ltUntil);
}

TEST(VbParserStatements, BlockIf) {
    EXPECT_EQ(DumpParsedStmt(u"If a Then\nx = 1\nEnd If"), "(If a [x := 1])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then\nx = 1\nElseIf b Then\nx = 2\nElseIf c Then\nElse\nx = 4\nEnd If"),
              "(If a [x := 1] ElseIf b [x := 2] ElseIf c [] Else [x := 4])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then\nEnd If"), "(If a [])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then : x = 1 : End If"), "(If a [x := 1])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then\nIf b Then\ny = 1\nEnd If\nEnd If"), "(If a [(If b [y := 1])])");
}

TEST(VbParserStatements, SingleLineIf) {
    EXPECT_EQ(DumpParsedStmt(u"If a Then b = 1"), "(If a [b := 1])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then b = 1 : c = 2"), "(If a [b := 1; c := 2])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then b = 1: Else c = 2"), "(If a [b := 1] Else [c := 2])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then b = 1: Else c = 2: d = 3"), "(If a [b := 1] Else [c := 2; d := 3])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then If b Then c = 1"), "(If a [(If b [c := 1])])");
    EXPECT_EQ(DumpParsedStmt(u"If a Then Foo 1, 2"), "(If a [Foo{1,2}])");
    // The line end closes the If: the next line is a statement of its own.
    EXPECT_EQ(DumpScript(u"If a Then b = 1\nc = 2"), "(If a [b := 1]) | c := 2");
    EXPECT_EQ(DumpScript(u"For i = 1 To 2\nIf i Then x = i\nNext"), "(For i 1 2 [(If i [x := i])])");
    EXPECT_EQ(DumpScript(u"If a Then For i = 1 To 2: x = i: Next\ny = 1"),
              "(If a [(For i 1 2 [x := i])]) | y := 1");
}

TEST(VbParserStatements, SelectCase) {
    EXPECT_EQ(DumpParsedStmt(u"Select Case x\nCase 1\ny = 1\nCase 2, 3\ny = 2\nCase Else\ny = 0\nEnd Select"),
              "(Select x Case 1 [y := 1] Case 2,3 [y := 2] Else [y := 0])");
    EXPECT_EQ(DumpParsedStmt(u"Select Case x\nEnd Select"), "(Select x)");
    EXPECT_EQ(DumpParsedStmt(u"Select Case x : Case 1 : Case Else : End Select"), "(Select x Case 1 [])");
    EXPECT_EQ(DumpParsedStmt(u"Select Case x\nCase 1 y = 1\nCase Else y = 2\nEnd Select"),
              "(Select x Case 1 [y := 1] Else [y := 2])");
}

TEST(VbParserStatements, TryCatchFinally) {
    EXPECT_EQ(DumpParsedStmt(u"Try\nx = 1\nCatch e As Foo\ny = 1\nCatch\nThrow\nEnd Try"),
              "(Try [x := 1] Catch e As Foo [y := 1] Catch [Throw])");
    EXPECT_EQ(DumpParsedStmt(u"Try\nx = 1\nFinally\ny = 1\nEnd Try"), "(Try [x := 1] Finally [y := 1])");
    EXPECT_EQ(DumpParsedStmt(u"Try : x = 1 : Catch : Finally : y = 2 : End Try"),
              "(Try [x := 1] Catch [] Finally [y := 2])");
    EXPECT_EQ(DumpParsedStmt(u"Try\nCatch e As a.B\nCatch f As C\nFinally\nEnd Try"),
              "(Try [] Catch e As a.B [] Catch f As C [])");

    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseStmt(u"Try : Catch Err As X : Catch : End Try");
    auto* t = dynamic_cast<TXANVbTryStmt*>(tree.get());
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->FCatches.size(), 2u);
    EXPECT_EQ(t->FCatches[0]->FStrName, u"Err");
    EXPECT_EQ(t->FCatches[0]->FName, GlobalNameTable().GetNameIndex(u"err", false));
    EXPECT_EQ(t->FCatches[1]->FName, -1);
    EXPECT_EQ(t->FCatches[1]->FExpr, nullptr);
    EXPECT_TRUE(t->FFinallyStmts.Empty());
}

TEST(VbParserStatements, ThrowAndReturn) {
    EXPECT_EQ(DumpParsedStmt(u"Throw x"), "Throw x");
    EXPECT_EQ(DumpParsedStmt(u"Throw New Exception(\"m\")"), "Throw New Exception!(\"m\")");
    EXPECT_EQ(DumpParsedStmt(u"Try : Catch : If a Then\nThrow\nEnd If\nEnd Try"), "(Try [] Catch [(If a [Throw])])");
    EXPECT_EQ(DumpParsedStmt(u"Return"), "Return");
    EXPECT_EQ(DumpScript(u"Function F\nReturn 1 + 2\nEnd Function"), "Function F() [Return (+ 1 2)]");
    EXPECT_EQ(DumpScript(u"Sub S\nReturn\nEnd Sub"), "Sub S() [Return]");
}

TEST(VbParserStatements, LineContinuationInsideStatements) {
    EXPECT_EQ(DumpScript(u"x = 1 + _\r\n  2\r\nFoo a, _\n b"), "x := (+ 1 2) | Foo{a,b}");
}

TEST(VbParserStatements, WordsOfUnsupportedStatementsAreIdentifiers) {
    EXPECT_EQ(DumpParsedStmt(u"Const x"), "Const{x}");
    EXPECT_EQ(DumpParsedStmt(u"Rem x"), "Rem{x}");
    EXPECT_EQ(DumpParsedStmt(u"Wend"), "Wend");
}

}  // namespace
}  // namespace xan::vb::test
