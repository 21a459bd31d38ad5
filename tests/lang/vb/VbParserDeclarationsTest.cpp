#include <gtest/gtest.h>

#include "VbParseSupport.h"

namespace xan::vb::test {
namespace {

TXANVbProcDecl* OnlyProc(RecordingCallbacks& ACbs) {
    EXPECT_EQ(ACbs.Objs.size(), 1u);
    return ACbs.Objs.empty() ? nullptr : dynamic_cast<TXANVbProcDecl*>(ACbs.Objs[0].get());
}

TEST(VbParserProcedures, FunctionWithParametersAndLocals) {
    std::unique_ptr<RecordingCallbacks> cbs =
        ParseScript(u"Function Add(a, ByVal b, ByRef c)\n  Dim t, u(3)\n  Add = a + b\nEnd Function\n");
    TXANVbProcDecl* proc = OnlyProc(*cbs);
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc->FProcKind, TXANVbProcKind::pkFunction);
    EXPECT_EQ(proc->FStrName, u"Add");
    EXPECT_EQ(proc->FName, GlobalNameTable().GetNameIndex(u"ADD", false));
    EXPECT_EQ(proc->FResMask, XANResMaskValue);
    EXPECT_EQ(proc->GetGlobalObjType(), gtProcedure);
    EXPECT_EQ(proc->ParamCount(), 3);
    ASSERT_EQ(proc->FParams.size(), 3u);
    EXPECT_EQ(proc->FParams[0]->FStrName, u"a");
    EXPECT_EQ(proc->FParams[0]->FParamInfo.Kind, pkByRef);
    EXPECT_EQ(proc->FParams[1]->FParamInfo.Kind, pkSimple);
    EXPECT_EQ(proc->FParams[2]->FParamInfo.Kind, pkByRef);
    for (std::uint16_t i = 0; i < 3; ++i) EXPECT_EQ(proc->FParams[i]->FParamInfo.Index, i);
    ASSERT_EQ(proc->FLocalVars.size(), 2u);
    EXPECT_EQ(proc->FLocalVars[0]->FStrName, u"t");
    EXPECT_EQ(proc->FLocalVars[1]->FLocalType, TXANVbProcLocalType::ltVar);
    ASSERT_NE(proc->FLocalResult, nullptr);
    EXPECT_EQ(proc->FLocalResult->FName, proc->FName);
    EXPECT_EQ(proc->FLocalResult->FLocalType, TXANVbProcLocalType::ltResult);
    EXPECT_EQ(proc->FLocalMap.Count(), 6);  // result, three parameters, two variables
    EXPECT_EQ(proc->FLocalMap.Find(proc->FParams[1]->FName), proc->FParams[1]);
    EXPECT_EQ(DumpProc(*proc), "Function Add(a, ByVal b, c) [(Dim t u(3)); Add := (+ a b)]");
    // A local Dim declares no global variable.
    EXPECT_EQ(cbs->Items.size(), 1u);
}

TEST(VbParserProcedures, DimInsideAProcedurePointsAtTheLocal) {
    std::unique_ptr<RecordingCallbacks> cbs = ParseScript(u"Sub S\nDim v\nEnd Sub");
    TXANVbProcDecl* proc = OnlyProc(*cbs);
    ASSERT_NE(proc, nullptr);
    auto* dim = dynamic_cast<TXANVbDimStmt*>(proc->FStmtList.FItems[0].get());
    ASSERT_NE(dim, nullptr);
    EXPECT_EQ(dim->FVarDecls[0]->FVar, proc->FLocalVars[0]);
}

TEST(VbParserProcedures, SubHasNoResultAndNoValue) {
    std::unique_ptr<RecordingCallbacks> cbs = ParseScript(u"Sub S()\nEnd Sub");
    TXANVbProcDecl* proc = OnlyProc(*cbs);
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc->FProcKind, TXANVbProcKind::pkSub);
    EXPECT_EQ(proc->FResMask, XANResMaskNone);
    EXPECT_EQ(proc->FLocalResult, nullptr);
    EXPECT_EQ(proc->ParamCount(), 0);
    EXPECT_TRUE(proc->FStmtList.Empty());
}

TEST(VbParserProcedures, ProcedurePositions) {
    //                                                     1234567890123456789012345
    std::unique_ptr<RecordingCallbacks> cbs = ParseScript(u"Sub  Foo\r\nx = 1\r\nEnd   Sub\r\n");
    TXANVbProcDecl* proc = OnlyProc(*cbs);
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc->FSourcePos, 6);       // the name
    EXPECT_EQ(proc->FEndSourcePos, 26);   // the end of the closing Sub
}

TEST(VbParserProcedures, DuplicateLocalsAndParameters) {
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S(a, a)\nEnd Sub"), u"Object or value named 'a' already exists.", 10);
    EXPECT_VB_ERROR(ParseScriptError(u"Function F(F)\nEnd Function"), u"Object or value named 'F' already exists.", 12);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S(ByVal s)\nEnd Sub"), u"Object or value named 's' already exists.", 13);
    EXPECT_VB_ERROR(ParseScriptError(u"Function F\nDim f\nEnd Function"),
                    u"Object or value named 'f' already exists.", 16);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S(a)\nDim A\nEnd Sub"), u"Object or value named 'A' already exists.", 14);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S\nDim x, y, x\nEnd Sub"), u"Object or value named 'x' already exists.", 17);
    // A sub's own name is no local.
    EXPECT_EQ(DumpScript(u"Sub S\nDim S\nEnd Sub"), "Sub S() [(Dim S)]");
    // Locals of different procedures do not meet.
    EXPECT_EQ(DumpScript(u"Sub A(x)\nEnd Sub\nSub B(x)\nDim y\nEnd Sub\nDim y"),
              "Sub A(x) [] | Sub B(x) [(Dim y)] | var y | (Dim y)");
}

