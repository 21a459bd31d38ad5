#pragma once
// Statement nodes of the Pascal dialect's syntax trees. A node owns its children and records
// the source position named by the grammar (the keyword, the ':=', a compound's 'end').
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/NameHashTable.h"
#include "lang/pascal/PasExpressions.h"
#include "vm/compiler/Namespaces.h"

namespace xan::pas {

enum class TXANForCounterKind : std::uint8_t { ckTo, ckDownto };
enum class TXANTryStmtType : std::uint8_t { ttFinally, ttExcept };

class TXANStatement : public IXANEmitable {
public:
    explicit TXANStatement(Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}
    // The statement in a fresh context over ANamespace.
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;
    // At the statement's position, its first instruction breakable.
    void EmitByteCode(TXANContext& C);

    Integer FSourcePos;

protected:
    virtual void DoEmitByteCode(TXANContext& C) = 0;
};

using TXANStatementPtr = std::unique_ptr<TXANStatement>;

class TXANStmtList {
public:
    void EmitByteCode(TXANContext& C);

    std::vector<TXANStatementPtr> FItems;
};

class TXANPasEmptyStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANCompound : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANStmtList FStmtList;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANAssignmentStmt : public TXANStatement {
public:
    TXANAssignmentStmt(Integer ASourcePos, std::unique_ptr<TXANDesignatorExpr> ALeft, TXANExpressionPtr ARight) noexcept
        : TXANStatement(ASourcePos), FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)) {}

    std::unique_ptr<TXANDesignatorExpr> FLeftExpr;
    TXANExpressionPtr FRightExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

// A call statement: a designator whose value is not used.
class TXANExpressionStmt : public TXANStatement {
public:
    TXANExpressionStmt(Integer ASourcePos, TXANExpressionPtr AExpr) noexcept
        : TXANStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    TXANExpressionPtr FExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANIfStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANExpressionPtr FIfExpr;
    TXANStatementPtr FThenStmt;
    TXANStatementPtr FElseStmt;  // none without 'else'

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANCaseLabel {
public:
    TXANCaseLabel(Integer ASourcePos, TXANExpressionPtr AFirst, TXANExpressionPtr ASecond) noexcept
        : FFirstExpr(std::move(AFirst)), FSecondExpr(std::move(ASecond)), FSourcePos(ASourcePos) {}

    TXANExpressionPtr FFirstExpr;
    TXANExpressionPtr FSecondExpr;  // present for a range
    Integer FSourcePos;
};

class TXANCaseSelector {
public:
    std::vector<std::unique_ptr<TXANCaseLabel>> FLabels;
    TXANStatementPtr FStmt;
};

class TXANCaseStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANExpressionPtr FCaseExpr;
    std::vector<std::unique_ptr<TXANCaseSelector>> FSelectors;
    TXANStmtList FElseStmts;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANRepeatStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANStmtList FStmtList;
    TXANExpressionPtr FRepeatExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANWhileStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANStatementPtr FStmt;
    TXANExpressionPtr FWhileExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANForStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    std::unique_ptr<TXANDesignatorExpr> FVarExpr;  // one named item, no arguments
    TXANForCounterKind FCounterKind = TXANForCounterKind::ckTo;
    TXANExpressionPtr FFromExpr;
    TXANExpressionPtr FToExpr;
    TXANStatementPtr FStmt;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANRaiseStmt : public TXANStatement {
public:
    TXANRaiseStmt(Integer ASourcePos, TXANExpressionPtr AExpr) noexcept
        : TXANStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    TXANExpressionPtr FExpr;  // none for a re-raise

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

// One 'on [Name :] Type do Statement' handler. Its name id is -1 when it has no variable.
class TXANExceptionSubBlock : public TXANNamedItem {
    XAN_CLASS(TXANExceptionSubBlock, TXANNamedItem)
    TXANExceptionSubBlock(Integer AName, plat::UString AStrName, Integer ASourcePos) noexcept
        : TXANNamedItem(AName), FStrName(std::move(AStrName)), FSourcePos(ASourcePos) {}

    plat::UString FStrName;  // empty when there is no variable
    TXANExpressionPtr FExpr;
    TXANStatementPtr FStmt;
    Integer FSourcePos;
};

class TXANExceptionBlock {
public:
    std::vector<std::unique_ptr<TXANExceptionSubBlock>> FBlocks;
    TXANStmtList FElseStmtList;
    bool FHasElse = false;
    Integer FElseSourcePos = 0;
};

class TXANTryStmt : public TXANStatement {
public:
    using TXANStatement::TXANStatement;

    TXANStmtList FTryStmtList;
    TXANStmtList FExceptStmtList;
    TXANStmtList FFinallyStmtList;
    std::unique_ptr<TXANExceptionBlock> FExceptionBlock;  // present with 'on' or 'else' handlers
    TXANTryStmtType FTryStmtType = TXANTryStmtType::ttExcept;

protected:
    void DoEmitByteCode(TXANContext& C) override;

private:
    void EmitExcept(TXANContext& C);
    void EmitHandlers(TXANContext& C, TXANTry* ATry, TXANLabel* AEnd);
    void EmitFinally(TXANContext& C);
};

}  // namespace xan::pas
