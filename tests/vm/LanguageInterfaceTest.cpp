#include "vm/compiler/LanguageInterface.h"

#include <gtest/gtest.h>

namespace xan {
namespace {

using plat::UString;

TEST(LanguageInterface, ApostropheQuotingDoublesApostrophes) {
    EXPECT_EQ(QuoteDoubling(u"It's", u'\''), u"'It''s'");
    EXPECT_EQ(QuoteDoubling(u"", u'\''), u"''");
    EXPECT_EQ(QuoteDoubling(u"'", u'\''), u"''''");
    EXPECT_EQ(QuoteDoubling(u"say \"hi\"", u'\''), u"'say \"hi\"'");
}

TEST(LanguageInterface, DoubleQuoteQuotingKeepsApostrophes) {
    EXPECT_EQ(QuoteDoubling(u"It's", u'"'), u"\"It's\"");
    EXPECT_EQ(QuoteDoubling(u"a\"b", u'"'), u"\"a\"\"b\"");
    EXPECT_EQ(QuoteDoubling(u"\r\n\u263A", u'"'), u"\"\r\n\u263A\"");
}

}  // namespace
}  // namespace xan
