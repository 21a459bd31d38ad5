#include "lang/pascal/PasScanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "lang/pascal/PasCompilerError.h"

namespace xan::pas {
namespace {

using plat::UString;

struct Scanned {
    TXANPasToken token;
    int start, end;
};

std::vector<TXANPasToken> Tokens(const UString& source, bool skipComments = true) {
    TXANPasScanner s(skipComments);
    s.Start(source);
    std::vector<TXANPasToken> result;
    while (s.Token() != ptEOf) {
        result.push_back(s.Token());
        s.SkipToken();
    }
    return result;
}

std::vector<Scanned> Positions(const UString& source) {
    TXANPasScanner s(true);
    s.Start(source);
    std::vector<Scanned> result;
    for (;;) {
        result.push_back({s.Token(), s.TokenStartPos(), s.TokenEndPos()});
        if (s.Token() == ptEOf) return result;
        s.SkipToken();
    }
}

// Scans the whole source and returns the compile error it raises (message, position).
std::pair<UString, int> ErrorOf(const UString& source) {
    TXANPasScanner s(true);
    try {
        s.Start(source);
        while (s.Token() != ptEOf) s.SkipToken();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        auto* ce = dynamic_cast<EXANPasCompiler*>(e.get());
        if (!ce) return {UString(u"<not a Pascal compile error>"), -1};
        return {ce->Message(), ce->SourcePos()};
    }
    return {UString(u"<no error>"), 0};
}

TXANPasScanner ScanOne(const UString& source) {
    TXANPasScanner s(true);
    s.Start(source);
    return s;
}

TEST(PasScanner, EmptySourceIsEndOfFileAtPositionOne) {
    TXANPasScanner s(true);
    s.Start(UString());
    EXPECT_EQ(s.Token(), ptEOf);
    EXPECT_EQ(s.TokenStartPos(), 1);
    EXPECT_EQ(s.TokenEndPos(), 1);
    s.SkipToken();  // reading past the end stays at the end
    EXPECT_EQ(s.Token(), ptEOf);
}

TEST(PasScanner, EndOfFileSitsOnTheTerminator) {
    auto p = Positions(u"ab  ");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].token, ptEOf);
    EXPECT_EQ(p[1].start, 5);
    EXPECT_EQ(p[1].end, 5);
}

TEST(PasScanner, EveryReservedWordInAnyCase) {
    for (int t = 0; t < PasTokenCount; ++t) {
        const auto& d = PasTokenDescription(static_cast<TXANPasToken>(t));
        if (!d.IsKeyword) continue;
        std::u16string lower(d.S.view()), upper, mixed;
        for (std::size_t i = 0; i < lower.size(); ++i) {
            upper.push_back(lower[i] - 32);
            mixed.push_back(i % 2 ? lower[i] : lower[i] - 32);
        }
        for (const auto& text : {lower, upper, mixed}) {
            auto s = ScanOne(UString(text));
            EXPECT_EQ(s.Token(), t) << d.S.ToUtf8();
            EXPECT_EQ(s.TokenEndPos(), static_cast<int>(text.size()));
        }
    }
}

TEST(PasScanner, ThirtySevenReservedWords) {
    int keywords = 0;
    for (int t = 0; t < PasTokenCount; ++t) keywords += PasTokenDescription(static_cast<TXANPasToken>(t)).IsKeyword;
    EXPECT_EQ(keywords, 37);
    EXPECT_EQ(PasTokenCount, 64);
}

TEST(PasScanner, NonReservedWordsAreIdentifiersWithTheirCaseKept) {
    for (const char16_t* word : {u"Result", u"Exit", u"Integer", u"program", u"unit", u"type", u"with",
                                 u"_x1", u"beginx", u"Begin_", u"endd"}) {
        auto s = ScanOne(word);
        EXPECT_EQ(s.Token(), ptIdentifier);
        EXPECT_EQ(s.SData(), word);
    }
}

TEST(PasScanner, IdentifierStopsAtNonAsciiLetter) {
    // U+00E9 is an illegal character between tokens; U+0416 (above U+00FF) is a blank.
    TXANPasScanner s(true);
    s.Start(u"ab\u0416cd");
    EXPECT_EQ(s.SData(), u"ab");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"cd");
    EXPECT_EQ(s.TokenStartPos(), 4);
}

