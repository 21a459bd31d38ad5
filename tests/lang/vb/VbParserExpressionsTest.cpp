#include <gtest/gtest.h>

#include "VbParseSupport.h"

namespace xan::vb::test {
namespace {

TEST(VbParserExpressions, Literals) {
    EXPECT_EQ(DumpParsedExpr(u"42"), "42");
    EXPECT_EQ(DumpParsedExpr(u"&FF"), "255");
    EXPECT_EQ(DumpParsedExpr(u"1.5"), "1.5d");
    EXPECT_EQ(DumpParsedExpr(u"\"a\"\"b\""), "\"a\"b\"");
    EXPECT_EQ(DumpParsedExpr(u"#1899/12/31#"), "#1#");
    EXPECT_EQ(DumpParsedExpr(u"True"), "True");
    EXPECT_EQ(DumpParsedExpr(u"false"), "False");
    EXPECT_EQ(DumpParsedExpr(u"Nothing"), "Nothing");
    EXPECT_EQ(DumpParsedExpr(u"Empty"), "Empty");
    EXPECT_EQ(DumpParsedExpr(u"NULL"), "Null");
}

TEST(VbParserExpressions, LiteralVariantTypes) {
    RecordingCallbacks cbs;
    for (const auto& [text, vt] : std::vector<std::pair<const char16_t*, plat::VarType>>{
             {u"1", plat::varInteger}, {u"1.0", plat::varDouble}, {u"\"\"", plat::varOleStr},
             {u"#2000/1/1#", plat::varDate}, {u"True", plat::varBoolean}, {u"Nothing", plat::varDispatch},
             {u"Empty", plat::varEmpty}, {u"Null", plat::varNull}}) {
        std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(text);
        auto* literal = dynamic_cast<TXANVbLiteralExpr*>(tree.get());
        ASSERT_NE(literal, nullptr) << UString(text).ToUtf8();
        EXPECT_EQ(literal->FValue.VType, vt) << UString(text).ToUtf8();
    }
}

TEST(VbParserExpressions, PrecedenceFromLowestToHighest) {
    EXPECT_EQ(DumpParsedExpr(u"a Imp b Eqv c"), "(Imp a (Eqv b c))");
    EXPECT_EQ(DumpParsedExpr(u"a Eqv b Xor c"), "(Eqv a (Xor b c))");
    EXPECT_EQ(DumpParsedExpr(u"a Xor b Or c"), "(Xor a (Or b c))");
    EXPECT_EQ(DumpParsedExpr(u"a Or b And c"), "(Or a (And b c))");
    EXPECT_EQ(DumpParsedExpr(u"a And b = c"), "(And a (= b c))");
    EXPECT_EQ(DumpParsedExpr(u"a = b & c"), "(= a (& b c))");
    EXPECT_EQ(DumpParsedExpr(u"a & b + c"), "(& a (+ b c))");
    EXPECT_EQ(DumpParsedExpr(u"a + b Mod c"), "(+ a (Mod b c))");
    EXPECT_EQ(DumpParsedExpr(u"a Mod b \\ c"), "(Mod a (\\ b c))");
    EXPECT_EQ(DumpParsedExpr(u"a \\ b * c"), "(\\ a (* b c))");
    EXPECT_EQ(DumpParsedExpr(u"a * b ^ c"), "(* a (^ b c))");
    EXPECT_EQ(DumpParsedExpr(u"a ^ b * c Mod d - e & f < g And h Or i Xor j Eqv k Imp l"),
              "(Imp (Eqv (Xor (Or (And (< (& (- (Mod (* (^ a b) c) d) e) f) g) h) i) j) k) l)");
}

TEST(VbParserExpressions, BinaryOperatorsAreLeftAssociative) {
    EXPECT_EQ(DumpParsedExpr(u"2 ^ 3 ^ 2"), "(^ (^ 2 3) 2)");
    EXPECT_EQ(DumpParsedExpr(u"a - b - c"), "(- (- a b) c)");
    EXPECT_EQ(DumpParsedExpr(u"a / b * c"), "(* (/ a b) c)");
    EXPECT_EQ(DumpParsedExpr(u"a = b = c"), "(= (= a b) c)");
}

// A chain nests one node per operator on the left; freeing a very long one must not nest a
// native call per node (a million terms would exhaust the stack).
TEST(VbParserExpressions, AVeryLongChainIsFreedWithoutExhaustingTheStack) {
    std::u16string text = u"1";
    for (int i = 0; i < 1000000; ++i) text += u"+1";
    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(UString(text));
    ASSERT_NE(dynamic_cast<TXANVbBinaryOpExpr*>(tree.get()), nullptr);
    tree.reset();
}

TEST(VbParserExpressions, ComparisonOperators) {
    EXPECT_EQ(DumpParsedExpr(u"a > b"), "(> a b)");
    EXPECT_EQ(DumpParsedExpr(u"a >= b"), "(>= a b)");
    EXPECT_EQ(DumpParsedExpr(u"a < b"), "(< a b)");
    EXPECT_EQ(DumpParsedExpr(u"a <= b"), "(<= a b)");
    EXPECT_EQ(DumpParsedExpr(u"a <> b"), "(<> a b)");
    EXPECT_EQ(DumpParsedExpr(u"a Is b"), "(Is a b)");
    EXPECT_EQ(DumpParsedExpr(u"a Is Not Nothing"), "(IsNot a Nothing)");
    EXPECT_EQ(DumpParsedExpr(u"a Is Not b = c"), "(= (IsNot a b) c)");
}

TEST(VbParserExpressions, PrefixOperatorsBindTighterThanEveryBinaryOne) {
    EXPECT_EQ(DumpParsedExpr(u"Not 1 = 2"), "(= (not 1) 2)");
    EXPECT_EQ(DumpParsedExpr(u"-2 ^ 2"), "(^ (neg 2) 2)");
    EXPECT_EQ(DumpParsedExpr(u"+a"), "(pos a)");
    EXPECT_EQ(DumpParsedExpr(u"Not Not - + x"), "(not (not (neg (pos x))))");
    EXPECT_EQ(DumpParsedExpr(u"a * -b"), "(* a (neg b))");
    EXPECT_EQ(DumpParsedExpr(u"Not (a = b)"), "(not (= a b))");
}

TEST(VbParserExpressions, ParenthesesGroupWithoutANodeOfTheirOwn) {
    EXPECT_EQ(DumpParsedExpr(u"(a + b) * c"), "(* (+ a b) c)");
    EXPECT_EQ(DumpParsedExpr(u"(((1)))"), "1");
}

TEST(VbParserExpressions, TypeOfIsForm) {
    EXPECT_EQ(DumpParsedExpr(u"TypeOf x Is Foo"), "(TypeOf x Foo)");
    // The class is a level-8 operand; comparisons and logic bind looser.
    EXPECT_EQ(DumpParsedExpr(u"TypeOf x Is a & b"), "(TypeOf x (& a b))");
    EXPECT_EQ(DumpParsedExpr(u"TypeOf x Is Foo And y"), "(And (TypeOf x Foo) y)");
    EXPECT_EQ(DumpParsedExpr(u"a = TypeOf x Is Foo"), "(= a (TypeOf x Foo))");
    EXPECT_EQ(DumpParsedExpr(u"TypeOf TypeOf x Is A Is B"), "(TypeOf (TypeOf x A) B)");
    EXPECT_EQ(DumpParsedExpr(u"TypeOf a.b(1) Is c.D"), "(TypeOf a.b(1) c.D)");
}

TEST(VbParserExpressions, Designators) {
    EXPECT_EQ(DumpParsedExpr(u"a"), "a");
    EXPECT_EQ(DumpParsedExpr(u"a.b(1).c"), "a.b(1).c");
    EXPECT_EQ(DumpParsedExpr(u"f()"), "f()");
    EXPECT_EQ(DumpParsedExpr(u"f(1, x + 1)"), "f(1,(+ x 1))");
    EXPECT_EQ(DumpParsedExpr(u"[my var].[End]"), "my var.End");

    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(u"a(1)(2).b");
    auto* d = dynamic_cast<TXANVbDesignatorExpr*>(tree.get());
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->FItems.size(), 3u);
    EXPECT_EQ(d->FItems[0]->FStrName, u"a");
    EXPECT_EQ(d->FItems[0]->FBracketType, bkVbRound);
    EXPECT_FALSE(d->FItems[1]->IsNamed());
    EXPECT_EQ(d->FItems[1]->FName, -1);
    EXPECT_EQ(d->FItems[1]->FBracketType, bkVbRound);
    EXPECT_EQ(d->FItems[2]->FBracketType, bkNon);
    EXPECT_TRUE(d->FItems[2]->FIsResultUsed);
    EXPECT_EQ(d->FItems[2]->FName, GlobalNameTable().GetNameIndex(u"B", false));
}

TEST(VbParserExpressions, NameIdsComeFromTheCallbacksAndIgnoreCase) {
    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(u"SomeName + somename");
    auto* e = dynamic_cast<TXANVbBinaryOpExpr*>(tree.get());
    ASSERT_NE(e, nullptr);
    auto* l = dynamic_cast<TXANVbDesignatorExpr*>(e->FLeftExpr.get());
    auto* r = dynamic_cast<TXANVbDesignatorExpr*>(e->FRightExpr.get());
    ASSERT_TRUE(l && r);
    EXPECT_EQ(l->FItems[0]->FName, r->FItems[0]->FName);
    EXPECT_EQ(l->FItems[0]->FStrName, u"SomeName");
    EXPECT_EQ(r->FItems[0]->FStrName, u"somename");
}

TEST(VbParserExpressions, NewExpressions) {
    EXPECT_EQ(DumpParsedExpr(u"New Foo"), "New Foo!()");
    EXPECT_EQ(DumpParsedExpr(u"New a.B(1).C"), "New a.B!(1).C");
    EXPECT_EQ(DumpParsedExpr(u"New Foo()(2)"), "New Foo!()(2)");
    EXPECT_EQ(DumpParsedExpr(u"New Foo.Bar(1, 2)"), "New Foo.Bar!(1,2)");

    RecordingCallbacks cbs;
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(u"New a.B(1).C");
    auto* n = dynamic_cast<TXANVbNewExpr*>(tree.get());
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->FItems.size(), 4u);
    EXPECT_EQ(n->FNewCallItem, n->FItems[2].get());
    EXPECT_EQ(n->FNewCallItem->FBracketType, bkVbRound);
    EXPECT_FALSE(n->FNewCallItem->IsNamed());
}

