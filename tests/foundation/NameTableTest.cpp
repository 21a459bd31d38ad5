#include "foundation/NameTable.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/Exception.h"

using namespace xan;
using xan::plat::UString;

TEST(TXANNameTable, NamesAreCaseInsensitiveAndStoredUpperCased) {
    TXANNameTable t;
    const Integer id = t.GetNameIndex(u"Count", true);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(t.GetNameIndex(u"COUNT", false), id);
    EXPECT_EQ(t.GetNameIndex(u"count", true), id);
    EXPECT_EQ(t.GetName(id), u"COUNT");
    EXPECT_EQ(t.Count(), 1);
}

TEST(TXANNameTable, LookingUpWithoutCreatingRegistersNothing) {
    TXANNameTable t;
    t.GetNameIndex(u"First", true);
    EXPECT_EQ(t.GetNameIndex(u"Second", false), -1);
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t.GetNameIndex(u"Second", false), -1);
    EXPECT_EQ(t.GetNameIndex(u"Second", true), 1);  // the next free id
    EXPECT_EQ(t.GetNameIndex(u"SECOND", false), 1);
}

TEST(TXANNameTable, TheEmptyNameGetsAnIdLikeAnyOther) {
    TXANNameTable t;
    EXPECT_EQ(t.GetNameIndex(u"", false), -1);
    t.GetNameIndex(u"A", true);
    const Integer id = t.GetNameIndex(u"", true);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(t.GetNameIndex(u"", false), id);
    EXPECT_TRUE(t.GetName(id).empty());
}

TEST(TXANNameTable, IdsAreDenseInOrderOfFirstRegistration) {
    TXANNameTable t;
    constexpr int kNames = 1000;  // crosses several storage segments
    for (int i = 0; i < kNames; ++i) {
        ASSERT_EQ(t.GetNameIndex(UString::FromLatin1("name" + std::to_string(i)), true), i);
        ASSERT_EQ(t.GetNameIndex(UString::FromLatin1("NAME" + std::to_string(i / 2)), true), i / 2);
    }
    EXPECT_EQ(t.Count(), kNames);
    for (int i = 0; i < kNames; ++i) {
        const UString expected = UString::FromLatin1("NAME" + std::to_string(i));
        EXPECT_EQ(t.GetName(i), expected);
        TXANIdentifierItem* item = t.GetNameIndexes(i);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->IntData(), i);
        EXPECT_EQ(item->Name, expected);
        EXPECT_EQ(t.GetNameIndexes(i), item) << "items never move";
    }
}

TEST(TXANNameTable, UpperCasingIsLocaleIndependentAndCoversNonAsciiLetters) {
    TXANNameTable t;
    const Integer size = t.GetNameIndex(u"gr\u00F6\u00DFe", true);  // größe
    EXPECT_EQ(t.GetName(size), u"GR\u00D6\u00DFE");  // ß has no one-unit capital and stays
    EXPECT_EQ(t.GetNameIndex(u"GR\u00D6\u00DFE", false), size);
    EXPECT_EQ(t.GetNameIndex(u"GROSSE", false), -1);  // length-preserving: no expansion to SS

    const Integer summer = t.GetNameIndex(u"\u00E9t\u00E9", true);  // été
    EXPECT_EQ(t.GetNameIndex(u"\u00C9T\u00C9", false), summer);
    EXPECT_EQ(t.GetNameIndex(u"ete", false), -1);

    const Integer sigma = t.GetNameIndex(u"\u03C3\u03BF\u03C6\u03CC\u03C2", true);  // σοφός
    EXPECT_EQ(t.GetNameIndex(u"\u03A3\u039F\u03A6\u038C\u03A3", false), sigma);

    // 'i' upper-cases to the plain 'I' whatever the process locale.
    const Integer index = t.GetNameIndex(u"index", true);
    EXPECT_EQ(t.GetName(index), u"INDEX");

    const Integer cyr = t.GetNameIndex(u"\u0437\u043D\u0430\u0447", true);  // знач
    EXPECT_EQ(t.GetName(cyr), u"\u0417\u041D\u0410\u0427");
}

TEST(TXANNameTable, SupplementaryCharactersPassThroughUnchanged) {
    TXANNameTable t;
    const std::u16string emoji = u"x\U0001F600y";
    const Integer id = t.GetNameIndex(emoji, true);
    EXPECT_EQ(t.GetName(id), u"X\U0001F600Y");
    EXPECT_EQ(t.GetNameIndex(u"X\U0001F600Y", false), id);
}

TEST(TXANNameTable, AnIdTheTableNeverReturnedIsAnAssertionFailure) {
    TXANNameTable t;
    t.GetNameIndex(u"only", true);
    EXPECT_THROW(t.GetName(1), plat::RaisedException);
    EXPECT_THROW(t.GetName(-1), plat::RaisedException);
    EXPECT_THROW(t.GetNameIndexes(5), plat::RaisedException);
    EXPECT_EQ(t.GetName(0), u"ONLY");
}

TEST(GlobalNameTable, IsOneTableSharedByEveryone) {
    TXANNameTable& global = GlobalNameTable();
    EXPECT_EQ(&global, &GlobalNameTable());
    const Integer id = global.GetNameIndex(u"SharedNameForTheGlobalTableTest", true);
    EXPECT_EQ(GlobalNameTable().GetNameIndex(u"sharednamefortheglobaltabletest", false), id);
    EXPECT_EQ(GlobalNameTable().GetName(id), u"SHAREDNAMEFORTHEGLOBALTABLETEST");
}
