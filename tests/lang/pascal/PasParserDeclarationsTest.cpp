// Script structure and declarations: what the parser reports to its callbacks, in which order.
#include <gtest/gtest.h>

#include "PasParserTestSupport.h"

namespace xan::pas {

using enum TXANProcKind;
using enum TXANProcLocalType;
namespace {

using plat::UString;
using test::IdOf;
using test::RecordingCallbacks;

struct Parsed {
    RecordingCallbacks cbs;
    void Run(const UString& source) {
        TXANPasParser parser(&cbs);
        parser.Parse(source);
    }
};

TEST(PasParserDecl, EmptyScriptsProduceNothing) {
    for (const char16_t* source : {u"", u"  \r\n ", u"{ only a comment } // and another", u"(* x *)"}) {
        Parsed p;
        p.Run(source);
        EXPECT_TRUE(p.cbs.events.empty()) << UString(source).ToUtf8();
    }
}

TEST(PasParserDecl, ProcedureWithMemberCall) {
    Parsed p;
    p.Run(u"procedure Main; begin ScriptB.Calc; end;");
    ASSERT_EQ(p.cbs.objects.size(), 1u);
    auto* proc = p.cbs.Object<TXANProcedureDecl>(0);
    ASSERT_NE(proc, nullptr);
    EXPECT_EQ(proc->FStrName, u"Main");
    EXPECT_EQ(proc->FName, IdOf(u"MAIN"));
    EXPECT_EQ(proc->FProcKind, pkProcedure);
    EXPECT_EQ(proc->FResMask, XANResMaskNone);
    EXPECT_EQ(proc->GetGlobalObjType(), gtProcedure);
    EXPECT_EQ(proc->FSourcePos, 14);      // end of the name
    EXPECT_EQ(proc->FEndSourcePos, 39);   // end of 'end'
    EXPECT_EQ(proc->FLocalResult, nullptr);
    ASSERT_EQ(proc->FStmtList.FItems.size(), 1u);
    auto* call = dynamic_cast<TXANExpressionStmt*>(proc->FStmtList.FItems[0].get());
    ASSERT_NE(call, nullptr);
    auto* designator = dynamic_cast<TXANDesignatorExpr*>(call->FExpr.get());
    ASSERT_NE(designator, nullptr);
    ASSERT_EQ(designator->FItems.size(), 2u);
    EXPECT_EQ(designator->FItems[0]->FStrName, u"ScriptB");
    EXPECT_EQ(designator->FItems[1]->FStrName, u"Calc");
    EXPECT_EQ(designator->FItems[1]->FBracketType, bkNon);
    EXPECT_EQ(call->FSourcePos, 34);  // the designator's last token
}

TEST(PasParserDecl, RecursiveFunctionWithResult) {
    Parsed p;
    p.Run(u"function F(ALevel); begin if ALevel < 5 then Result := F(ALevel + 1) * 2 else Result := 1; end;");
    auto* f = p.cbs.Object<TXANProcedureDecl>(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FProcKind, pkFunction);
    EXPECT_EQ(f->FResMask, XANResMaskValue);
    ASSERT_NE(f->FLocalResult, nullptr);
    EXPECT_EQ(f->FLocalResult->FName, IdOf(u"Result"));
    EXPECT_EQ(f->FLocalMap.Find(IdOf(u"result")), f->FLocalResult);
    ASSERT_EQ(f->FParams.size(), 1u);
    EXPECT_EQ(f->ParamCount(), 1);
    EXPECT_EQ(f->FParams[0]->FStrName, u"ALevel");
    auto* ifs = dynamic_cast<TXANIfStmt*>(f->FStmtList.FItems.at(0).get());
    ASSERT_NE(ifs, nullptr);
    EXPECT_NE(dynamic_cast<TXANAssignmentStmt*>(ifs->FThenStmt.get()), nullptr);
    EXPECT_NE(dynamic_cast<TXANAssignmentStmt*>(ifs->FElseStmt.get()), nullptr);
}

TEST(PasParserDecl, ParameterKindsAndPositions) {
    Parsed p;
    p.Run(u"procedure P(a; var b; const c; out d); begin end;");
    auto* proc = p.cbs.Object<TXANProcedureDecl>(0);
    ASSERT_EQ(proc->FParams.size(), 4u);
    EXPECT_EQ(proc->ParamCount(), 4);
    TXANParamKind kinds[] = {pkSimple, pkByRef, pkConst, pkByRef};
    const char16_t* names[] = {u"a", u"b", u"c", u"d"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(proc->FParams[i]->FParamInfo.Kind, kinds[i]) << i;
        EXPECT_EQ(proc->FParams[i]->FParamInfo.Index, i);
        EXPECT_EQ(proc->FParams[i]->FStrName, names[i]);
        EXPECT_EQ(proc->FParams[i]->FLocalType, ltParam);
    }
}

TEST(PasParserDecl, EmptyParameterListAndNoParentheses) {
    Parsed p;
    p.Run(u"procedure A(); begin end; function B; begin end;");
    EXPECT_EQ(p.cbs.Object<TXANProcedureDecl>(0)->ParamCount(), 0);
    EXPECT_EQ(p.cbs.Object<TXANProcedureDecl>(1)->ParamCount(), 0);
}

TEST(PasParserDecl, LocalsInDeclarationOrder) {
    Parsed p;
    p.Run(u"function F; var i = 1, j; const K = 2; var m; begin end;");
    auto* f = p.cbs.Object<TXANProcedureDecl>(0);
    ASSERT_EQ(f->FLocalVars.size(), 3u);
    EXPECT_EQ(f->FLocalVars[0]->FStrName, u"i");
    EXPECT_NE(f->FLocalVars[0]->FExpr, nullptr);
    EXPECT_EQ(f->FLocalVars[1]->FStrName, u"j");
    EXPECT_EQ(f->FLocalVars[1]->FExpr, nullptr);
    EXPECT_EQ(f->FLocalVars[2]->FStrName, u"m");
    ASSERT_EQ(f->FLocalConsts.size(), 1u);
    EXPECT_EQ(f->FLocalConsts[0]->FStrName, u"K");
    EXPECT_NE(f->FLocalConsts[0]->FExpr, nullptr);
    EXPECT_EQ(f->FLocalMap.Count(), 5);  // with Result
    EXPECT_TRUE(f->FStmtList.FItems.empty());
}

TEST(PasParserDecl, LocalMayShareAGlobalName) {
    Parsed p;
    p.Run(u"var x; procedure P; var x; begin end;");
    EXPECT_EQ(p.cbs.objects.size(), 2u);
}

TEST(PasParserDecl, GlobalVariablesWithInitialisers) {
    Parsed p;
    p.Run(u"var x, y = 2, z;");
    ASSERT_EQ(p.cbs.objects.size(), 3u);
    EXPECT_EQ(p.cbs.events, (std::vector<std::u16string>{u"obj:x", u"stmt", u"obj:y", u"obj:z"}));
    auto* y = p.cbs.Object<TXANVarObject>(1);
    auto* initer = p.cbs.Stmt<TXANGlobalVarIniter>(0);
    ASSERT_NE(initer, nullptr);
    EXPECT_EQ(initer->FVar, y);
    auto* literal = dynamic_cast<TXANLiteral*>(initer->FIniter.get());
    ASSERT_NE(literal, nullptr);
    EXPECT_EQ(literal->FValue.VInteger, 2);
}

TEST(PasParserDecl, SeveralVarListsInOneSection) {
    Parsed p;
    p.Run(u"var a; b = 1; c, d;");
    EXPECT_EQ(p.cbs.objects.size(), 4u);
}

TEST(PasParserDecl, GlobalConstants) {
    Parsed p;
    p.Run(u"const A = 1; B = 'x';");
    EXPECT_EQ(p.cbs.events, (std::vector<std::u16string>{u"stmt", u"obj:A", u"stmt", u"obj:B"}));
    auto* b = p.cbs.Object<TXANConstObject>(1);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(p.cbs.Stmt<TXANGlobalConstIniter>(1)->FConst, b);
}

TEST(PasParserDecl, InitialiserBeforeMainBlockStatements) {
    Parsed p;
    p.Run(u"var v = 1; procedure P; begin end; begin P; end;");
    EXPECT_EQ(p.cbs.events, (std::vector<std::u16string>{u"stmt", u"obj:v", u"obj:P", u"stmt"}));
    EXPECT_NE(p.cbs.Stmt<TXANGlobalVarIniter>(0), nullptr);
    EXPECT_NE(p.cbs.Stmt<TXANExpressionStmt>(1), nullptr);
}

TEST(PasParserDecl, MainBlockStatementsInSourceOrderWithoutEmptyOnes) {
    Parsed p;
    p.Run(u"begin a; ; b := 1;; c end;");
    ASSERT_EQ(p.cbs.stmts.size(), 3u);
    EXPECT_NE(p.cbs.Stmt<TXANExpressionStmt>(0), nullptr);
    EXPECT_NE(p.cbs.Stmt<TXANAssignmentStmt>(1), nullptr);
    EXPECT_NE(p.cbs.Stmt<TXANExpressionStmt>(2), nullptr);
}

TEST(PasParserDecl, UsesClauseComesFirst) {
    Parsed p;
    p.Run(u"uses Classes, SysUtils; var x;");
    EXPECT_EQ(p.cbs.events, (std::vector<std::u16string>{u"uses:Classes", u"uses:SysUtils", u"obj:x"}));
}

TEST(PasParserDecl, NameIdsComeFromTheCallbacks) {
    Parsed p;
    p.Run(u"function F(a); begin end;");
    EXPECT_EQ(p.cbs.nameRequests, 3);  // F, Result, a
}

TEST(PasParserDecl, KeywordsInAnyCase) {
    Parsed p;
    p.Run(u"VAR x; PROCEDURE P; BEGIN IF x THEN x := 1 ELSE x := 2 END; Begin P End;");
    EXPECT_EQ(p.cbs.objects.size(), 2u);
    EXPECT_EQ(p.cbs.stmts.size(), 1u);
}

TEST(PasParserDecl, ParserCanBeReused) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    EXPECT_EQ(test::ErrorOf([&] { parser.Parse(u"begin try x; except ; end"); }).message,
              u"Invalid token: 'end of file'.");
    parser.Parse(u"begin raise Foo; end;");  // the try state of the failed parse is gone
    EXPECT_EQ(cbs.stmts.size(), 1u);
}

}  // namespace
}  // namespace xan::pas
