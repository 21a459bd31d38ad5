#include <gtest/gtest.h>

#include <string>

#include "vm/machine/VMSource.h"

namespace xan {
namespace {

using plat::UString;

struct LineCol {
    std::int32_t line, col;
    friend bool operator==(const LineCol&, const LineCol&) = default;
};

LineCol At(const TXANVMSource& s, std::int32_t pos) {
    LineCol r{};
    s.PosToLine(pos, r.line, r.col);
    return r;
}

struct PosLen {
    std::int32_t pos, len;
    friend bool operator==(const PosLen&, const PosLen&) = default;
};

PosLen Line(const TXANVMSource& s, std::int32_t line) {
    PosLen r{};
    s.LineToPos(line, r.pos, r.len);
    return r;
}

// Reference answer by walking the whole text from its start.
LineCol Naive(const std::u16string& t, std::int32_t pos) {
    std::int32_t line = 0, col = 1;
    for (std::int32_t i = 0; i + 1 < pos; ++i) {
        if (t[i] == u'\n' || (t[i] == u'\r' && !(i + 1 < static_cast<std::int32_t>(t.size()) && t[i + 1] == u'\n'))) {
            ++line;
            col = 1;
        } else {
            ++col;
        }
    }
    return {line, col};
}

TEST(TXANVMSource, CrLfPairBelongsToTheLineItEnds) {
    TXANVMSource s(u"a\r\nb");
    EXPECT_EQ(At(s, 1), (LineCol{0, 1}));
    EXPECT_EQ(At(s, 2), (LineCol{0, 2}));  // the CR
    EXPECT_EQ(At(s, 3), (LineCol{0, 3}));  // the LF of the pair
    EXPECT_EQ(At(s, 4), (LineCol{1, 1}));
    EXPECT_EQ(s.PosToLine(3), 0);
    EXPECT_EQ(Line(s, 0), (PosLen{1, 1}));
    EXPECT_EQ(Line(s, 1), (PosLen{4, 1}));
    EXPECT_EQ(Line(s, 5), (PosLen{-1, 0}));
}

TEST(TXANVMSource, LoneCrAndLoneLfEachEndALine) {
    TXANVMSource s(u"ab\rcd\nef\n\rg");
    EXPECT_EQ(At(s, 3), (LineCol{0, 3}));
    EXPECT_EQ(At(s, 4), (LineCol{1, 1}));
    EXPECT_EQ(At(s, 7), (LineCol{2, 1}));
    EXPECT_EQ(At(s, 9), (LineCol{2, 3}));   // LF ending line 2
    EXPECT_EQ(At(s, 10), (LineCol{3, 1}));  // LF CR is two breaks: the CR is line 3's break
    EXPECT_EQ(At(s, 11), (LineCol{4, 1}));
    EXPECT_EQ(Line(s, 1), (PosLen{4, 2}));
    EXPECT_EQ(Line(s, 3), (PosLen{10, 0}));  // an empty line starts at its break
    EXPECT_EQ(Line(s, 4), (PosLen{11, 1}));
}

TEST(TXANVMSource, PositionsOutsideTheTextGiveMinusOne) {
    TXANVMSource s(u"abc");
    EXPECT_EQ(At(s, 0), (LineCol{-1, -1}));
    EXPECT_EQ(At(s, 4), (LineCol{-1, -1}));
    EXPECT_EQ(At(s, -7), (LineCol{-1, -1}));
    EXPECT_EQ(Line(s, -1), (PosLen{-1, 0}));
    TXANVMSource empty;
    EXPECT_EQ(At(empty, 1), (LineCol{-1, -1}));
    EXPECT_EQ(Line(empty, 0), (PosLen{-1, 0}));
    EXPECT_EQ(empty.IndexLength(), 0);
}

TEST(TXANVMSource, TextEndingInALineBreakHasNoCharacterOnTheNextLine) {
    TXANVMSource s(u"x\r\n");
    EXPECT_EQ(Line(s, 0), (PosLen{1, 1}));
    EXPECT_EQ(Line(s, 1), (PosLen{-1, 0}));
}

TEST(TXANVMSource, IndexHasOneEntryPerThirtyTwoCharacters) {
    EXPECT_EQ(TXANVMSource(UString(std::u16string(32, u'a'))).IndexLength(), 1);
    EXPECT_EQ(TXANVMSource(UString(std::u16string(33, u'a'))).IndexLength(), 2);
    EXPECT_EQ(TXANVMSource(UString(std::u16string(65, u'a'))).IndexLength(), 3);
}

// Long texts with every kind of break falling on and around checkpoint characters: the
// indexed conversions must agree with a walk from the start, and LineToPos must invert them.
TEST(TXANVMSource, IndexedConversionsAgreeWithAFullWalk) {
    std::u16string t;
    const char16_t* breaks[] = {u"\r\n", u"\n", u"\r", u"\n\r"};
    for (int i = 0; i < 400; ++i) {
        t.append(static_cast<std::size_t>(i % 37), u'x');
        t += breaks[i % 4];
    }
    TXANVMSource s{UString(t)};
    for (std::int32_t pos = 1; pos <= static_cast<std::int32_t>(t.size()); ++pos)
        ASSERT_EQ(At(s, pos), Naive(t, pos)) << "position " << pos;
    const std::int32_t lastLine = Naive(t, static_cast<std::int32_t>(t.size())).line;
    for (std::int32_t line = 0; line <= lastLine; ++line) {
        const PosLen pl = Line(s, line);
        ASSERT_GT(pl.pos, 0) << "line " << line;
        EXPECT_EQ(At(s, pl.pos), (LineCol{line, 1})) << "line " << line;
        for (std::int32_t k = 0; k < pl.len; ++k) {
            const char16_t c = t[static_cast<std::size_t>(pl.pos - 1 + k)];
            ASSERT_TRUE(c != u'\r' && c != u'\n');
        }
    }
    EXPECT_EQ(Line(s, lastLine + 1), (PosLen{-1, 0}));
}

TEST(TXANVMSource, SetTextReplacesAndClearEmpties) {
    TXANVMSource s(u"a\nb");
    s.SetText(u"one\ntwo\nthree");
    EXPECT_EQ(Line(s, 2), (PosLen{9, 5}));
    s.Clear();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(Line(s, 0), (PosLen{-1, 0}));
}

}  // namespace
}  // namespace xan
