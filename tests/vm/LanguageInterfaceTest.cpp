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

TEST(LanguageInterface, ABuiltinIsFoundByNameInAnyCaseAndTheFirstOfANameCounts) {
    static constexpr TXANBuiltin builtins[] = {
        {u"Len", nullptr}, {u"Mid", nullptr}, {u"MID", nullptr}, {u"Left", nullptr}};
    const struct {
        std::u16string_view name;
        const TXANBuiltin* found;
    } cases[] = {
        {u"Len", &builtins[0]}, {u"len", &builtins[0]}, {u"mId", &builtins[1]}, {u"LEFT", &builtins[3]},
        {u"Le", nullptr},       {u"Lens", nullptr},    {u"", nullptr},
    };
    for (const auto& c : cases) EXPECT_EQ(XANFindBuiltin(builtins, c.name), c.found) << UString(c.name).ToUtf8();
    EXPECT_EQ(XANFindBuiltin({}, u"Len"), nullptr);
}

}  // namespace
}  // namespace xan
