// The bytecode the Pascal code generator emits for each construct.
#include <gtest/gtest.h>

#include "PasCodeGenTestSupport.h"

namespace xan::pas {
namespace {

using plat::UString;
using test::CompiledProc;
using test::CompiledSnippet;
using test::ExprCode;
using test::StmtCode;
using V = std::vector<std::string>;

TEST(PasCodeGen, ProcedureLocalsAndInitialisers) {
    CompiledProc p(u"procedure P; var i = 1, j; begin end;");
    EXPECT_EQ(p.Names(), (V{"icPushLiteral", "icAssignLocalVar", "icRet"}));
    EXPECT_EQ(p.proc->FLocalVars[0]->FIndex, 0);
    EXPECT_EQ(p.proc->FLocalVars[1]->FIndex, 1);
    EXPECT_EQ(p.Code().Code()[1].Data, 0u);
    const TXANInstr& ret = p.Code().Code()[2];
    EXPECT_TRUE(ret.IsBreakable());
    EXPECT_EQ(ret.SourcePos(), 36u);  // the end of 'end'
    EXPECT_FALSE(p.Code().Code()[0].IsBreakable());
    EXPECT_EQ(p.Code().Description(), u"P");
    EXPECT_EQ(p.Code().LocalVarCount(), 2);
}

TEST(PasCodeGen, LocalVariablesAreAccessedDirectly) {
    CompiledProc p(u"procedure P; var x; begin x := x + 1; end;");
    EXPECT_EQ(p.Names(), (V{"icPushLocalVar", "icPushLiteral", "icPlus", "icAssignLocalVar", "icRet"}));
    EXPECT_TRUE(p.Code().Code()[0].IsBreakable());
}

TEST(PasCodeGen, GlobalsGoThroughCalls) {
    EXPECT_EQ(StmtCode(u"g := g + 1"), (V{"icPush", "icGlobCall", "icPushLiteral", "icPlus", "icAssignGlobCall", "icRet"}));
}

TEST(PasCodeGen, ArgumentsArriveAsReferences) {
    CompiledProc byRef(u"procedure P; var x; begin F(x); end;");
    EXPECT_EQ(byRef.Names(), (V{"icPush", "icPushLocalVarRef", "icGlobCall", "icPop", "icRet"}));
    CompiledProc byValue(u"procedure P; var x; begin F(x + 1); end;");
    EXPECT_EQ(byValue.Names(), (V{"icPush", "icPushLocalVar", "icPushLiteral", "icPlus", "icGlobCall", "icPop", "icRet"}));
    // Only a call none of whose arguments may be a reference skips the by-value copies.
    EXPECT_FALSE(byRef.Code().Code()[2].DataAs<TXANCall>()->FArgsByValue);
    EXPECT_TRUE(byValue.Code().Code()[4].DataAs<TXANCall>()->FArgsByValue);
    CompiledSnippet nested(u"F(G(1), 2)", false);
    ASSERT_EQ(test::CodeNames(nested.code), (V{"icPush", "icPush", "icPushLiteral", "icGlobCallRef", "icPushLiteral",
                                         "icGlobCall", "icPop", "icRet"}));
    EXPECT_TRUE(nested.code.Code()[3].DataAs<TXANCall>()->FArgsByValue);   // G(1)
    EXPECT_FALSE(nested.code.Code()[5].DataAs<TXANCall>()->FArgsByValue);  // G(1) may yield a reference
    CompiledSnippet none(u"F()", false);
    EXPECT_TRUE(none.code.Code()[1].DataAs<TXANCall>()->FArgsByValue);
}

TEST(PasCodeGen, CallStatementIgnoresTheResult) {
    CompiledSnippet s(u"F(1)", false);
    auto* call = s.code.Code()[2].DataAs<TXANCall>();
    EXPECT_EQ(call->FResMask, 0u);
    EXPECT_EQ(call->FArgCount, 1);
    EXPECT_EQ(call->FBracketType, bkRound);
    CompiledSnippet e(u"F(1)", true);
    EXPECT_EQ(e.code.Code()[2].DataAs<TXANCall>()->FResMask, 0xFFFFFFFFu);
}

TEST(PasCodeGen, DesignatorChainAssignment) {
    EXPECT_EQ(StmtCode(u"a.b(x).c := v"),
              (V{"icPush", "icGlobCall", "icPush", "icGlobCallRef", "icMemberCall", "icPush", "icGlobCall",
                 "icAssignMemberCall", "icRet"}));
    CompiledSnippet s(u"a.b(x).c := v", false);
    EXPECT_EQ(s.code.Code()[0].Data, 2u);  // result slots of a and b
    auto* c = s.code.Code()[7].DataAs<TXANCall>();
    EXPECT_EQ(c->FStrName, u"c");
    EXPECT_EQ(c->FArgsOffset, 0);  // no arguments, one value
    EXPECT_EQ(c->FObjectOffset, 1);
}

TEST(PasCodeGen, UnnamedItemsAndIndexing) {
    EXPECT_EQ(ExprCode(u"f(1)(2)"), (V{"icPush", "icPushLiteral", "icGlobCall", "icPushLiteral", "icUnnamedCall", "icRet"}));
    EXPECT_EQ(StmtCode(u"a[1] := 2"), (V{"icPushLiteral", "icPushLiteral", "icAssignGlobCall", "icRet"}));
}

TEST(PasCodeGen, ConditionsCompleteTheirJumps) {
    EXPECT_EQ(StmtCode(u"if (a = b) then x"),
              (V{"icPush", "icGlobCall", "icPush", "icGlobCall", "icEqual", "icPopJmpIfFalse", "icPush", "icGlobCall",
                 "icPop", "icRet"}));
    EXPECT_EQ(StmtCode(u"while a = b do x"),
              (V{"icJump", "icPush", "icGlobCall", "icPop", "icPush", "icGlobCall", "icPush", "icGlobCall",
                 "icPopJmpIfEqual", "icRet"}));
}

TEST(PasCodeGen, NotUnderAJumpCostsNothing) {
    V code = StmtCode(u"if not (a or b) then X");
    EXPECT_EQ(std::count(code.begin(), code.end(), "icUnaryNot"), 0);
    EXPECT_EQ(code, (V{"icPush", "icGlobCall", "icPopJmpIfTrue", "icPush", "icGlobCall", "icPopJmpIfTrue", "icPush",
                       "icGlobCall", "icPop", "icRet"}));
}

TEST(PasCodeGen, ShortCircuitValues) {
    EXPECT_EQ(ExprCode(u"5 and 3"), (V{"icPushLiteral", "icJmpIfFalse", "icPop", "icPushLiteral", "icRet"}));
    EXPECT_EQ(ExprCode(u"5 or 3"), (V{"icPushLiteral", "icJmpIfTrue", "icPop", "icPushLiteral", "icRet"}));
}

TEST(PasCodeGen, OperatorsAndLiterals) {
    EXPECT_EQ(ExprCode(u"0"), (V{"icPush0", "icRet"}));
    EXPECT_EQ(ExprCode(u"-1 * 2 div 3 mod 4 / 5"),
              (V{"icPushLiteral", "icUnaryMinus", "icPushLiteral", "icMultiply", "icPushLiteral", "icIntDiv",
                 "icPushLiteral", "icMod", "icPushLiteral", "icDivide", "icRet"}));
    EXPECT_EQ(ExprCode(u"1 shl 2 shr 3 xor 4"),
              (V{"icPushLiteral", "icPushLiteral", "icShl", "icPushLiteral", "icShr", "icPushLiteral", "icXor", "icRet"}));
    EXPECT_EQ(ExprCode(u"not +1 <> 2"), (V{"icPushLiteral", "icUnaryPlus", "icUnaryNot", "icPushLiteral", "icNotEqual", "icRet"}));
    EXPECT_EQ(ExprCode(u"1 in 2"), (V{"icPushLiteral", "icPushLiteral", "icIn", "icRet"}));
    EXPECT_EQ(ExprCode(u"1 is 2"), (V{"icPushLiteral", "icPushLiteral", "icIs", "icRet"}));
    EXPECT_EQ(ExprCode(u"1 < 2"), (V{"icPushLiteral", "icPushLiteral", "icLess", "icRet"}));
}

TEST(PasCodeGen, SetsArraysAndEventHandlers) {
    EXPECT_EQ(ExprCode(u"[1, 3..5]"),
              (V{"icPush0", "icPushLiteral", "icAddValToSet", "icPushLiteral", "icPushLiteral", "icAddRangeToSet", "icRet"}));
    CompiledSnippet a(u"array[2, 1..3] of Integer", true);
    EXPECT_EQ(a.Names(), (V{"icPush0", "icPushLiteral", "icPushLiteral", "icPushLiteral", "icArrayCreate", "icRet"}));
    auto* array = a.code.Code()[4].DataAs<TXANArray>();
    EXPECT_EQ(array->FDimCount, 2);
    EXPECT_EQ(array->FElemVarType, plat::varInteger);
    CompiledSnippet ev(u"@Handler", true);
    EXPECT_EQ(*ev.code.Code()[0].DataAs<UString>(), u"Handler");
}

TEST(PasCodeGen, CaseTestsThenBodies) {
    EXPECT_EQ(StmtCode(u"case i of 1: a; 2..3: b; else c end"),
              (V{"icPush", "icGlobCall", "icPushLiteral", "icCaseJmpIfEqual", "icPushLiteral", "icPushLiteral",
                 "icCaseJmpIfInRange", "icPop", "icJump", "icPush", "icGlobCall", "icPop", "icJump", "icPush",
                 "icGlobCall", "icPop", "icJump", "icPush", "icGlobCall", "icPop", "icRet"}));
}

TEST(PasCodeGen, LoopsOverLocalsAndGlobals) {
    CompiledProc local(u"procedure P; var i; begin for i := 10 to 1 do ; end;");
    EXPECT_EQ(local.Names(), (V{"icPushLiteral", "icForInitLocal", "icPushLiteral", "icAssignLocalVar", "icJump",
                                "icForInc", "icForJmpIfLE", "icRet"}));
    EXPECT_EQ(StmtCode(u"for g := 3 downto 1 do x"),
              (V{"icPush", "icGlobCallRef", "icPushLiteral", "icForInitLValue", "icPushLiteral", "icAssignLocalVar",
                 "icJump", "icPush", "icGlobCall", "icPop", "icForDec", "icForJmpIfGE", "icRet"}));
    EXPECT_EQ(StmtCode(u"repeat x until y"), (V{"icPush", "icGlobCall", "icPop", "icPush", "icGlobCall", "icPopJmpIfFalse", "icRet"}));
}

TEST(PasCodeGen, BreakAndContinueTargetsTravelWithCalls) {
    CompiledSnippet s(u"while a do begin Break; Continue end", false);
    int calls = 0;
    for (int i = 0; i < s.code.Count(); ++i) {
        const TXANInstr& in = s.code.Code()[i];
        if (in.Code != icGlobCall) continue;
        auto* call = in.DataAs<TXANCall>();
        if (call->FStrName == u"a") continue;
        ++calls;
        EXPECT_NE(call->FBreakLabel, nullptr);
        EXPECT_NE(call->FContinueLabel, nullptr);
        EXPECT_EQ(call->FExitLabel, nullptr);
    }
    EXPECT_EQ(calls, 2);
    CompiledSnippet outside(u"Break", false);
    EXPECT_EQ(outside.code.Code()[1].DataAs<TXANCall>()->FBreakLabel, nullptr);
}

TEST(PasCodeGen, FunctionResultIsDirect) {
    CompiledProc f(u"function F; begin Result := Result + 1; end;");
    EXPECT_EQ(f.Names(), (V{"icPushResult", "icPushLiteral", "icPlus", "icAssignResult", "icRet"}));
    CompiledProc p(u"procedure P; begin Result := 1; end;");
    EXPECT_EQ(p.Names(), (V{"icPushLiteral", "icAssignGlobCall", "icRet"}));
}

TEST(PasCodeGen, ParametersAreDirect) {
    CompiledProc p(u"procedure P(a; var b); begin b := a; G(b); end;");
    EXPECT_EQ(p.Names(), (V{"icPushArg", "icAssignArg", "icPush", "icPushArgRef", "icGlobCall", "icPop", "icRet"}));
    EXPECT_EQ(p.Code().Code()[1].Param().Index, 1);
    EXPECT_EQ(p.Code().Code()[1].Param().Kind, pkByRef);
}

TEST(PasCodeGen, TryExceptWithoutHandlersSwallowsEverything) {
    V code = StmtCode(u"try x; except end");
    EXPECT_EQ(std::count(code.begin(), code.end(), "isReraise"), 0);
    EXPECT_EQ(std::count(code.begin(), code.end(), "icExceptDone"), 2);  // the end of the handler, the exit pad
}

TEST(PasCodeGen, TypedHandlersReraiseWhatTheyDoNotMatch) {
    CompiledSnippet s(u"try x; except on E: EFoo do y; end", false);
    V code = s.Names();
    EXPECT_EQ(std::count(code.begin(), code.end(), "icExceptJmpIfIs"), 1);
    EXPECT_EQ(std::count(code.begin(), code.end(), "isReraise"), 1);
    EXPECT_EQ(std::count(code.begin(), code.end(), "icExceptToVar"), 1);
    EXPECT_EQ(s.code.TryCount(), 1);
    // The handler's scope names the exception; it belongs to the code, not to the tree.
    s.tree.reset();
    int scopesNamingE = 0;
    for (int i = 0; i < s.code.Count(); ++i) {
        const TXANInstr& instr = s.code.Code()[i];
        if (instr.Code != icSetNamespace) continue;
        auto* scope = reinterpret_cast<TXANAbstractNamespace*>(instr.Data);
        scopesNamingE += scope->CompileTimeFind(test::IdOf(u"e")).ObjKind == srLocalVar;
    }
    EXPECT_EQ(scopesNamingE, 1);
}

TEST(PasCodeGen, TryFinally) {
    EXPECT_EQ(StmtCode(u"try x; finally end"), (V{"icPush", "icGlobCall", "icPop", "icRet"}));
    CompiledSnippet s(u"try x; finally y end", false);
    V code = s.Names();
    EXPECT_EQ(s.code.TryCount(), 1);
    EXPECT_EQ(std::count(code.begin(), code.end(), "icCallFinally"), 3);  // normal, exit pad, exception
    EXPECT_EQ(std::count(code.begin(), code.end(), "icFinallyRet"), 1);
    EXPECT_EQ(std::count(code.begin(), code.end(), "icRaiseEBCFromFinally"), 1);
    EXPECT_EQ(s.code.TryAt(0)->KnownFinallyRetCount(), 2);
    CompiledSnippet loop(u"while a do try x; finally y end", false);
    EXPECT_EQ(loop.code.TryAt(0)->KnownFinallyRetCount(), 4);
}

TEST(PasCodeGen, ReraiseUsesTheHandlersState) {
    CompiledSnippet s(u"try x; except raise end", false);
    int reraises = 0;
    for (int i = 0; i < s.code.Count(); ++i) {
        if (s.code.Code()[i].Code != isReraise) continue;
        ++reraises;
        EXPECT_EQ(s.code.Code()[i].Data, std::uintptr_t(s.code.TryAt(0)->FExceptionVar));
    }
    EXPECT_EQ(reraises, 1);
}

TEST(PasCodeGen, ProcedureNamespaceAnswersEveryLocalKind) {
    CompiledProc f(u"function F(a); var v; const K = 7; begin end;");
    TXANAbstractNamespace* ns = f.Code().InitialNamespace();
    EXPECT_EQ(ns->CompileTimeFind(test::IdOf(u"A")).ObjKind, srParam);
    EXPECT_EQ(ns->CompileTimeFind(test::IdOf(u"v")).ObjKind, srLocalVar);
    auto k = ns->CompileTimeFind(test::IdOf(u"k"));
    ASSERT_EQ(k.ObjKind, srLocalConst);
    EXPECT_EQ(k.LocalConst->VInteger, 7);
    EXPECT_EQ(ns->CompileTimeFind(test::IdOf(u"result")).ObjKind, srResult);
    EXPECT_EQ(ns->CompileTimeFind(test::IdOf(u"nothing")).ObjKind, srNotFound);
    std::vector<std::string> names;
    ns->EnumDebugVars(false, TXANNamespaceEnumVarsProc([&](const UString& n, const TXANNameSearchRes&) {
                          names.push_back(n.ToUtf8());
                      }));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "K", "v", "Result"}));
}

TEST(PasCodeGen, GlobalInitialiserIsBreakable) {
    test::RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    parser.Parse(u"var v = 2;");
    test::EmptyGlobalScope scope;
    TGlobalObjectsNamespace global(&scope);
    TXANByteCode code;
    code.BeginEmit(u"Global code", &global, 0);
    cbs.stmts[0]->Emit(&global, &code);
    code.Emit(icRet);
    code.EndEmit();
    EXPECT_EQ(test::CodeNames(code), (V{"icPushLiteral", "icAssignGlobalVar", "icRet"}));
    EXPECT_TRUE(code.Code()[0].IsBreakable());
    EXPECT_EQ(code.Code()[1].DataAs<TXANVarObject>(), cbs.objects[0].get());
}

}  // namespace
}  // namespace xan::pas
