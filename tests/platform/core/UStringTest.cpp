#include "platform/core/UString.h"

#include <gtest/gtest.h>

#include "platform/core/CharCase.h"

using namespace xan::plat;

TEST(UString, EmptyOwnsNoBufferAndIsNulTerminated) {
    UString s;
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(s.c_str()[0], u'\0');
    EXPECT_TRUE(UString(u"").empty());
}

TEST(UString, CopySharesBufferAndOutlivesOriginal) {
    UString b;
    {
        UString a(u"hello");
        b = a;
        EXPECT_TRUE(a.SharesBufferWith(b));
    }
    EXPECT_EQ(b, u"hello");
    EXPECT_EQ(b.c_str()[5], u'\0');
}

TEST(UString, ConcatenationAndSubstr) {
    UString a(u"abc");
    EXPECT_EQ(a + UString(u"def"), u"abcdef");
    EXPECT_TRUE((a + UString()).SharesBufferWith(a));
    EXPECT_EQ(a.Substr(1), u"bc");
    EXPECT_EQ(a.Substr(1, 1), u"b");
    EXPECT_TRUE(a.Substr(5).empty());
    EXPECT_TRUE(a.Substr(-3, 0).empty());
    EXPECT_EQ(a.Find(u"c"), 2);
    EXPECT_EQ(a.Find(u"x"), -1);
}

TEST(UString, AppendGrowsAnUnsharedBufferInPlaceAndNeverChangesASharedOne) {
    UString built(u"x");
    int moves = 0;
    for (int i = 0; i < 1000; ++i) {
        const char16_t* before = built.c_str();
        built.Append(u"yz");
        if (built.c_str() != before) ++moves;
    }
    EXPECT_EQ(built.length(), 2001);
    EXPECT_EQ(built[2000], u'z');
    EXPECT_EQ(built.c_str()[2001], u'\0');  // still NUL-terminated for the scanners
    EXPECT_LT(moves, 40);  // growth leaves room: not one copy per piece

    UString shared(u"abc");
    const UString other = shared;
    shared += UString(u"def");
    EXPECT_EQ(shared, u"abcdef");
    EXPECT_EQ(other, u"abc");
    EXPECT_FALSE(shared.SharesBufferWith(other));

    UString self(u"ab");
    self.Append(self.view());  // appending its own text, even when the buffer must grow
    EXPECT_EQ(self, u"abab");
    UString empty;
    empty.Append(u"");
    EXPECT_TRUE(empty.empty());
    empty.Append(u"q");
    EXPECT_EQ(empty, u"q");
}

TEST(UString, Utf8RoundTripIncludingSurrogatePairs) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80 \xE2\x82\xAC";
    UString u = UString::FromUtf8(text);
    EXPECT_EQ(u.length(), 10);  // the emoji takes two code units
    EXPECT_EQ(u[6], 0xD83D);
    EXPECT_EQ(u.ToUtf8(), text);
}

TEST(UString, InvalidUtf8BecomesReplacementCharacter) {
    UString u = UString::FromUtf8("a\xFF" "b\xC3");
    EXPECT_EQ(u, u"a\uFFFDb\uFFFD");
    // Overlong encodings are not accepted as the character they spell.
    EXPECT_EQ(UString::FromUtf8("\xC0\xAF")[0], 0xFFFD);
    // A lone surrogate has no UTF-8 form.
    EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
}

TEST(UString, OrderingIsByCodeUnit) {
    EXPECT_LT(UString(u"ABC"), UString(u"abc"));
    EXPECT_LT(UString(u"ab"), UString(u"abc"));
    EXPECT_EQ(UString(u"x"), UString(u"x"));
}

TEST(CharCase, IdentifierUpperCaseIsLocaleIndependentAndLengthPreserving) {
    EXPECT_EQ(IdentUpperCase(UString(u"straße")), u"STRAßE");  // no expansion to SS
    EXPECT_EQ(IdentUpperCase(UString(u"istanbul")), u"ISTANBUL");  // no dotted capital I
    EXPECT_EQ(IdentUpperCase(UString(u"über")), u"ÜBER");
    UString upper(u"ABC");
    EXPECT_TRUE(IdentUpperCase(upper).SharesBufferWith(upper));
    EXPECT_TRUE(IdentEquals(u"MyVar", u"MYVAR"));
    EXPECT_FALSE(IdentEquals(u"MyVar", u"MyVa"));
}