TEST(PasScanner, SymbolsAndTheirPositions) {
    auto p = Positions(u"/ = > >= < <= - * <> + := ] ) : , [ ( . .. ; @");
    std::vector<TXANPasToken> expected = {ptDivide, ptEqual, ptGreater, ptGreaterEqual, ptLess, ptLessEqual,
                                          ptMinus, ptMultiply, ptNotEqual, ptPlus, ptAssignment, ptCloseBlock,
                                          ptCloseRound, ptColon, ptComma, ptOpenBlock, ptOpenRound, ptPeriod,
                                          ptDoublePeriod, ptSemiColon, ptReference, ptEOf};
    ASSERT_EQ(p.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(p[i].token, expected[i]) << i;
    EXPECT_EQ(p[3].start, 7);  // >=
    EXPECT_EQ(p[3].end, 8);
    EXPECT_EQ(p[10].start, 24);  // :=
    EXPECT_EQ(p[10].end, 25);
}

TEST(PasScanner, SymbolsWithoutBlanks) {
    EXPECT_EQ(Tokens(u"a<>b<=c>=d:=e..f"),
              (std::vector<TXANPasToken>{ptIdentifier, ptNotEqual, ptIdentifier, ptLessEqual, ptIdentifier,
                                         ptGreaterEqual, ptIdentifier, ptAssignment, ptIdentifier, ptDoublePeriod,
                                         ptIdentifier}));
    EXPECT_EQ(Tokens(u"f(x)[1].y"),
              (std::vector<TXANPasToken>{ptIdentifier, ptOpenRound, ptIdentifier, ptCloseRound, ptOpenBlock,
                                         ptCInteger, ptCloseBlock, ptPeriod, ptIdentifier}));
}

TEST(PasScanner, RangeIsNotAFloat) {
    auto p = Positions(u"x:=1..2");
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0].token, ptIdentifier);
    EXPECT_EQ(p[1].token, ptAssignment);
    EXPECT_EQ(p[2].token, ptCInteger);
    EXPECT_EQ(p[2].start, 4);
    EXPECT_EQ(p[2].end, 4);
    EXPECT_EQ(p[3].token, ptDoublePeriod);
    EXPECT_EQ(p[4].token, ptCInteger);
    EXPECT_EQ(p[4].start, 7);
}

TEST(PasScanner, IntegerValues) {
    struct Case {
        const char16_t* text;
        int value;
    };
    for (Case c : {Case{u"0", 0}, {u"42", 42}, {u"2147483647", 2147483647}, {u"007", 7},
                   {u"$1F", 31}, {u"$1f", 31}, {u"$0", 0}, {u"$7FFFFFFF", 2147483647}, {u"$80000000", INT32_MIN},
                   {u"$FFFFFFFF", -1}, {u"$00000000FF", 255}}) {
        auto s = ScanOne(c.text);
        EXPECT_EQ(s.Token(), ptCInteger) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.IData(), c.value) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(c.text).length());
    }
}

TEST(PasScanner, FloatValues) {
    struct Case {
        const char16_t* text;
        long double value;
    };
    for (Case c : {Case{u"1.5", 1.5L}, {u"1.5e-3", 1.5e-3L}, {u"2E3", 2000.0L}, {u"2e+3", 2000.0L},
                   {u"0.25", 0.25L}, {u"1.", 1.0L}, {u"3.e2", 300.0L}, {u"2147483648.0", 2147483648.0L},
                   {u"1e-99999", 0.0L}}) {
        auto s = ScanOne(c.text);
        EXPECT_EQ(s.Token(), ptCFloat) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.FData(), c.value) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(c.text).length());
    }
}

TEST(PasScanner, FloatIgnoresProcessLocale) {
    // Script text always uses '.', whatever the C library's locale says.
    auto s = ScanOne(u"x := 1.5e-3");
    s.SkipToken();
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptCFloat);
    EXPECT_EQ(s.FData(), 1.5e-3L);
}

