#pragma once
// Expression nodes of the VBScript-dialect syntax tree. A node owns its operands; freeing a
// node frees its subtree. Positions are 1-based UTF-16 indexes into the source.
#include <memory>
#include <vector>

#include "lang/vb/VbCodeContext.h"
#include "lang/vb/VbSyntaxEnums.h"
#include "platform/core/Types.h"
#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/bytecode/Operands.h"
#include "vm/compiler/DesignatorEmit.h"
#include "vm/compiler/ParserInterfaces.h"

namespace xan::vb {

class TXANVbExpression : public IXANEmitable {
public:
    explicit TXANVbExpression(plat::Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}

    // Appends code that leaves the expression's value on the operand stack.
    void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) override;
    // Emits the value for the given use; AJmpLabel is the target of the two jump modes.
    void EmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes = erStack, TXANLabel* AJmpLabel = nullptr);
    // Emits a reference where the expression denotes a variable, otherwise its value; whether
    // what it pushed may be a reference.
    bool EmitRefByteCode(TXANContext& C);

    plat::Integer FSourcePos;

protected:
    // Emits the node; a node that realises a jump mode itself clears AHandled.
    virtual void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                                bool& AHandled) = 0;
    virtual bool DoEmitRefByteCode(TXANContext& C) {
        EmitByteCode(C);
        return false;
    }
};

using TXANVbExpressionList = std::vector<std::unique_ptr<TXANVbExpression>>;

class TXANVbUnaryOpExpr : public TXANVbExpression {
public:
    TXANVbUnaryOpExpr(plat::Integer ASourcePos, TXANVbUnaryOp AOpType, std::unique_ptr<TXANVbExpression> AOperand)
        : TXANVbExpression(ASourcePos), FOpType(AOpType), FOperand(std::move(AOperand)) {}

    TXANVbUnaryOp FOpType;
    std::unique_ptr<TXANVbExpression> FOperand;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                        bool& AHandled) override;
};

class TXANVbBinaryOpExpr : public TXANVbExpression {
public:
    TXANVbBinaryOpExpr(plat::Integer ASourcePos, TXANVbBinaryOp AOpType, std::unique_ptr<TXANVbExpression> ALeft,
                       std::unique_ptr<TXANVbExpression> ARight)
        : TXANVbExpression(ASourcePos), FLeftExpr(std::move(ALeft)), FRightExpr(std::move(ARight)), FOpType(AOpType) {}
    ~TXANVbBinaryOpExpr() override;

    std::unique_ptr<TXANVbExpression> FLeftExpr;
    std::unique_ptr<TXANVbExpression> FRightExpr;
    TXANVbBinaryOp FOpType;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                        bool& AHandled) override;

private:
    bool EmitJumpForm(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel);
    void EmitValueChain(TXANContext& C);
    void EmitRightOperand(TXANContext& C);
};

// A constant written in the source: its value is a copy made once by the parser.
class TXANVbLiteralExpr : public TXANVbExpression {
public:
    TXANVbLiteralExpr(plat::Integer ASourcePos, plat::Variant AValue)
        : TXANVbExpression(ASourcePos), FValue(std::move(AValue)) {}

    plat::Variant FValue;

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                        bool& AHandled) override;
};

// One step of a designator: a name (a.b), an argument list (a(1)(2)), or both (a.b(1)).
class TXANVbDesignatorItem {
public:
    // An unnamed step carrying an argument list.
    explicit TXANVbDesignatorItem(plat::Integer ASourcePos) noexcept : FSourcePos(ASourcePos) {}
    TXANVbDesignatorItem(plat::Integer AName, plat::UString AStrName, plat::Integer ASourcePos)
        : FName(AName), FStrName(std::move(AStrName)), FSourcePos(ASourcePos) {}
    TXANVbDesignatorItem(const TXANVbDesignatorItem&) = delete;
    TXANVbDesignatorItem& operator=(const TXANVbDesignatorItem&) = delete;

    bool IsNamed() const noexcept { return !FStrName.empty(); }
    bool HasArgList() const noexcept { return FBracketType != bkNon; }

    plat::Integer FName = -1;  // name id; -1 for an unnamed step
    plat::UString FStrName;    // the name as written; empty for an unnamed step
    TXANBracketType FBracketType = bkNon;
    TXANVbExpressionList FArgs;
    plat::Integer FSourcePos;
    bool FIsResultUsed = true;
};

// A name followed by any number of member and argument-list steps: a variable, a call, an
// indexed array element, an object member.
class TXANVbDesignatorExpr : public TXANVbExpression {
public:
    using TXANVbExpression::TXANVbExpression;

    TXANVbDesignatorItem& LastItem() const noexcept { return *FItems.back(); }
    TXANVbDesignatorItem& AddItem(std::unique_ptr<TXANVbDesignatorItem> AItem) {
        FItems.push_back(std::move(AItem));
        return *FItems.back();
    }

    // The left side of '=': stores the value of AValue into what the designator denotes.
    void EmitAssign(TXANContext& C, TXANVbExpression& AValue);

    std::vector<std::unique_ptr<TXANVbDesignatorItem>> FItems;  // at least one, in source order

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                        bool& AHandled) override;
    bool DoEmitRefByteCode(TXANContext& C) override;
    // ANewItem, when given, is the item that constructs an object.
    void EmitUse(TXANContext& C, TXANDesignatorUse AUse, TXANVbExpression* AValue,
                 const TXANVbDesignatorItem* ANewItem = nullptr);
};

// New a.B(args).C: the class name steps, then the construction call, then further steps.
class TXANVbNewExpr : public TXANVbDesignatorExpr {
public:
    using TXANVbDesignatorExpr::TXANVbDesignatorExpr;

    TXANVbDesignatorItem* FNewCallItem = nullptr;  // one of FItems

protected:
    void DoEmitByteCode(TXANContext& C, TXANExprEmitRes AEmitRes, TXANLabel* AJmpLabel,
                        bool& AHandled) override;
    bool DoEmitRefByteCode(TXANContext& C) override;
};

}  // namespace xan::vb
