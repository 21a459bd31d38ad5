#include "lang/vb/VbScanner.h"

#include <gtest/gtest.h>

#include <cmath>

#include "VbScanSupport.h"

namespace xan::vb::test {
namespace {

using TokenList = std::vector<TXANVbToken>;

TEST(VbScanner, EmptySourceGivesEndOfLineThenEndOfFileForever) {
    TVBScanner s(true);
    s.Start(u"");
    EXPECT_EQ(s.Token(), ptEOl);
    EXPECT_EQ(s.TokenStartPos(), 1);
    EXPECT_EQ(s.TokenEndPos(), 1);
    for (int i = 0; i < 3; ++i) {
        s.SkipToken();
        EXPECT_EQ(s.Token(), ptEOf);
        EXPECT_EQ(s.TokenStartPos(), 1);
        EXPECT_EQ(s.TokenEndPos(), 1);
    }
}

TEST(VbScanner, ScannerWithoutSourceIsAtEndOfFileSafely) {
    TVBScanner s(true);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOl);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOf);
}

TEST(VbScanner, CarriageReturnLineFeedIsOneEndOfLine) {
    const std::vector<Scanned> expected = {
        {ptDim, 1, 3}, {ptIdentifier, 5, 5}, {ptEOl, 6, 7}, {ptEOl, 8, 8}, {ptEOf, 8, 8}};
    EXPECT_EQ(Positions(u"Dim x\r\n"), expected);
}

TEST(VbScanner, LoneLineFeedAndLoneCarriageReturnEndLines) {
    EXPECT_EQ(Positions(u"a\nb\rc"),
              (std::vector<Scanned>{{ptIdentifier, 1, 1}, {ptEOl, 2, 2}, {ptIdentifier, 3, 3},
                                    {ptEOl, 4, 4}, {ptIdentifier, 5, 5}, {ptEOl, 6, 6}, {ptEOf, 6, 6}}));
    // LF CR is two line ends, not one.
    EXPECT_EQ(Tokens(u"\n\r"), (TokenList{ptEOl, ptEOl, ptEOl}));
}

TEST(VbScanner, KeywordsIgnoreAsciiCase) {
    for (const char16_t* text : {u"END IF", u"End If", u"end if", u"eNd iF"})
        EXPECT_EQ(Tokens(text), (TokenList{ptEnd, ptIf, ptEOl})) << UString(text).ToUtf8();
}

TEST(VbScanner, EveryReservedWordOfTheTableIsRecognised) {
    int keywords = 0;
    for (std::size_t t = 0; t < XANVbTokenCount; ++t) {
        const TXANVbTokenDescription& d = XANVbTokenDescriptions[t];
        if (!d.IsKeyword) continue;
        ++keywords;
        TVBScanner s(true);
        s.Start(d.S);
        EXPECT_EQ(s.Token(), static_cast<TXANVbToken>(t)) << UString(d.S).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(d.S).length());
    }
    EXPECT_EQ(keywords, 47);
    EXPECT_EQ(LookupVbKeyword(u"SELECT"), prSelect);
    EXPECT_EQ(LookupVbKeyword(u"elseif"), ptElseIf);
}

TEST(VbScanner, WordsOutsideTheTableAreIdentifiers) {
    for (const char16_t* text : {u"Rem", u"Const", u"Wend", u"Each", u"Class", u"Me", u"Integer",
                                 u"Ends", u"Iff", u"x_1", u"Dim2"}) {
        TVBScanner s(true);
        s.Start(text);
        EXPECT_EQ(s.Token(), ptIdentifier) << UString(text).ToUtf8();
        EXPECT_EQ(s.SData(), UString(text));
    }
}

TEST(VbScanner, IdentifierKeepsItsCaseAndStopsAtNonAsciiLetters) {
    TVBScanner s(true);
    s.Start(u"MyVar_2 z");
    EXPECT_EQ(s.SData(), u"MyVar_2");
    EXPECT_EQ(s.TokenEndPos(), 7);
    // A character above U+00FF is a blank between tokens.
    s.Start(u"ab\u0416cd");
    EXPECT_EQ(s.SData(), u"ab");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"cd");
    EXPECT_EQ(s.TokenStartPos(), 4);
}

TEST(VbScanner, BracketedIdentifiers) {
    TVBScanner s(true);
    s.Start(u"[End] [my var] [If+1]");
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"End");
    EXPECT_EQ(s.TokenStartPos(), 1);
    EXPECT_EQ(s.TokenEndPos(), 5);
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"my var");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"If+1");
    EXPECT_EQ(s.TokenEndPos(), 21);
}

TEST(VbScanner, LineContinuationJoinsLines) {
    EXPECT_EQ(Tokens(u"x = 1 + _\r\n2"),
              (TokenList{ptIdentifier, ptEqual, ptCInteger, ptPlus, ptCInteger, ptEOl}));
    EXPECT_EQ(Tokens(u"x = 1 + _  \t\n2"),
              (TokenList{ptIdentifier, ptEqual, ptCInteger, ptPlus, ptCInteger, ptEOl}));
    EXPECT_EQ(Tokens(u"a _\rb"), (TokenList{ptIdentifier, ptIdentifier, ptEOl}));
    // At the end of the text it joins nothing and the final line end still comes.
    EXPECT_EQ(Tokens(u"a _"), (TokenList{ptIdentifier, ptEOl}));
    EXPECT_EQ(Positions(u"a _\r\nb")[1], (Scanned{ptIdentifier, 6, 6}));
}