TEST(PasScanner, NumberFollowedByLetters) {
    TXANPasScanner s(true);
    s.Start(u"12abc");
    EXPECT_EQ(s.Token(), ptCInteger);
    EXPECT_EQ(s.IData(), 12);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"abc");
    EXPECT_EQ(s.TokenStartPos(), 3);
}

TEST(PasScanner, NumberErrors) {
    EXPECT_EQ(ErrorOf(u"$"), std::make_pair(UString(u"Syntax error in integer constant"), 1));
    EXPECT_EQ(ErrorOf(u"x $g"), std::make_pair(UString(u"Syntax error in integer constant"), 3));
    EXPECT_EQ(ErrorOf(u"2147483648"), std::make_pair(UString(u"Syntax error in integer constant"), 10));
    EXPECT_EQ(ErrorOf(u"  99999999999999999999 "), std::make_pair(UString(u"Syntax error in integer constant"), 22));
    EXPECT_EQ(ErrorOf(u"$100000000"), std::make_pair(UString(u"Syntax error in integer constant"), 10));
    EXPECT_EQ(ErrorOf(u"1e"), std::make_pair(UString(u"Syntax error in float constant"), 2));
    EXPECT_EQ(ErrorOf(u"1e+"), std::make_pair(UString(u"Syntax error in float constant"), 3));
    EXPECT_EQ(ErrorOf(u"a 1.2.3 b"), std::make_pair(UString(u"Syntax error in float constant"), 7));
    EXPECT_EQ(ErrorOf(u"1e99999"), std::make_pair(UString(u"Syntax error in float constant"), 7));
    EXPECT_EQ(ErrorOf(u"12else"), std::make_pair(UString(u"Syntax error in float constant"), 3));
}

TEST(PasScanner, StringValues) {
    struct Case {
        const char16_t* text;
        const char16_t* value;
    };
    for (Case c : {Case{u"'abc'", u"abc"}, {u"''", u""}, {u"'It''s'", u"It's"}, {u"''''", u"'"},
                   {u"#65#66'C'", u"ABC"}, {u"'a'#13#10'b'", u"a\r\nb"}, {u"#$263A", u"\u263A"},
                   {u"#$41'x'#$42", u"AxB"}, {u"#65601", u"A"} /* only the low 16 bits count */,
                   {u"'\u00e9\u4e2d{}(*//'", u"\u00e9\u4e2d{}(*//"}, {u"'a''''b'", u"a''b"}}) {
        auto s = ScanOne(c.text);
        EXPECT_EQ(s.Token(), ptCString) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.SData(), c.value) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(c.text).length()) << UString(c.text).ToUtf8();
    }
}

TEST(PasScanner, BlankEndsAString) {
    auto p = Positions(u"'a' #13");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].token, ptCString);
    EXPECT_EQ(p[0].end, 3);
    EXPECT_EQ(p[1].token, ptCString);
    EXPECT_EQ(p[1].start, 5);
    EXPECT_EQ(p[1].end, 7);
}

TEST(PasScanner, CharCodeEndsAtAPoint) {
    TXANPasScanner s(true);
    s.Start(u"#65.5");
    EXPECT_EQ(s.Token(), ptCString);
    EXPECT_EQ(s.SData(), u"A");
    EXPECT_EQ(s.TokenEndPos(), 3);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptPeriod);
}

TEST(PasScanner, StringErrors) {
    EXPECT_EQ(ErrorOf(u"x := 'abc\ny'"), std::make_pair(UString(u"Unterminated string"), 9));
    EXPECT_EQ(ErrorOf(u"'abc\r\n'"), std::make_pair(UString(u"Unterminated string"), 4));
    EXPECT_EQ(ErrorOf(u"'abc"), std::make_pair(UString(u"Unterminated string"), 4));
    EXPECT_EQ(ErrorOf(u"'"), std::make_pair(UString(u"Unterminated string"), 1));
    EXPECT_EQ(ErrorOf(u"'a'#"), std::make_pair(UString(u"Syntax error in integer constant"), 4));
    EXPECT_EQ(ErrorOf(u"#x"), std::make_pair(UString(u"Syntax error in integer constant"), 1));
    EXPECT_EQ(ErrorOf(u"#$"), std::make_pair(UString(u"Syntax error in integer constant"), 2));
    EXPECT_EQ(ErrorOf(u"#$1FFFFFFFF"), std::make_pair(UString(u"Syntax error in integer constant"), 11));
    EXPECT_EQ(ErrorOf(u"#2147483648"), std::make_pair(UString(u"Syntax error in integer constant"), 11));
    EXPECT_EQ(ErrorOf(u"'ab'#'c"), std::make_pair(UString(u"Syntax error in integer constant"), 5));
}

