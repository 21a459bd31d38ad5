// Statements: the trees ParseStmt builds and the positions they record.
#include <gtest/gtest.h>

#include "PasParserTestSupport.h"

namespace xan::pas {

using enum TXANForCounterKind;
using enum TXANTryStmtType;
namespace {

using plat::UString;
using test::RecordingCallbacks;

template <class T>
std::unique_ptr<T> ParseStmtAs(const UString& source) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    std::unique_ptr<IXANEmitable> tree = parser.ParseStmt(source);
    auto* typed = dynamic_cast<T*>(tree.get());
    EXPECT_NE(typed, nullptr) << source.ToUtf8();
    if (!typed) return nullptr;
    tree.release();
    return std::unique_ptr<T>(typed);
}

TEST(PasParserStmt, AssignmentRecordsTheAssignmentToken) {
    auto s = ParseStmtAs<TXANAssignmentStmt>(u"x := 1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FSourcePos, 4);
    EXPECT_EQ(s->FLeftExpr->FItems[0]->FStrName, u"x");
    EXPECT_NE(dynamic_cast<TXANLiteral*>(s->FRightExpr.get()), nullptr);
}

TEST(PasParserStmt, CallStatementWithArguments) {
    auto s = ParseStmtAs<TXANExpressionStmt>(u"Obj.Method(1, 'a')");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FSourcePos, 18);
    auto* d = dynamic_cast<TXANDesignatorExpr*>(s->FExpr.get());
    ASSERT_EQ(d->FItems.size(), 2u);
    EXPECT_EQ(d->FItems[1]->FBracketType, bkRound);
    EXPECT_EQ(d->FItems[1]->FArgs.size(), 2u);
    EXPECT_EQ(d->FItems[1]->FSourcePos, 18);
}

TEST(PasParserStmt, CompoundRecordsItsEnd) {
    auto s = ParseStmtAs<TXANCompound>(u"begin a; b end");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FSourcePos, 14);
    EXPECT_EQ(s->FStmtList.FItems.size(), 2u);
    auto empty = ParseStmtAs<TXANCompound>(u"begin end");
    EXPECT_TRUE(empty->FStmtList.FItems.empty());
}

TEST(PasParserStmt, IfWithAndWithoutElse) {
    auto s = ParseStmtAs<TXANIfStmt>(u"if a then b else c");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FSourcePos, 2);
    EXPECT_NE(s->FElseStmt, nullptr);
    auto t = ParseStmtAs<TXANIfStmt>(u"if a then b");
    EXPECT_EQ(t->FElseStmt, nullptr);
    auto empty = ParseStmtAs<TXANIfStmt>(u"if a then else c");
    EXPECT_NE(dynamic_cast<TXANPasEmptyStmt*>(empty->FThenStmt.get()), nullptr);
}

TEST(PasParserStmt, ElseBindsToTheInnermostIf) {
    auto s = ParseStmtAs<TXANIfStmt>(u"if a then if b then x else y");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FElseStmt, nullptr);
    auto* inner = dynamic_cast<TXANIfStmt*>(s->FThenStmt.get());
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(inner->FElseStmt, nullptr);
}

TEST(PasParserStmt, CaseWithRangesListsAndElse) {
    auto s = ParseStmtAs<TXANCaseStmt>(u"case i of 1: a; 2, 3: b; 4..6: c; else d end");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FSourcePos, 4);
    ASSERT_EQ(s->FSelectors.size(), 3u);
    EXPECT_EQ(s->FSelectors[0]->FLabels.size(), 1u);
    EXPECT_EQ(s->FSelectors[1]->FLabels.size(), 2u);
    EXPECT_EQ(s->FSelectors[1]->FLabels[1]->FSourcePos, 20);
    const auto& range = s->FSelectors[2]->FLabels[0];
    EXPECT_NE(range->FSecondExpr, nullptr);
    EXPECT_EQ(range->FSourcePos, 29);
    EXPECT_EQ(s->FElseStmts.FItems.size(), 1u);
}

TEST(PasParserStmt, CaseWithoutElse) {
    auto s = ParseStmtAs<TXANCaseStmt>(u"case i of 1: a; end");
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->FElseStmts.FItems.empty());
}

