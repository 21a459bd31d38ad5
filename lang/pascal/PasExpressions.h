#pragma once
// Expression nodes of the Pascal dialect's syntax trees. A node owns its children and records
// the source position of its last token (a binary node: the last token of its right operand).
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/Operands.h"
#include "vm/ParserInterfaces.h"

namespace xan {

using plat::Integer;

enum TXANUnaryOp : std::uint8_t { uopPlus, uopMinus, uopNot };

enum TXANBinaryOp : std::uint8_t {
    bopGreater, bopGreaterEqual, bopEqual, bopLess, bopLessEqual, bopNotEqual, bopIn, bopIs,
    bopPlus, bopMinus, bopOr, bopXor, bopMultiply, bopDivide, bopDiv, bopMod, bopAnd, bopShl, bopShr
};

class TXANExpression : public IXANEmitable {
public:
    explicit TXANExpression(Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;

    Integer FSourcePos;
};

using TXANExpressionPtr = std::unique_ptr<TXANExpression>;
using TXANExpressionList = std::vector<TXANExpressionPtr>;

class TXANLiteral : public TXANExpression {
public:
    TXANLiteral(Integer ASourcePos, plat::Variant AValue) noexcept
        : TXANExpression(ASourcePos), FValue(std::move(AValue)) {}

    plat::Variant FValue;
};

class TXANUnaryExpr : public TXANExpression {
public:
    TXANUnaryExpr(Integer ASourcePos, TXANUnaryOp AOperator, TXANExpressionPtr AExpr) noexcept
        : TXANExpression(ASourcePos), FOperator(AOperator), FExpr(std::move(AExpr)) {}

    TXANUnaryOp FOperator;
    TXANExpressionPtr FExpr;
};

class TXANBinaryExpr : public TXANExpression {
public:
    TXANBinaryExpr(Integer ASourcePos, TXANBinaryOp AOperator, TXANExpressionPtr ALeft, TXANExpressionPtr ARight) noexcept
        : TXANExpression(ASourcePos), FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)), FOperator(AOperator) {}

    TXANExpressionPtr FLeftExpr;
    TXANExpressionPtr FRightExpr;
    TXANBinaryOp FOperator;
};

// One element of a designator: a name with an optional bracket group, or (after a second
// bracket group in a row, as in f(1)(2)) an unnamed group.
class TXANDesignatorItem {
public:
    TXANDesignatorItem(Integer AName, plat::UString AStrName, Integer ASourcePos) noexcept
        : FName(AName), FStrName(std::move(AStrName)), FSourcePos(ASourcePos) {}
    bool IsNamed() const noexcept { return !FStrName.empty(); }

    Integer FName;
    plat::UString FStrName;  // empty for an unnamed item
    TXANExpressionList FArgs;
    TXANBracketType FBracketType = bkNon;
    Integer FSourcePos;
    bool FIsResultUsed = true;
};

class TXANDesignatorExpr : public TXANExpression {
public:
    using TXANExpression::TXANExpression;

    std::vector<std::unique_ptr<TXANDesignatorItem>> FItems;  // at least one
};

class TXANSetElement {
public:
    TXANSetElement(Integer ASourcePos, TXANExpressionPtr ALeft, TXANExpressionPtr ARight) noexcept
        : FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)), FSourcePos(ASourcePos) {}

    TXANExpressionPtr FLeftExpr;
    TXANExpressionPtr FRightExpr;  // none for a single value
    Integer FSourcePos;
};

class TXANPasSetExpr : public TXANExpression {
public:
    using TXANExpression::TXANExpression;

    std::vector<std::unique_ptr<TXANSetElement>> FSetElements;
};

class TXANArrayDim {
public:
    TXANArrayDim(Integer ASourcePos, TXANExpressionPtr ALow, TXANExpressionPtr AHigh) noexcept
        : FLeftExpr(std::move(ALow)), FRightExpr(std::move(AHigh)), FSourcePos(ASourcePos) {}

    TXANExpressionPtr FLeftExpr;
    TXANExpressionPtr FRightExpr;
    Integer FSourcePos;
};

class TXANArrayExpr : public TXANExpression {
public:
    using TXANExpression::TXANExpression;

    std::vector<std::unique_ptr<TXANArrayDim>> FArrayDims;
    std::uint16_t FElemVarType = plat::varVariant;
};

// @Name: a script procedure to be wrapped as an event handler.
class TXANEventMakeExpr : public TXANExpression {
public:
    TXANEventMakeExpr(Integer ASourcePos, Integer AProcName, plat::UString AStrProcName) noexcept
        : TXANExpression(ASourcePos), FProcName(AProcName), FStrProcName(std::move(AStrProcName)) {}

    Integer FProcName;
    plat::UString FStrProcName;
};

// Raised by the emit entry points of the Pascal syntax trees while the dialect's code
// generation is not part of the build.
[[noreturn]] void RaisePasCodeGenUnavailable(Integer ASourcePos);

}  // namespace xan
