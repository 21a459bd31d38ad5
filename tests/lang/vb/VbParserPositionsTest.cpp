#include <gtest/gtest.h>

#include "VbParseSupport.h"

namespace xan::vb::test {
namespace {

// Parses one statement and returns it as T (null when it is not one).
template <class T>
std::unique_ptr<T> Stmt(const UString& ASource, RecordingCallbacks& ACbs) {
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&ACbs).ParseStmt(ASource);
    T* typed = dynamic_cast<T*>(tree.get());
    if (!typed) return nullptr;
    tree.release();
    return std::unique_ptr<T>(typed);
}

TEST(VbParserPositions, AssignmentAtTheEqualsSignCallAtItsFirstIdentifier) {
    RecordingCallbacks cbs;
    auto assign = Stmt<TXANVbAssignmentStmt>(u"  abc  = 1", cbs);
    ASSERT_NE(assign, nullptr);
    EXPECT_EQ(assign->FSourcePos, 8);
    EXPECT_EQ(assign->FLeftExpr->FSourcePos, 3);
    auto set = Stmt<TXANVbAssignmentStmt>(u"Set o = Nothing", cbs);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->FSourcePos, 7);
    auto call = Stmt<TXANVbExpressionStmt>(u"   Foo 1", cbs);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->FSourcePos, 4);
}

TEST(VbParserPositions, KeywordStatementsAtTheStartOfTheKeyword) {
    RecordingCallbacks cbs;
    EXPECT_EQ(Stmt<TXANVbCallStmt>(u" Call f", cbs)->FSourcePos, 2);
    EXPECT_EQ(Stmt<TXANVbEraseStmt>(u"  Erase a", cbs)->FSourcePos, 3);
    EXPECT_EQ(Stmt<TXANVbDimStmt>(u" Dim a", cbs)->FSourcePos, 2);
    EXPECT_EQ(Stmt<TXANVbRedimStmt>(u" Redim a(1)", cbs)->FSourcePos, 2);
    EXPECT_EQ(Stmt<TXANVbDoLoopStmt>(u" Do : Loop", cbs)->FSourcePos, 2);
    EXPECT_EQ(Stmt<TXANVbTryStmt>(u" Try : Catch : End Try", cbs)->FSourcePos, 2);
    EXPECT_EQ(Stmt<TXANVbReturnStmt>(u" Return", cbs)->FSourcePos, 2);
    auto loop = Stmt<TXANVbDoLoopStmt>(u"Do : Exit Do : Loop", cbs);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->FStmts.FItems[0]->FSourcePos, 6);
}

TEST(VbParserPositions, ThrowAtTheEndOfItsKeyword) {
    RecordingCallbacks cbs;
    EXPECT_EQ(Stmt<TXANVbThrowStmt>(u" Throw x", cbs)->FSourcePos, 6);
}

TEST(VbParserPositions, DeclarationsAtTheirIdentifiers) {
    RecordingCallbacks cbs;
    auto dim = Stmt<TXANVbDimStmt>(u"Dim a, bb(1)", cbs);
    ASSERT_NE(dim, nullptr);
    EXPECT_EQ(dim->FVarDecls[0]->FSourcePos, 5);
    EXPECT_EQ(dim->FVarDecls[1]->FSourcePos, 8);
    auto redim = Stmt<TXANVbRedimStmt>(u"Redim Preserve  xy(1)", cbs);
    ASSERT_NE(redim, nullptr);
    EXPECT_EQ(redim->FVarDecls[0]->FSourcePos, 17);
    EXPECT_EQ(redim->FVarDecls[0]->FVarExpr->FSourcePos, 17);
    EXPECT_EQ(redim->FVarDecls[0]->FVarExpr->FItems[0]->FSourcePos, 18);  // end of the name
}

TEST(VbParserPositions, ForAndItsLoopVariableAtTheFor) {
    RecordingCallbacks cbs;
    auto loop = Stmt<TXANVbForStmt>(u"  For idx = 1 To 2 : Next", cbs);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->FSourcePos, 3);
    EXPECT_EQ(loop->FVarExpr->FSourcePos, 3);
    ASSERT_EQ(loop->FVarExpr->FItems.size(), 1u);
    EXPECT_EQ(loop->FVarExpr->FItems[0]->FStrName, u"idx");
    EXPECT_EQ(loop->FVarExpr->FItems[0]->FSourcePos, 9);
}

TEST(VbParserPositions, IfMovesToTheLastElseIf) {
    RecordingCallbacks cbs;
    //                                          1234567890 1234567890123456 7890123456789012 345678
    auto stmt = Stmt<TXANVbIfStmt>(u"If a Then\nElseIf b Then\n ElseIf c Then\nElse\nEnd If", cbs);
    ASSERT_NE(stmt, nullptr);
    ASSERT_EQ(stmt->FBlocks.size(), 3u);
    EXPECT_EQ(stmt->FBlocks[0]->FSourcePos, 1);
    EXPECT_EQ(stmt->FBlocks[1]->FSourcePos, 11);
    EXPECT_EQ(stmt->FBlocks[2]->FSourcePos, 26);
    EXPECT_EQ(stmt->FSourcePos, 26);
    EXPECT_EQ(Stmt<TXANVbIfStmt>(u" If a Then b", cbs)->FSourcePos, 2);
}

TEST(VbParserPositions, SelectMovesToTheLastCase) {
    RecordingCallbacks cbs;
    //                                                 1234567890123 4567890 1234567890 12345678901
    auto stmt = Stmt<TXANVbSelectStmt>(u"Select Case x\nCase 1\n Case Else\nEnd Select", cbs);
    ASSERT_NE(stmt, nullptr);
    ASSERT_EQ(stmt->FSelectors.size(), 1u);
    EXPECT_EQ(stmt->FSelectors[0]->FSourcePos, 15);
    EXPECT_EQ(stmt->FSourcePos, 23);
    EXPECT_EQ(Stmt<TXANVbSelectStmt>(u" Select Case x\nEnd Select", cbs)->FSourcePos, 2);
}

}  // namespace
}  // namespace xan::vb::test