TEST(VbParserExpressions, ExpressionPositions) {
    RecordingCallbacks cbs;
    //                                                     123456789012345678901
    std::unique_ptr<IXANEmitable> tree = TXANVbParser(&cbs).ParseExpr(u"-x + obj.Met(1) * 2");
    auto* plus = dynamic_cast<TXANVbBinaryOpExpr*>(tree.get());
    ASSERT_NE(plus, nullptr);
    EXPECT_EQ(plus->FSourcePos, 4);
    auto* neg = dynamic_cast<TXANVbUnaryOpExpr*>(plus->FLeftExpr.get());
    ASSERT_NE(neg, nullptr);
    EXPECT_EQ(neg->FSourcePos, 1);
    EXPECT_EQ(neg->FOperand->FSourcePos, 2);
    auto* mult = dynamic_cast<TXANVbBinaryOpExpr*>(plus->FRightExpr.get());
    ASSERT_NE(mult, nullptr);
    EXPECT_EQ(mult->FSourcePos, 17);
    EXPECT_EQ(mult->FRightExpr->FSourcePos, 19);  // the literal
    auto* d = dynamic_cast<TXANVbDesignatorExpr*>(mult->FLeftExpr.get());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->FSourcePos, 6);            // its first identifier
    EXPECT_EQ(d->FItems[0]->FSourcePos, 8);   // end of "obj"
    EXPECT_EQ(d->FItems[1]->FSourcePos, 12);  // end of "Met"

    tree = TXANVbParser(&cbs).ParseExpr(u"a(1)(2)");
    d = dynamic_cast<TXANVbDesignatorExpr*>(tree.get());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->FItems[1]->FSourcePos, 5);  // the '(' of the unnamed step

    tree = TXANVbParser(&cbs).ParseExpr(u"TypeOf x Is Y");
    EXPECT_EQ(dynamic_cast<TXANVbExpression*>(tree.get())->FSourcePos, 1);

    tree = TXANVbParser(&cbs).ParseExpr(u"New  a.B (1)");
    auto* n = dynamic_cast<TXANVbNewExpr*>(tree.get());
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->FSourcePos, 6);                 // the first identifier after New
    EXPECT_EQ(n->FNewCallItem->FSourcePos, 10);  // the token after the last name
}

}  // namespace
}  // namespace xan::vb::test