TEST(PasScanner, IllegalCharacters) {
    EXPECT_EQ(ErrorOf(u"x := \"a\""), std::make_pair(UString(u"Illegal character: '\"' ($22)"), 6));
    EXPECT_EQ(ErrorOf(u"a }"), std::make_pair(UString(u"Illegal character: '}' ($7D)"), 3));
    EXPECT_EQ(ErrorOf(u"\u00e9"), std::make_pair(UString(u"Illegal character: '\u00e9' ($E9)"), 1));
    EXPECT_EQ(ErrorOf(u"a ! b"), std::make_pair(UString(u"Illegal character: '!' ($21)"), 3));
    EXPECT_EQ(ErrorOf(u"a\u007f"), std::make_pair(UString(u"Illegal character: '\u007f' ($7F)"), 2));
    EXPECT_EQ(ErrorOf(u"a\u00ff"), std::make_pair(UString(u"Illegal character: '\u00ff' ($FF)"), 2));
    EXPECT_EQ(ErrorOf(u"%"), std::make_pair(UString(u"Illegal character: '%' ($25)"), 1));
}

TEST(PasScanner, CharactersAboveLatin1AreBlanksBetweenTokens) {
    EXPECT_EQ(Tokens(u"a\u263Ab\U0001F600c"), (std::vector<TXANPasToken>{ptIdentifier, ptIdentifier, ptIdentifier}));
    EXPECT_EQ(Tokens(u"\t\r\n\x01\x1f x"), (std::vector<TXANPasToken>{ptIdentifier}));
}

TEST(PasScanner, EmbeddedNulIsAnErrorNotTheEnd) {
    // Without this check everything behind the 0 would silently vanish from the script.
    const char16_t text[] = u"x := 1;\0 y := 2;";
    UString source(text, 16);
    EXPECT_EQ(ErrorOf(source), std::make_pair(UString(u"Illegal character: '#0' ($0)"), 8));
    const char16_t inString[] = u"'ab\0cd'";
    EXPECT_EQ(ErrorOf(UString(inString, 7)), ErrorOf(UString(u"'ab\ncd'")));
    EXPECT_EQ(ErrorOf(UString(inString, 7)), std::make_pair(UString(u"Unterminated string"), 3));
    const char16_t inComment[] = u"{ab\0cd}";
    EXPECT_EQ(ErrorOf(UString(inComment, 7)), std::make_pair(UString(u"Illegal character: '#0' ($0)"), 4));
    const char16_t inParenComment[] = u"(*\0*)";
    EXPECT_EQ(ErrorOf(UString(inParenComment, 5)), std::make_pair(UString(u"Illegal character: '#0' ($0)"), 3));
    const char16_t inLineComment[] = u"// a\0b";
    EXPECT_EQ(ErrorOf(UString(inLineComment, 6)), std::make_pair(UString(u"Illegal character: '#0' ($0)"), 5));
}

TEST(PasScanner, CommentsAreSkippedByDefault) {
    EXPECT_EQ(Tokens(u"a { c } b (* d *) c // e\n d"),
              (std::vector<TXANPasToken>{ptIdentifier, ptIdentifier, ptIdentifier, ptIdentifier}));
    EXPECT_TRUE(Tokens(u"{ only } (* comments *) // here").empty());
}

TEST(PasScanner, CommentTokensKeepTheirText) {
    TXANPasScanner s(false);
    s.Start(u"{ a } (* b *) // c\r\nx (*) still *) {}");
    EXPECT_EQ(s.Token(), ptComment);
    EXPECT_EQ(s.SData(), u"{ a }");
    EXPECT_EQ(s.TokenStartPos(), 1);
    EXPECT_EQ(s.TokenEndPos(), 5);
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"(* b *)");
    EXPECT_EQ(s.TokenStartPos(), 7);
    EXPECT_EQ(s.TokenEndPos(), 13);
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"// c");  // the line break is not part of it
    EXPECT_EQ(s.TokenEndPos(), 18);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"(*) still *)");  // "(*)" does not close the comment
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"{}");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOf);
}