TEST(VbScanner, StringsWithDoubledQuotes) {
    TVBScanner s(true);
    s.Start(u"\"He said \"\"hi\"\"\" \"\" \"a\u0416\"");
    EXPECT_EQ(s.Token(), ptCString);
    EXPECT_EQ(s.SData(), u"He said \"hi\"");
    EXPECT_EQ(s.TokenStartPos(), 1);
    EXPECT_EQ(s.TokenEndPos(), 16);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptCString);
    EXPECT_EQ(s.SData(), u"");
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"a\u0416");
    s.Start(u"\"\"\"\"");
    EXPECT_EQ(s.SData(), u"\"");
}

TEST(VbScanner, CommentsAreReturnedOrSkipped) {
    TVBScanner s(false);
    s.Start(u"x ' note\r\ny");
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptComment);
    EXPECT_EQ(s.SData(), u" note");
    EXPECT_EQ(s.TokenStartPos(), 3);
    EXPECT_EQ(s.TokenEndPos(), 8);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOl);
    EXPECT_EQ(Tokens(u"x ' note\r\ny"), (TokenList{ptIdentifier, ptEOl, ptIdentifier, ptEOl}));
    EXPECT_EQ(Tokens(u"' only a comment"), (TokenList{ptEOl}));
    EXPECT_EQ(Tokens(u"'", false), (TokenList{ptComment, ptEOl}));
}

TEST(VbScanner, RemIsNotAComment) {
    EXPECT_EQ(Tokens(u"Rem x"), (TokenList{ptIdentifier, ptIdentifier, ptEOl}));
}

TEST(VbScanner, OperatorsAndPunctuation) {
    EXPECT_EQ(Tokens(u"( ) * + , - . / \\ ^ : = < <= <> > >= &"),
              (TokenList{ptOpenRound, ptCloseRound, ptMultiply, ptPlus, ptComma, ptMinus, ptDot,
                         ptDivide, ptIntDivide, ptExp, ptColon, ptEqual, ptLess, ptLessEqual,
                         ptNotEqual, ptGreater, ptGreaterEqual, ptStrConcat, ptEOl}));
    // No blanks needed, and '=' is never an assignment token.
    EXPECT_EQ(Tokens(u"a<=b>=c<>d=e"),
              (TokenList{ptIdentifier, ptLessEqual, ptIdentifier, ptGreaterEqual, ptIdentifier,
                         ptNotEqual, ptIdentifier, ptEqual, ptIdentifier, ptEOl}));
    EXPECT_EQ(Positions(u"a<>b")[1], (Scanned{ptNotEqual, 2, 3}));
    // "><" is two tokens.
    EXPECT_EQ(Tokens(u"><"), (TokenList{ptGreater, ptLess, ptEOl}));
}

TEST(VbScanner, DecimalIntegers) {
    TVBScanner s(true);
    s.Start(u"0 42 2147483647 00012");
    EXPECT_EQ(s.Token(), ptCInteger);
    EXPECT_EQ(s.IData(), 0);
    s.SkipToken();
    EXPECT_EQ(s.IData(), 42);
    s.SkipToken();
    EXPECT_EQ(s.IData(), 2147483647);
    EXPECT_EQ(s.TokenStartPos(), 6);
    EXPECT_EQ(s.TokenEndPos(), 15);
    s.SkipToken();
    EXPECT_EQ(s.IData(), 12);
}

TEST(VbScanner, NumberIsNotCheckedForWhatFollows) {
    TVBScanner s(true);
    s.Start(u"12abc");
    EXPECT_EQ(s.Token(), ptCInteger);
    EXPECT_EQ(s.IData(), 12);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"abc");
}

TEST(VbScanner, Floats) {
    struct Case {
        const char16_t* text;
        long double value;
    };
    for (const Case& c : {Case{u"1.5", 1.5L}, Case{u"1.", 1.0L}, Case{u"1.5e-3", 0.0015L},
                          Case{u"2E10", 2e10L}, Case{u"2e+3", 2000.0L}, Case{u"3.25E2", 325.0L},
                          Case{u"1.e2", 100.0L}, Case{u"1e-400", 0.0L}}) {
        TVBScanner s(true);
        s.Start(c.text);
        EXPECT_EQ(s.Token(), ptCFloat) << UString(c.text).ToUtf8();
        EXPECT_NEAR(static_cast<double>(s.FData()), static_cast<double>(c.value),
                    std::fabs(static_cast<double>(c.value)) * 1e-15)
            << UString(c.text).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(c.text).length());
    }
}

TEST(VbScanner, NumberNeverStartsWithADot) {
    EXPECT_EQ(Tokens(u".5"), (TokenList{ptDot, ptCInteger, ptEOl}));
    // "1..2": the first dot belongs to the number, the second is a token of its own.
    EXPECT_EQ(Tokens(u"1..2"), (TokenList{ptCFloat, ptDot, ptCInteger, ptEOl}));
}

