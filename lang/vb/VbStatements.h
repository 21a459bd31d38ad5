#pragma once
// Statement nodes of the VBScript-dialect syntax tree and their auxiliary parts (statement lists,
// If blocks, Case selectors, variable declarations, Catch clauses). A node owns everything in its
// fields unless a comment says otherwise.
#include <cstdint>
#include <memory>
#include <vector>

#include "lang/vb/VbExpressions.h"
#include "lang/vb/VbSyntaxEnums.h"

namespace xan {
class TXANNamedItem;
}  // namespace xan

namespace xan::vb {

class TXANVbStatement : public IXANEmitable {
public:
    explicit TXANVbStatement(plat::Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}

    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;
    // Emits the statement at its position as a breakable line.
    void EmitByteCode(TXANContext& C);

    plat::Integer FSourcePos;

protected:
    virtual void DoEmitByteCode(TXANContext& C) = 0;
};

class TXANVbStmtList {
public:
    void Add(std::unique_ptr<TXANVbStatement> AStmt) { FItems.push_back(std::move(AStmt)); }
    bool Empty() const noexcept { return FItems.empty(); }
    std::size_t Count() const noexcept { return FItems.size(); }
    void EmitByteCode(TXANContext& C);

    std::vector<std::unique_ptr<TXANVbStatement>> FItems;
};

// A procedure or method call written as a statement (Foo, Foo 1, 2, obj.Method).
class TXANVbExpressionStmt : public TXANVbStatement {
public:
    TXANVbExpressionStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbDesignatorExpr> AExpr)
        : TXANVbStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    std::unique_ptr<TXANVbDesignatorExpr> FExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

// Both x = 1 and Set x = obj: the dialect does not distinguish object from value assignment.
class TXANVbAssignmentStmt : public TXANVbStatement {
public:
    TXANVbAssignmentStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbDesignatorExpr> ALeft,
                         std::unique_ptr<TXANVbExpression> ARight)
        : TXANVbStatement(ASourcePos), FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)) {}

    std::unique_ptr<TXANVbDesignatorExpr> FLeftExpr;
    std::unique_ptr<TXANVbExpression> FRightExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbCallStmt : public TXANVbStatement {
public:
    TXANVbCallStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbDesignatorExpr> ADesignator)
        : TXANVbStatement(ASourcePos), FDesignator(std::move(ADesignator)) {}

    std::unique_ptr<TXANVbDesignatorExpr> FDesignator;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbEraseStmt : public TXANVbStatement {
public:
    TXANVbEraseStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbDesignatorExpr> AExpr)
        : TXANVbStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    std::unique_ptr<TXANVbDesignatorExpr> FExpr;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

// One variable of a Dim statement.
class TXANVbDimVarDecl {
public:
    TXANVbDimVarDecl(plat::Integer AIdentifier, plat::Integer ASourcePos) noexcept
        : FIdentifier(AIdentifier), FSourcePos(ASourcePos) {}

    plat::Integer FIdentifier;  // name id
    bool FIsArray = false;
    TXANVbExpressionList FArrayDims;  // upper bounds; may be empty for Dim a()
    plat::Integer FSourcePos;
    // The declared object: a TXANVbLocalVarDecl or a TXANVarObject; owned by the procedure or
    // by the machine, never by the declaration.
    TXANNamedItem* FVar = nullptr;
    std::uint16_t FElemType = plat::varVariant;
    std::unique_ptr<TXANVbExpression> FIniter;
};

class TXANVbDimStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    std::vector<std::unique_ptr<TXANVbDimVarDecl>> FVarDecls;

protected:
    void DoEmitByteCode(TXANContext& C) override;

private:
    static void EmitDecl(TXANContext& C, TXANVbDimVarDecl& ADecl);
};

// One array of a Redim statement.
class TXANVbRedimVarDecl {
public:
    TXANVbRedimVarDecl(std::unique_ptr<TXANVbDesignatorExpr> AVarExpr, plat::Integer ASourcePos)
        : FVarExpr(std::move(AVarExpr)), FSourcePos(ASourcePos) {}

    std::unique_ptr<TXANVbDesignatorExpr> FVarExpr;  // one named step: the array variable
    TXANVbExpressionList FArrayDims;                 // at least one
    plat::Integer FSourcePos;
    std::uint16_t FElemType = plat::varVariant;
};

class TXANVbRedimStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    bool FPreserve = false;
    std::vector<std::unique_ptr<TXANVbRedimVarDecl>> FVarDecls;

protected:
    void DoEmitByteCode(TXANContext& C) override;

private:
    void EmitDecl(TXANContext& C, TXANVbRedimVarDecl& ADecl);
};

class TXANVbIfBlock {
public:
    TXANVbIfBlock(plat::Integer ASourcePos, std::unique_ptr<TXANVbExpression> ACondition)
        : FCondition(std::move(ACondition)), FSourcePos(ASourcePos) {}

    std::unique_ptr<TXANVbExpression> FCondition;
    TXANVbStmtList FStmtList;
    plat::Integer FSourcePos;  // the If or ElseIf that opens the block
};

class TXANVbIfStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    std::vector<std::unique_ptr<TXANVbIfBlock>> FBlocks;  // the If block, then one per ElseIf
    TXANVbStmtList FElseStmtList;                          // empty without Else

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbForStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    std::unique_ptr<TXANVbDesignatorExpr> FVarExpr;  // one named step: the loop variable
    std::unique_ptr<TXANVbExpression> FFromExpr;
    std::unique_ptr<TXANVbExpression> FToExpr;
    std::unique_ptr<TXANVbExpression> FStepExpr;  // null without Step
    TXANVbStmtList FStmts;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbDoLoopStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    TXANVbLoopType FLoopType = TXANVbLoopType::ltWhile;
    TXANVbConditionCheck FCondCheck = TXANVbConditionCheck::ccNoCondition;
    std::unique_ptr<TXANVbExpression> FExpr;  // null without a condition
    TXANVbStmtList FStmts;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbCaseSelector {
public:
    explicit TXANVbCaseSelector(plat::Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}

    TXANVbExpressionList FLabels;
    TXANVbStmtList FStmts;
    plat::Integer FSourcePos;  // its Case
};

class TXANVbSelectStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    std::unique_ptr<TXANVbExpression> FExpr;
    std::vector<std::unique_ptr<TXANVbCaseSelector>> FSelectors;
    TXANVbStmtList FElseStmts;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbExitStmt : public TXANVbStatement {
public:
    TXANVbExitStmt(plat::Integer ASourcePos, TXANVbExitType AExitType) noexcept
        : TXANVbStatement(ASourcePos), FExitType(AExitType) {}

    TXANVbExitType FExitType;

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbCatch {
public:
    TXANVbCatch();
    ~TXANVbCatch();
    TXANVbCatch(const TXANVbCatch&) = delete;
    TXANVbCatch& operator=(const TXANVbCatch&) = delete;

    bool IsCatchAll() const noexcept { return FName < 0; }

    plat::Integer FName = -1;  // name id of the exception variable; -1 for a catch-all
    plat::UString FStrName;
    std::unique_ptr<TXANVbExpression> FExpr;  // the class filter after As; null for a catch-all
    TXANVbStmtList FStmts;
};

class TXANVbTryStmt : public TXANVbStatement {
public:
    using TXANVbStatement::TXANVbStatement;

    TXANVbStmtList FTryStmts;
    std::vector<std::unique_ptr<TXANVbCatch>> FCatches;
    TXANVbStmtList FFinallyStmts;  // empty without Finally

protected:
    void DoEmitByteCode(TXANContext& C) override;

private:
    void EmitCatches(TXANContext& C);
    void EmitHandlers(TXANContext& C, TXANTry* ATry, TXANLabel* AEnd);
};

class TXANVbThrowStmt : public TXANVbStatement {
public:
    TXANVbThrowStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbExpression> AExpr)
        : TXANVbStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    std::unique_ptr<TXANVbExpression> FExpr;  // null: re-raise the exception being handled

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

class TXANVbReturnStmt : public TXANVbStatement {
public:
    TXANVbReturnStmt(plat::Integer ASourcePos, std::unique_ptr<TXANVbExpression> AExpr)
        : TXANVbStatement(ASourcePos), FExpr(std::move(AExpr)) {}

    std::unique_ptr<TXANVbExpression> FExpr;  // null in a sub and at the global level

protected:
    void DoEmitByteCode(TXANContext& C) override;
};

}  // namespace xan::vb