TEST(PasScanner, UnclosedCommentsRunToTheEnd) {
    for (const char16_t* text : {u"x { unclosed", u"x (* unclosed", u"x (*)", u"x {", u"x //"}) {
        TXANPasScanner s(false);
        s.Start(text);
        s.SkipToken();
        EXPECT_EQ(s.Token(), ptComment) << UString(text).ToUtf8();
        EXPECT_EQ(s.SData(), UString(text).Substr(2));
        EXPECT_EQ(s.TokenEndPos(), UString(text).length());
        s.SkipToken();
        EXPECT_EQ(s.Token(), ptEOf);
    }
    EXPECT_TRUE(Tokens(u"{ unclosed").empty());
}

TEST(PasScanner, CommentsDoNotNest) {
    EXPECT_EQ(Tokens(u"{ { } x"), std::vector<TXANPasToken>{ptIdentifier});
    EXPECT_EQ(ErrorOf(u"{ { } x }"), std::make_pair(UString(u"Illegal character: '}' ($7D)"), 9));
}

TEST(PasScanner, SavepointAndRollback) {
    TXANPasScanner s(true);
    s.Start(u"begin x := 'a''b' { c } ; end");
    s.SkipToken();  // x
    auto save = s.GetSavepoint();
    Scanned before{s.Token(), s.TokenStartPos(), s.TokenEndPos()};
    s.SkipToken();
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptCString);
    s.Rollback(save);
    EXPECT_EQ(s.Token(), before.token);
    EXPECT_EQ(s.TokenStartPos(), before.start);
    EXPECT_EQ(s.TokenEndPos(), before.end);
    EXPECT_EQ(s.SData(), u"x");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptAssignment);
}

TEST(PasScanner, RollbackToEndOfFile) {
    TXANPasScanner s(true);
    s.Start(u"a");
    s.SkipToken();
    auto save = s.GetSavepoint();
    s.Rollback(save);
    EXPECT_EQ(s.Token(), ptEOf);
    EXPECT_EQ(s.TokenStartPos(), 2);
}

TEST(PasScanner, TokenToStrQuotesTheDescription) {
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptBegin), u"'begin'");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptEOf), u"'end of file'");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptAssignment), u"':='");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptIdentifier), u"'identifier'");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptCString), u"'string constant'");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptCInteger), u"'number'");
    EXPECT_EQ(TXANPasScanner::TokenToStr(ptCFloat), u"'real constant'");
}

TEST(PasScanner, ErrorIsACompileError) {
    TXANPasScanner s(true);
    try {
        s.Start(u"!");
        FAIL();
    } catch (const plat::RaisedException& r) {
        EXPECT_TRUE(r.Object()->Is<EXANCompileBase>());
        EXPECT_TRUE(r.Object()->Is<EXANPasCompiler>());
        EXPECT_EQ(r.Object()->ClassName(), u"EXANPasCompiler");
    }
}

TEST(PasScanner, ScannerCanBeRestarted) {
    TXANPasScanner s(true);
    s.Start(u"a b");
    s.Start(u"c");
    EXPECT_EQ(s.SData(), u"c");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOf);
    EXPECT_EQ(s.TokenStartPos(), 2);
}

TEST(PasScanner, LongInputsDoNotOverflow) {
    std::u16string digits(5000, u'9');
    EXPECT_EQ(ErrorOf(UString(digits)).first, u"Syntax error in integer constant");
    std::u16string id(100000, u'a');
    auto s = ScanOne(UString(id));
    EXPECT_EQ(s.SData().length(), 100000);
    std::u16string str = u"'" + std::u16string(100000, u'x') + u"'";
    EXPECT_EQ(ScanOne(UString(str)).SData().length(), 100000);
}

}  // namespace
}  // namespace xan::pas
