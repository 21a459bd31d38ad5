// Expressions: operators and precedence, literals, designators, sets, arrays, event handlers.
#include <gtest/gtest.h>

#include "PasParserTestSupport.h"

namespace xan::pas {
namespace {

using plat::UString;
using test::RecordingCallbacks;

std::unique_ptr<TXANExpression> Expr(const UString& source) {
    RecordingCallbacks cbs;
    TXANPasParser parser(&cbs);
    std::unique_ptr<IXANEmitable> tree = parser.ParseExpr(source);
    return std::unique_ptr<TXANExpression>(static_cast<TXANExpression*>(tree.release()));
}

// The tree as text: binary and unary nodes in prefix form, designators by their names.
std::string Shape(const TXANExpression* e) {
    static const char* const binary[] = {">", ">=", "=", "<", "<=", "<>", "in", "is", "+", "-",
                                         "or", "xor", "*", "/", "div", "mod", "and", "shl", "shr"};
    static const char* const unary[] = {"+", "-", "not"};
    if (auto* b = dynamic_cast<const TXANBinaryExpr*>(e))
        return std::string("(") + binary[static_cast<int>(b->FOperator)] + " " + Shape(b->FLeftExpr.get()) + " " +
               Shape(b->FRightExpr.get()) + ")";
    if (auto* u = dynamic_cast<const TXANUnaryExpr*>(e))
        return std::string("(") + unary[static_cast<int>(u->FOperator)] + " " + Shape(u->FExpr.get()) + ")";
    if (auto* d = dynamic_cast<const TXANDesignatorExpr*>(e)) {
        std::string s;
        for (const auto& item : d->FItems) {
            if (!s.empty() && item->IsNamed()) s += ".";
            s += item->FStrName.ToUtf8();
            if (item->FBracketType == bkRound) s += "(" + std::to_string(item->FArgs.size()) + ")";
            if (item->FBracketType == bkBlock) s += "[" + std::to_string(item->FArgs.size()) + "]";
        }
        return s;
    }
    if (auto* l = dynamic_cast<const TXANLiteral*>(e)) return "#" + std::to_string(l->FValue.VType);
    return "?";
}

TEST(PasParserExpr, Precedence) {
    EXPECT_EQ(Shape(Expr(u"a + b * c").get()), "(+ a (* b c))");
    EXPECT_EQ(Shape(Expr(u"a * b + c").get()), "(+ (* a b) c)");
    EXPECT_EQ(Shape(Expr(u"a = b + c").get()), "(= a (+ b c))");
    EXPECT_EQ(Shape(Expr(u"-a * b").get()), "(* (- a) b)");
    EXPECT_EQ(Shape(Expr(u"not a and b").get()), "(and (not a) b)");
    EXPECT_EQ(Shape(Expr(u"a or b and c").get()), "(or a (and b c))");
    EXPECT_EQ(Shape(Expr(u"(a + b) * c").get()), "(* (+ a b) c)");
    EXPECT_EQ(Shape(Expr(u"+ - not a").get()), "(+ (- (not a)))");
}

TEST(PasParserExpr, EveryLevelIsLeftAssociative) {
    EXPECT_EQ(Shape(Expr(u"a = b = c").get()), "(= (= a b) c)");
    EXPECT_EQ(Shape(Expr(u"a - b - c").get()), "(- (- a b) c)");
    EXPECT_EQ(Shape(Expr(u"a div b mod c").get()), "(mod (div a b) c)");
}

TEST(PasParserExpr, EveryOperatorToken) {
    EXPECT_EQ(Shape(Expr(u"a > b >= c < d <= e <> f in g is h").get()),
              "(is (in (<> (<= (< (>= (> a b) c) d) e) f) g) h)");
    EXPECT_EQ(Shape(Expr(u"a + b - c or d xor e").get()), "(xor (or (- (+ a b) c) d) e)");
    EXPECT_EQ(Shape(Expr(u"a * b / c div d mod e and f shl g shr h").get()),
              "(shr (shl (and (mod (div (/ (* a b) c) d) e) f) g) h)");
}

TEST(PasParserExpr, BinaryNodeRecordsItsRightOperandsEnd) {
    auto e = Expr(u"abc + (d)");
    EXPECT_EQ(e->FSourcePos, 9);
    auto m = Expr(u"x*yy");
    EXPECT_EQ(m->FSourcePos, 4);
}

TEST(PasParserExpr, Literals) {
    auto i = Expr(u"42");
    auto* li = dynamic_cast<TXANLiteral*>(i.get());
    ASSERT_NE(li, nullptr);
    EXPECT_EQ(li->FValue.VType, plat::varInteger);
    EXPECT_EQ(li->FValue.VInteger, 42);
    EXPECT_EQ(li->FSourcePos, 2);

    auto f = Expr(u"1.5");
    EXPECT_EQ(static_cast<TXANLiteral*>(f.get())->FValue.VType, plat::varDouble);
    EXPECT_EQ(static_cast<TXANLiteral*>(f.get())->FValue.VDouble, 1.5);

    auto s = Expr(u"'It''s'");
    EXPECT_EQ(static_cast<TXANLiteral*>(s.get())->FValue.VType, plat::varOleStr);
    EXPECT_EQ(static_cast<TXANLiteral*>(s.get())->FValue.AsUString(), u"It's");

    auto n = Expr(u"nil");
    EXPECT_EQ(static_cast<TXANLiteral*>(n.get())->FValue.VType, plat::varDispatch);
    EXPECT_EQ(static_cast<TXANLiteral*>(n.get())->FValue.VDispatch, nullptr);

    // True, False, Null and Unassigned are built-in constants, reached by name.
    EXPECT_NE(dynamic_cast<TXANDesignatorExpr*>(Expr(u"True").get()), nullptr);
}

TEST(PasParserExpr, Designators) {
    EXPECT_EQ(Shape(Expr(u"a.b(x).c").get()), "a.b(1).c");
    EXPECT_EQ(Shape(Expr(u"f()").get()), "f(0)");
    EXPECT_EQ(Shape(Expr(u"a[1, 2]").get()), "a[2]");
    // A second bracket group in a row applies to the value: an unnamed item.
    EXPECT_EQ(Shape(Expr(u"f(1)(2, 3)").get()), "f(1)(2)");
    EXPECT_EQ(Shape(Expr(u"a[1][2].b").get()), "a[1][1].b");
    auto e = Expr(u"a.b(1)(2)");
    auto* d = static_cast<TXANDesignatorExpr*>(e.get());
    ASSERT_EQ(d->FItems.size(), 3u);
    EXPECT_FALSE(d->FItems[2]->IsNamed());
    EXPECT_EQ(d->FItems[2]->FName, -1);
    EXPECT_EQ(d->FItems[0]->FSourcePos, 1);
    EXPECT_EQ(d->FItems[1]->FSourcePos, 6);
    EXPECT_EQ(d->FItems[2]->FSourcePos, 9);
    EXPECT_EQ(d->FSourcePos, 9);
    EXPECT_TRUE(d->FItems[1]->FIsResultUsed);
}

TEST(PasParserExpr, Sets) {
    auto e = Expr(u"[1, 3..5]");
    auto* set = dynamic_cast<TXANPasSetExpr*>(e.get());
    ASSERT_NE(set, nullptr);
    ASSERT_EQ(set->FSetElements.size(), 2u);
    EXPECT_EQ(set->FSetElements[0]->FRightExpr, nullptr);
    EXPECT_NE(set->FSetElements[1]->FRightExpr, nullptr);
    EXPECT_EQ(set->FSetElements[0]->FSourcePos, 2);
    EXPECT_EQ(set->FSetElements[1]->FSourcePos, 8);
    EXPECT_EQ(set->FSourcePos, 9);
    auto empty = Expr(u"[]");
    EXPECT_TRUE(static_cast<TXANPasSetExpr*>(empty.get())->FSetElements.empty());
}

TEST(PasParserExpr, ArrayConstructors) {
    auto e = Expr(u"array[0..1, 0..2] of Integer");
    auto* a = dynamic_cast<TXANArrayExpr*>(e.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FArrayDims.size(), 2u);
    EXPECT_EQ(a->FElemVarType, plat::varInteger);

    auto single = Expr(u"array[3]");
    auto* s = static_cast<TXANArrayExpr*>(single.get());
    EXPECT_EQ(s->FElemVarType, plat::varVariant);
    ASSERT_EQ(s->FArrayDims.size(), 1u);
    auto* low = dynamic_cast<TXANLiteral*>(s->FArrayDims[0]->FLeftExpr.get());
    ASSERT_NE(low, nullptr);  // array[3] has the bounds 0 .. 3
    EXPECT_EQ(low->FValue.VInteger, 0);
    EXPECT_EQ(static_cast<TXANLiteral*>(s->FArrayDims[0]->FRightExpr.get())->FValue.VInteger, 3);
}

TEST(PasParserExpr, EveryElementTypeName) {
    struct Case {
        const char16_t* name;
        std::uint16_t code;
    };
    for (Case c : {Case{u"SmallInt", 2}, {u"Integer", 3}, {u"Single", 4}, {u"Double", 5}, {u"Currency", 6},
                   {u"String", 8}, {u"Object", 9}, {u"Error", 10}, {u"Boolean", 11}, {u"Variant", 12},
                   {u"ShortInt", 16}, {u"Byte", 17}, {u"Word", 18}, {u"LongWord", 19}, {u"Int64", 20},
                   {u"UInt64", 21}, {u"integer", 3}, {u"STRING", 8}}) {
        auto e = Expr(UString(u"array[1] of ") + std::u16string_view(c.name));
        EXPECT_EQ(static_cast<TXANArrayExpr*>(e.get())->FElemVarType, c.code) << UString(c.name).ToUtf8();
    }
}

TEST(PasParserExpr, EventHandlerReference) {
    auto e = Expr(u"@OnClick");
    auto* ev = dynamic_cast<TXANEventMakeExpr*>(e.get());
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(ev->FStrProcName, u"OnClick");
    EXPECT_EQ(ev->FProcName, test::IdOf(u"ONCLICK"));
    EXPECT_EQ(ev->FSourcePos, 8);
}

TEST(PasParserExpr, LongFlatChainsAreFine) {
    // A long list of arguments or set elements is not nesting.
    std::u16string args = u"f(0";
    for (int i = 0; i < 5000; ++i) args += u", 1";
    args += u")";
    auto e = Expr(UString(args));
    EXPECT_EQ(static_cast<TXANDesignatorExpr*>(e.get())->FItems[0]->FArgs.size(), 5001u);
}

}  // namespace
}  // namespace xan::pas