TEST(PasParserStmt, Loops) {
    auto r = ParseStmtAs<TXANRepeatStmt>(u"repeat a; b until c");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->FSourcePos, 6);
    EXPECT_EQ(r->FStmtList.FItems.size(), 2u);
    EXPECT_NE(r->FRepeatExpr, nullptr);

    auto w = ParseStmtAs<TXANWhileStmt>(u"while a do b");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->FSourcePos, 5);

    auto f = ParseStmtAs<TXANForStmt>(u"for i := 10 downto 1 do x");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->FSourcePos, 3);
    EXPECT_EQ(f->FCounterKind, ckDownto);
    ASSERT_EQ(f->FVarExpr->FItems.size(), 1u);
    EXPECT_EQ(f->FVarExpr->FItems[0]->FStrName, u"i");
    EXPECT_EQ(f->FVarExpr->FItems[0]->FSourcePos, 5);
    EXPECT_EQ(ParseStmtAs<TXANForStmt>(u"for i := 1 to 2 do x")->FCounterKind, ckTo);
}

TEST(PasParserStmt, TryExceptWithHandlers) {
    auto t = ParseStmtAs<TXANTryStmt>(u"try x := 1; except on E: Exception do raise; else y := 2; end");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->FSourcePos, 3);
    EXPECT_EQ(t->FTryStmtType, ttExcept);
    ASSERT_NE(t->FExceptionBlock, nullptr);
    ASSERT_EQ(t->FExceptionBlock->FBlocks.size(), 1u);
    const auto& h = t->FExceptionBlock->FBlocks[0];
    EXPECT_EQ(h->FStrName, u"E");
    EXPECT_EQ(h->FName, test::IdOf(u"E"));
    EXPECT_EQ(h->FSourcePos, 21);
    auto* type = dynamic_cast<TXANDesignatorExpr*>(h->FExpr.get());
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->FItems[0]->FStrName, u"Exception");
    auto* reraise = dynamic_cast<TXANRaiseStmt*>(h->FStmt.get());
    ASSERT_NE(reraise, nullptr);
    EXPECT_EQ(reraise->FExpr, nullptr);
    EXPECT_TRUE(t->FExceptionBlock->FHasElse);
    EXPECT_EQ(t->FExceptionBlock->FElseSourcePos, 49);
    EXPECT_EQ(t->FExceptionBlock->FElseStmtList.FItems.size(), 1u);
}

TEST(PasParserStmt, HandlerWithoutVariable) {
    auto t = ParseStmtAs<TXANTryStmt>(u"try a; except on EFoo do b; on Sys.EBar do c; end");
    ASSERT_TRUE(t);
    ASSERT_EQ(t->FExceptionBlock->FBlocks.size(), 2u);
    EXPECT_EQ(t->FExceptionBlock->FBlocks[0]->FName, -1);
    EXPECT_TRUE(t->FExceptionBlock->FBlocks[0]->FStrName.empty());
    auto* type = dynamic_cast<TXANDesignatorExpr*>(t->FExceptionBlock->FBlocks[1]->FExpr.get());
    EXPECT_EQ(type->FItems.size(), 2u);
    EXPECT_FALSE(t->FExceptionBlock->FHasElse);
}

TEST(PasParserStmt, PlainExceptPartAndFinally) {
    auto plain = ParseStmtAs<TXANTryStmt>(u"try a; except b; c end");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->FExceptionBlock, nullptr);
    EXPECT_EQ(plain->FExceptStmtList.FItems.size(), 2u);

    auto empty = ParseStmtAs<TXANTryStmt>(u"try a; except end");
    EXPECT_TRUE(empty->FExceptStmtList.FItems.empty());

    auto fin = ParseStmtAs<TXANTryStmt>(u"try a; finally b end");
    ASSERT_TRUE(fin);
    EXPECT_EQ(fin->FTryStmtType, ttFinally);
    EXPECT_EQ(fin->FFinallyStmtList.FItems.size(), 1u);
    EXPECT_EQ(fin->FTryStmtList.FItems.size(), 1u);
}

TEST(PasParserStmt, ReraiseInsideHandlersOnly) {
    EXPECT_NE(ParseStmtAs<TXANTryStmt>(u"try a; except raise end"), nullptr);
    // Inside an if or a compound of a handler it is still a re-raise of that handler.
    EXPECT_NE(ParseStmtAs<TXANTryStmt>(u"try a; except if x then begin raise end end"), nullptr);
    // A try nested in the except part gets its own state back at its end.
    EXPECT_NE(ParseStmtAs<TXANTryStmt>(u"try a; except try b; finally c end; raise end"), nullptr);
}

TEST(PasParserStmt, RaiseWithExpression) {
    auto r = ParseStmtAs<TXANRaiseStmt>(u"raise Exception.Create('x')");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->FSourcePos, 5);
    EXPECT_NE(r->FExpr, nullptr);
}

TEST(PasParserStmt, EmptyStatementOnItsOwn) {
    // An empty statement is only allowed before else, end, until or ';'.
    EXPECT_EQ(test::StmtError(u""), (test::CompileError{u"Invalid token: 'end of file'.", 1}));
}

}  // namespace
}  // namespace xan::pas
