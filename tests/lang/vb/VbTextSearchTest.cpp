// The searches behind Split, Replace, InStr and InStrRev, and Filter's whole-text match.
#include <gtest/gtest.h>

#include "lang/vb/VbTextSearch.h"

namespace xan::vb::bitest {
namespace {


constexpr TVbCompareMode Binary = TVbCompareMode::Binary;
constexpr TVbCompareMode Text = TVbCompareMode::Text;

TEST(VbTextSearch, Forward) {
    EXPECT_EQ(SearchForward(u"abcabc", u"bc", 1, Binary), 2);
    EXPECT_EQ(SearchForward(u"abcabc", u"bc", 3, Binary), 5);
    EXPECT_EQ(SearchForward(u"abcabc", u"bc", 6, Binary), 0);
    EXPECT_EQ(SearchForward(u"abcabc", u"bc", -3, Binary), 2);
    EXPECT_EQ(SearchForward(u"abc", u"abcd", 1, Binary), 0);
    EXPECT_EQ(SearchForward(u"abc", u"", 1, Binary), 0);
    EXPECT_EQ(SearchForward(u"aBCabc", u"bc", 1, Binary), 5);
    EXPECT_EQ(SearchForward(u"aBCabc", u"bc", 1, Text), 2);
    EXPECT_EQ(SearchForward(u"x\u00E9y", u"\u00C9", 1, Text), 2);
    EXPECT_EQ(SearchForward(u"abc", u"c", 99, Text), 0);
}

TEST(VbTextSearch, BackwardStaysWithinThePrefix) {
    EXPECT_EQ(SearchBackward(u"abcabc", u"b", 6, Binary), 5);
    EXPECT_EQ(SearchBackward(u"abcabc", u"b", 4, Binary), 2);
    EXPECT_EQ(SearchBackward(u"abcabc", u"bc", 5, Binary), 2);
    EXPECT_EQ(SearchBackward(u"abcabc", u"bc", 6, Binary), 5);
    EXPECT_EQ(SearchBackward(u"abcabc", u"a", 0, Binary), 0);
    EXPECT_EQ(SearchBackward(u"abc", u"a", 99, Binary), 1);
    EXPECT_EQ(SearchBackward(u"abCabc", u"c", 4, Text), 3);
    EXPECT_EQ(SearchBackward(u"abCabc", u"c", 4, Binary), 0);
    EXPECT_EQ(SearchBackward(u"abc", u"", 3, Binary), 0);
}

TEST(VbTextSearch, WholeTextMatch) {
    EXPECT_TRUE(TextsMatch(u"abc", u"abc", Binary));
    EXPECT_FALSE(TextsMatch(u"abc", u"ABC", Binary));
    EXPECT_TRUE(TextsMatch(u"abc", u"ABC", Text));
    EXPECT_FALSE(TextsMatch(u"ab", u"abc", Text));
    EXPECT_TRUE(TextsMatch(u"", u"", Binary));
}

}  // namespace
}  // namespace xan::vb::bitest