TEST(VbParserProcedures, DuplicateGlobals) {
    EXPECT_VB_ERROR(ParseScriptError(u"Dim x, x"), u"Object or value named 'x' already exists.", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Dim x\nIf a Then\nDim X\nEnd If"), u"Object or value named 'X' already exists.", 21);
    // A procedure whose name is taken: at the last separator skipped after End Sub.
    EXPECT_VB_ERROR(ParseScriptError(u"Dim S\nSub S\nEnd Sub\n"), u"Object or value named 'S' already exists.", 21);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S\nEnd Sub\r\n\r\nFunction s\nEnd Function"),
                    u"Object or value named 's' already exists.", 41);
}

TEST(VbParserProcedures, DuplicateKeepsEarlierDeclarationsWithTheReceiver) {
    RecordingCallbacks cbs;
    const CompileErrorInfo e = VbErrorOf([&] { TXANVbParser(&cbs).Parse(u"x = 1\nDim a\nSub a\nEnd Sub"); });
    EXPECT_EQ(e.message, u"Object or value named 'a' already exists.");
    EXPECT_EQ(cbs.Rejected, 1);
    // The variable arrives at its Dim, the statements once their run has been parsed; the sub
    // was rejected and freed.
    EXPECT_EQ(cbs.Items, (std::vector<std::string>{"var a", "x := 1", "(Dim a)"}));
}

TEST(VbParserProcedures, ExitPointsFollowTheEnclosingConstructs) {
    EXPECT_EQ(DumpScript(u"Function F\nFor i = 1 To 2\nExit Function\nNext\nEnd Function"),
              "Function F() [(For i 1 2 [Exit Function])]");
    EXPECT_EQ(DumpScript(u"Sub S\nDo\nIf a Then Exit Do\nExit Sub\nLoop\nEnd Sub"),
              "Sub S() [(Do [(If a [Exit Do]); Exit Sub])]");
    EXPECT_VB_ERROR(ParseScriptError(u"Exit For"), u"Invalid \"exit\" instruction", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S\nExit Function\nEnd Sub"), u"Invalid \"exit\" instruction", 19);
    EXPECT_VB_ERROR(ParseScriptError(u"Exit Sub"), u"Invalid \"exit\" instruction", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Function F\nExit Sub\nEnd Function"), u"Invalid \"exit\" instruction", 19);
    EXPECT_VB_ERROR(ParseScriptError(u"Do\nLoop\nExit Do"), u"Invalid \"exit\" instruction", 15);
    EXPECT_VB_ERROR(ParseScriptError(u"For i = 1 To 2\nNext\nExit For"), u"Invalid \"exit\" instruction", 28);
    // The counters are restored after a procedure, also for the next one.
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S\nEnd Sub\nExit Sub"), u"Invalid \"exit\" instruction", 22);
}

TEST(VbParserProcedures, ReturnTakesAnExpressionOnlyInAFunction) {
    EXPECT_EQ(DumpScript(u"Function F\nIf a Then Return 1\nEnd Function"), "Function F() [(If a [Return 1])]");
    // In a sub and at the global level Return stands alone: what follows fails the separator check.
    EXPECT_VB_ERROR(ParseScriptError(u"Sub S\nReturn 1\nEnd Sub"), u"Invalid token: 'number'.", 14);
    EXPECT_VB_ERROR(ParseScriptError(u"Return 1"), u"Invalid token: 'number'.", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Function F\nReturn\nEnd Function"), u"Invalid token: 'end of line'.", 18);
}

TEST(VbParserProcedures, ProceduresDoNotNest) {
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A\nSub B\nEnd Sub\nEnd Sub"), u"Invalid token: 'Sub'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"If a Then\nSub B\nEnd Sub\nEnd If"), u"Invalid token: 'Sub'.", 13);
}

TEST(VbParserProcedures, EndMustMatchTheKind) {
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A\nEnd Function"), u"Invalid token: 'Function'.", 18);
    EXPECT_VB_ERROR(ParseScriptError(u"Function A\nEnd Sub"), u"Invalid token: 'Sub'.", 18);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A\nx = 1"), u"Invalid token: 'end of file'.", 12);
}

TEST(VbParserProcedures, ParameterListErrors) {
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A(1)\nEnd Sub"), u"Invalid token: 'number'.", 7);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A(ByVal)\nEnd Sub"), u"Invalid token: ')'.", 12);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub P(a b)\nEnd Sub"), u"Invalid token: 'identifier'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub P(a,)\nEnd Sub"), u"Invalid token: ')'.", 9);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub P(a\nEnd Sub"), u"Invalid token: 'end of line'.", 8);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub 1\nEnd Sub"), u"Invalid token: 'number'.", 5);
    EXPECT_VB_ERROR(ParseScriptError(u"Sub A x\nEnd Sub"), u"Invalid token: 'identifier'.", 7);
}

}  // namespace
}  // namespace xan::vb::test
