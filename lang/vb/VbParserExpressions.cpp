// The expression half of the VBScript-dialect parser: operators by precedence, factors,
// designators and New expressions.
#include "lang/vb/VbParser.h"

namespace xan::vb {

using enum TXANVbUnaryOp;
using enum TXANVbBinaryOp;

using plat::UString;

namespace {

// Binary operator levels, lowest precedence first: 1 Imp, 2 Eqv, 3 Xor, 4 Or, 5 And,
// 6 comparisons and Is, 7 the TypeOf ... Is form (no infix operator), 8 &, 9 + -, 10 Mod, 11 \,
// 12 * /, 13 ^; the factors with their prefix operators bind tighter than all of them.
constexpr int FirstBinaryLevel = 1;
constexpr int TypeOfLevel = 7;

struct BinaryOpRow {
    TXANVbToken Token;
    int Level;
    TXANVbBinaryOp Op;
};

constexpr BinaryOpRow BinaryOps[] = {
    {ptImp, 1, boImp},          {ptEqv, 2, boEqv},          {ptXor, 3, boXor},
    {ptOr, 4, boOr},            {ptAnd, 5, boAnd},          {ptIs, 6, boIs},
    {ptGreater, 6, boGreater},  {ptGreaterEqual, 6, boGreaterEqual}, {ptLess, 6, boLess},
    {ptLessEqual, 6, boLessEqual}, {ptEqual, 6, boEqual},   {ptNotEqual, 6, boNotEqual},
    {ptStrConcat, 8, boStrConcat}, {ptPlus, 9, boPlus},     {ptMinus, 9, boMinus},
    {ptMod, 10, boMod},         {ptIntDivide, 11, boIntDivide}, {ptMultiply, 12, boMult},
    {ptDivide, 12, boDivide},   {ptExp, 13, boExp},
};

// The binary operator the token stands for; null when it is none.
const BinaryOpRow* BinaryOpOf(TXANVbToken AToken) noexcept {
    for (const BinaryOpRow& row : BinaryOps)
        if (row.Token == AToken) return &row;
    return nullptr;
}

}  // namespace

std::unique_ptr<TXANVbExpression> TXANVbParser::ParseExpression() {
    TNestingGuard nesting(*this);
    return ParseBinaryLevel(FirstBinaryLevel);
}

// Binary operators of ALevel and above, left-associative, by precedence climbing: one call per
// rise in precedence rather than one per level, which keeps deep nesting cheap on the stack.
std::unique_ptr<TXANVbExpression> TXANVbParser::ParseBinaryLevel(int ALevel) {
    std::unique_ptr<TXANVbExpression> left =
        ALevel <= TypeOfLevel && Token() == ptTypeOf ? ParseTypeOf() : ParseFactor();
    for (const BinaryOpRow* row = BinaryOpOf(Token()); row && row->Level >= ALevel; row = BinaryOpOf(Token())) {
        const plat::Integer pos = FScanner.TokenStartPos();
        TXANVbBinaryOp op = row->Op;
        Skip();
        if (op == boIs && Token() == ptNot) {
            Skip();
            op = boIsNot;
        }
        std::unique_ptr<TXANVbExpression> right = ParseBinaryLevel(row->Level + 1);
        left = std::make_unique<TXANVbBinaryOpExpr>(pos, op, std::move(left), std::move(right));
    }
    return left;
}

// TypeOf object Is class: the object is a level-7 operand (possibly another TypeOf form), the
// class a level-8 one.
std::unique_ptr<TXANVbExpression> TXANVbParser::ParseTypeOf() {
    TNestingGuard nesting(*this);
    const plat::Integer pos = FScanner.TokenStartPos();
    Skip();
    std::unique_ptr<TXANVbExpression> object = ParseBinaryLevel(TypeOfLevel);
    ExpectSkip({ptIs});
    std::unique_ptr<TXANVbExpression> cls = ParseBinaryLevel(TypeOfLevel + 1);
    return std::make_unique<TXANVbBinaryOpExpr>(pos, boTypeOfIs, std::move(object), std::move(cls));
}

std::unique_ptr<TXANVbExpression> TXANVbParser::ParseFactor() {
    static constexpr TXANVbTokenSet FactorStart = VbExpressionStart.Without(ptTypeOf);
    Expect(FactorStart);
    switch (Token()) {
        case ptIdentifier: return ParseDesignator();
        case ptNew: return ParseNew();
        case ptNot:
        case ptPlus:
        case ptMinus: {
            // The prefix operators bind tighter than every binary one: Not a = b is (Not a) = b.
            TNestingGuard nesting(*this);
            const plat::Integer pos = FScanner.TokenStartPos();
            const TXANVbUnaryOp op = Token() == ptNot ? uoNot : Token() == ptPlus ? uoPlus : uoMinus;
            Skip();
            return std::make_unique<TXANVbUnaryOpExpr>(pos, op, ParseFactor());
        }
        case ptOpenRound: {
            Skip();
            std::unique_ptr<TXANVbExpression> inner = ParseExpression();
            ExpectSkip({ptCloseRound});
            return inner;
        }
        default: return ParseLiteral();
    }
}

std::unique_ptr<TXANVbExpression> TXANVbParser::ParseLiteral() {
    const plat::Integer pos = FScanner.TokenStartPos();
    plat::Variant value;
    switch (Token()) {
        case ptCString: value = plat::Variant(FScanner.SData()); break;
        case ptCInteger: value = plat::Variant(FScanner.IData()); break;
        case ptCFloat: value = plat::Variant(static_cast<double>(FScanner.FData())); break;
        case ptCDate: value = plat::Variant::FromDate(FScanner.DData()); break;
        case ptTrue: value = plat::Variant(true); break;
        case ptFalse: value = plat::Variant(false); break;
        case ptNothing: value = plat::Variant(static_cast<plat::IDispatch*>(nullptr)); break;
        case ptNull: value = plat::Variant::Null(); break;
        default: break;  // ptEmpty: the unassigned value
    }
    Skip();
    return std::make_unique<TXANVbLiteralExpr>(pos, std::move(value));
}

std::unique_ptr<TXANVbDesignatorItem> TXANVbParser::ParseNamedItem() {
    const UString name = FScanner.SData();
    auto item = std::make_unique<TXANVbDesignatorItem>(NameIdOf(name), name, FScanner.TokenEndPos());
    Skip();
    return item;
}

std::unique_ptr<TXANVbDesignatorExpr> TXANVbParser::ParseDesignator(TDesignatorTail* ATail) {
    auto designator = std::make_unique<TXANVbDesignatorExpr>(FScanner.TokenStartPos());
    designator->AddItem(ParseNamedItem());
    if (ATail) *ATail = {};
    ParseDesignatorSteps(*designator, ATail);
    return designator;
}

// Steps .name and (arguments). A list goes to the last item unless that has one already, in
// which case it opens a new unnamed item: a(1)(2) has two items.
void TXANVbParser::ParseDesignatorSteps(TXANVbDesignatorExpr& ADesignator, TDesignatorTail* ATail) {
    for (;;) {
        if (Token() == ptDot) {
            Skip();
            Expect({ptIdentifier});
            ADesignator.AddItem(ParseNamedItem());
            if (ATail) *ATail = {};
        } else if (Token() == ptOpenRound) {
            const plat::Integer pos = FScanner.TokenStartPos();
            TXANVbExpressionList args;
            ParseArgList(args);
            TXANVbDesignatorItem* item = &ADesignator.LastItem();
            if (item->HasArgList()) item = &ADesignator.AddItem(std::make_unique<TXANVbDesignatorItem>(pos));
            item->FBracketType = bkVbRound;
            item->FArgs = std::move(args);
            if (ATail) *ATail = {true, item->FArgs.size()};
        } else {
            return;
        }
    }
}

// New a.B(args) with any further steps; the construction call is an unnamed item of its own.
std::unique_ptr<TXANVbExpression> TXANVbParser::ParseNew() {
    Skip();
    Expect({ptIdentifier});
    auto expr = std::make_unique<TXANVbNewExpr>(FScanner.TokenStartPos());
    expr->AddItem(ParseNamedItem());
    while (Token() == ptDot) {
        Skip();
        Expect({ptIdentifier});
        expr->AddItem(ParseNamedItem());
    }
    auto call = std::make_unique<TXANVbDesignatorItem>(FScanner.TokenStartPos());
    call->FBracketType = bkVbRound;
    if (Token() == ptOpenRound) ParseArgList(call->FArgs);
    expr->FNewCallItem = &expr->AddItem(std::move(call));
    ParseDesignatorSteps(*expr, nullptr);
    return expr;
}

void TXANVbParser::ParseArgList(TXANVbExpressionList& AArgs) {
    Skip();  // (
    if (Token() != ptCloseRound) ParseExpressionList(AArgs);
    ExpectSkip({ptCloseRound});
}

void TXANVbParser::ParseExpressionList(TXANVbExpressionList& AList) {
    AList.push_back(ParseExpression());
    while (Token() == ptComma) {
        Skip();
        AList.push_back(ParseExpression());
    }
}

}  // namespace xan::vb