TEST(VbScanner, HexadecimalNumbers) {
    struct Case {
        const char16_t* text;
        int value;
    };
    for (const Case& c : {Case{u"&FF", 255}, Case{u"&ff", 255}, Case{u"&FFFFFFFF", -1},
                          Case{u"&7FFFFFFF", 2147483647}, Case{u"&80000000", INT32_MIN},
                          Case{u"&B", 11}, Case{u"&0", 0}, Case{u"&000000000001", 1}}) {
        TVBScanner s(true);
        s.Start(c.text);
        EXPECT_EQ(s.Token(), ptCInteger) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.IData(), c.value) << UString(c.text).ToUtf8();
        EXPECT_EQ(s.TokenEndPos(), UString(c.text).length());
    }
}

TEST(VbScanner, AmpersandWithoutHexDigitIsConcatenation) {
    EXPECT_EQ(Tokens(u"a & b"), (TokenList{ptIdentifier, ptStrConcat, ptIdentifier, ptEOl}));
    TVBScanner s(true);
    s.Start(u"&H10");
    EXPECT_EQ(s.Token(), ptStrConcat);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptIdentifier);
    EXPECT_EQ(s.SData(), u"H10");
    // "&O17" likewise: no octal prefix.
    EXPECT_EQ(Tokens(u"&O17"), (TokenList{ptStrConcat, ptIdentifier, ptEOl}));
}

TEST(VbScanner, DateLiteralToken) {
    TVBScanner s(true);
    s.Start(u"x = #2016/12/15 10:30 PM#");
    s.SkipToken();
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptCDate);
    EXPECT_EQ(s.TokenStartPos(), 5);
    EXPECT_EQ(s.TokenEndPos(), 25);
    EXPECT_DOUBLE_EQ(s.DData(), 42719.0 + 22.5 / 24.0);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOl);
}

TEST(VbScanner, CharactersAboveLatin1AreSkippedBetweenTokens) {
    EXPECT_EQ(Tokens(u"a\u2003b\uFEFF"), (TokenList{ptIdentifier, ptIdentifier, ptEOl}));
    EXPECT_EQ(Tokens(u"\uFEFFDim x"), (TokenList{ptDim, ptIdentifier, ptEOl}));
}

TEST(VbScanner, TokenTextsForMessages) {
    EXPECT_EQ(TokenToStr(ptEOl), u"'end of line'");
    EXPECT_EQ(TokenToStr(ptThen), u"'Then'");
    EXPECT_EQ(TokenToStr(ptIdentifier), u"'identifier'");
    EXPECT_EQ(TokenToStr(prSelect), u"'Select'");
    EXPECT_EQ(TokenToStr(ptAssignment), u"'='");
    EXPECT_EQ(TVBScanner::TokenToStr(ptEOf), u"'end of file'");
    EXPECT_EQ(XANVbTokenCount, 75u);
}

TEST(VbScanner, RollbackReturnsToTheSavedToken) {
    TVBScanner s(true);
    s.Start(u"Dim a, b");
    s.SkipToken();
    const TVbSavepoint sp = s.GetSavepoint();
    const Scanned before{s.Token(), s.TokenStartPos(), s.TokenEndPos()};
    const UString data = s.SData();
    s.SkipToken();
    s.SkipToken();
    EXPECT_EQ(s.SData(), u"b");
    s.Rollback(sp);
    EXPECT_EQ((Scanned{s.Token(), s.TokenStartPos(), s.TokenEndPos()}), before);
    EXPECT_EQ(s.SData(), data);
}

TEST(VbScanner, RollbackOntoTheFinalEndOfLineGivesItAgain) {
    TVBScanner s(true);
    s.Start(u"x");
    s.SkipToken();
    ASSERT_EQ(s.Token(), ptEOl);
    const TVbSavepoint atEol = s.GetSavepoint();
    s.SkipToken();
    ASSERT_EQ(s.Token(), ptEOf);
    const TVbSavepoint atEof = s.GetSavepoint();
    s.Rollback(atEol);
    EXPECT_EQ(s.Token(), ptEOl);
    EXPECT_EQ(s.TokenStartPos(), 2);
    s.Rollback(atEof);
    EXPECT_EQ(s.Token(), ptEOf);
}

TEST(VbScanner, StartRestartsOnNewText) {
    TVBScanner s(true);
    s.Start(u"a");
    s.SkipToken();
    s.SkipToken();
    ASSERT_EQ(s.Token(), ptEOf);
    s.Start(u"b");
    EXPECT_EQ(s.Token(), ptIdentifier);
    s.SkipToken();
    EXPECT_EQ(s.Token(), ptEOl);
}

TEST(VbScanner, PositionsCountUtf16CodeUnits) {
    // The surrogate pair of U+1F600 counts as two positions.
    EXPECT_EQ(Positions(u"\"\U0001F600\" x")[1], (Scanned{ptIdentifier, 6, 6}));
}

}  // namespace
}  // namespace xan::vb::test
