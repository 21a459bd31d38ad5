#pragma once
// Expression nodes of the Pascal dialect's syntax trees. A node owns its children and records
// the source position of its last token (a binary node: the last token of its right operand).
#include <cstdint>
#include <memory>
#include <vector>

#include "lang/pascal/PasCodeContext.h"
#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/DesignatorEmit.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan::pas {

using plat::Integer;

enum class TXANUnaryOp : std::uint8_t { uopPlus, uopMinus, uopNot };

enum class TXANBinaryOp : std::uint8_t {
    bopGreater, bopGreaterEqual, bopEqual, bopLess, bopLessEqual, bopNotEqual, bopIn, bopIs,
    bopPlus, bopMinus, bopOr, bopXor, bopMultiply, bopDivide, bopDiv, bopMod, bopAnd, bopShl, bopShr
};

class TXANExpression : public IXANEmitable {
public:
    explicit TXANExpression(Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}
    // The value on the operand stack, in a fresh context over ANamespace.
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;
    // The value for AEmitRes; the jump modes jump to AJmpLabel.
    void EmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes = erStack, TXANLabel* AJmpLabel = nullptr);
    // A reference where the expression denotes a variable, the value otherwise; whether what
    // it pushed may be a reference.
    bool EmitRefByteCode(TXANContext& C);

    Integer FSourcePos;

protected:
    // Either leaves the value on the stack (AValuePending stays true) or completes the requested
    // jump itself (AValuePending := false).
    virtual void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending,
                                TXANLabel* AJmpLabel) = 0;
    virtual bool DoEmitRefByteCode(TXANContext& C) {
        EmitByteCode(C, erStack);
        return false;
    }
};

using TXANExpressionPtr = std::unique_ptr<TXANExpression>;
using TXANExpressionList = std::vector<TXANExpressionPtr>;

class TXANLiteral : public TXANExpression {
public:
    TXANLiteral(Integer ASourcePos, plat::Variant AValue) noexcept
        : TXANExpression(ASourcePos), FValue(std::move(AValue)) {}

    plat::Variant FValue;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
};

class TXANUnaryExpr : public TXANExpression {
public:
    TXANUnaryExpr(Integer ASourcePos, TXANUnaryOp AOperator, TXANExpressionPtr AExpr) noexcept
        : TXANExpression(ASourcePos), FOperator(AOperator), FExpr(std::move(AExpr)) {}

    TXANUnaryOp FOperator;
    TXANExpressionPtr FExpr;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
};

class TXANBinaryExpr : public TXANExpression {
public:
    TXANBinaryExpr(Integer ASourcePos, TXANBinaryOp AOperator, TXANExpressionPtr ALeft, TXANExpressionPtr ARight) noexcept
        : TXANExpression(ASourcePos), FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)), FOperator(AOperator) {}

    TXANExpressionPtr FLeftExpr;
    TXANExpressionPtr FRightExpr;
    TXANBinaryOp FOperator;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
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

    // The left side of ':=': stores the value of AValue into what the designator denotes.
    void EmitAssign(TXANContext& C, TXANExpression& AValue);

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
    bool DoEmitRefByteCode(TXANContext& C) override;

private:
    void EmitUse(TXANContext& C, TXANDesignatorUse AUse, TXANExpression* AValue);
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

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
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

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
};

// @Name: a script procedure to be wrapped as an event handler.
class TXANEventMakeExpr : public TXANExpression {
public:
    TXANEventMakeExpr(Integer ASourcePos, Integer AProcName, plat::UString AStrProcName) noexcept
        : TXANExpression(ASourcePos), FProcName(AProcName), FStrProcName(std::move(AStrProcName)) {}

    Integer FProcName;
    plat::UString FStrProcName;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, bool& AValuePending, TXANLabel* AJmpLabel) override;
};

}  // namespace xan::pas
