#include "foundation/IdentifierHashTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/core/Exception.h"

using namespace xan;
using xan::plat::UString;

namespace {

// Counts its own destruction, to tell owning from non-owning tables.
class TCountedItem : public TXANIdentifierItem {
public:
    TCountedItem(std::u16string_view name, int& destroyed) : TXANIdentifierItem(UString(name)), destroyed_(destroyed) {}
    ~TCountedItem() override { ++destroyed_; }

private:
    int& destroyed_;
};

// Every name here has the same StrHash (the leading unit is shifted out), so they share one
// bucket whatever the bucket count: a chain to exercise.
std::u16string Colliding(char16_t lead) { return std::u16string(1, lead) + std::u16string(16, u'q'); }

std::vector<std::u16string> NamesOf(const TXANIdentifierHashTable& t) {
    std::vector<TXANIdentifierItem*> items;
    t.GetAll(items);
    std::vector<std::u16string> names;
    for (auto* i : items) names.emplace_back(i->Name.view());
    return names;
}

}  // namespace

TEST(TXANIdentifierHashTable, StartsWithFourBucketsAndGrowsOnTheFifthItem) {
    TXANIdentifierHashTable t(true);
    EXPECT_EQ(t.BucketCount(), 4);
    const char16_t* names[] = {u"ALPHA", u"BETA", u"GAMMA", u"DELTA", u"EPSILON"};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(t.Add(new TXANIdentifierItem(UString(names[i]))));
    EXPECT_EQ(t.BucketCount(), 4);
    ASSERT_TRUE(t.Add(new TXANIdentifierItem(UString(names[4]))));
    EXPECT_EQ(t.BucketCount(), 8);
    EXPECT_EQ(t.Count(), 5);
    for (auto* n : names) {
        ASSERT_NE(t.Find(n), nullptr) << UString(n).ToUtf8();
        EXPECT_EQ(t.Find(n)->Name, n);
    }
    EXPECT_EQ(NamesOf(t).size(), 5u);
}

TEST(TXANIdentifierHashTable, KeysCompareExactly) {
    TXANIdentifierHashTable t(true);
    t.Add(new TXANIdentifierItem(UString(u"Count")));
    EXPECT_NE(t.Find(u"Count"), nullptr);
    EXPECT_EQ(t.Find(u"COUNT"), nullptr);
    EXPECT_EQ(t.Find(u"Coun"), nullptr);
    EXPECT_EQ(t.Find(u"Counts"), nullptr);
    EXPECT_FALSE(t.Remove(u"count"));
    EXPECT_EQ(t.Count(), 1);
}

TEST(TXANIdentifierHashTable, FindIdentifierMatchesAnySpellingOfAnUpperCasedName) {
    TXANIdentifierHashTable t(true);
    t.Add(new TXANIdentifierItem(UString(u"COUNT")));
    t.Add(new TXANIdentifierItem(UString(u"GR\u00D6SSE")));    // GRÖSSE
    t.Add(new TXANIdentifierItem(UString(u"\u00C9T\u00C9")));  // ÉTÉ
    EXPECT_EQ(t.FindIdentifier(u"count"), t.Find(u"COUNT"));
    EXPECT_EQ(t.FindIdentifier(u"cOuNt"), t.Find(u"COUNT"));
    EXPECT_EQ(t.FindIdentifier(u"gr\u00F6sse"), t.Find(u"GR\u00D6SSE"));
    EXPECT_EQ(t.FindIdentifier(u"\u00E9t\u00E9"), t.Find(u"\u00C9T\u00C9"));
    EXPECT_EQ(t.FindIdentifier(u"coun"), nullptr);
    EXPECT_EQ(t.FindIdentifier(u"ete"), nullptr);  // accents are not folded away
}

TEST(TXANIdentifierHashTable, TheEmptyNameIsAKeyLikeAnyOther) {
    TXANIdentifierHashTable t(true);
    EXPECT_EQ(t.Find(u""), nullptr);
    ASSERT_TRUE(t.Add(new TXANIdentifierItem(UString(), reinterpret_cast<void*>(7))));
    ASSERT_NE(t.Find(u""), nullptr);
    EXPECT_EQ(t.Find(u"")->IntData(), 7);
    EXPECT_EQ(t.FindIdentifier(u""), t.Find(u""));
    TXANIdentifierItem duplicate{UString()};
    EXPECT_FALSE(t.Add(&duplicate));
    EXPECT_EQ(t.Count(), 1);
}

TEST(TXANIdentifierHashTable, DuplicateIsRefusedAndStaysWithTheCaller) {
    int destroyed = 0;
    {
        TXANIdentifierHashTable t(true);
        ASSERT_TRUE(t.Add(new TCountedItem(u"X", destroyed)));
        TCountedItem second(u"X", destroyed);
        EXPECT_FALSE(t.Add(&second));
        EXPECT_EQ(t.Count(), 1);
        EXPECT_NE(t.Find(u"X"), &second);
        EXPECT_EQ(destroyed, 0);
    }
    EXPECT_EQ(destroyed, 2);  // the table's item, then the caller's own
}

TEST(TXANIdentifierHashTable, OwningTablesDestroyOnRemoveClearAndDestruction) {
    int destroyed = 0;
    {
        TXANIdentifierHashTable t(true);
        for (char16_t c = u'A'; c <= u'J'; ++c) t.Add(new TCountedItem(std::u16string(1, c), destroyed));
        EXPECT_TRUE(t.Remove(u"C"));
        EXPECT_EQ(destroyed, 1);
        EXPECT_FALSE(t.Remove(u"C"));
        t.Clear();
        EXPECT_EQ(destroyed, 10);
        EXPECT_EQ(t.Count(), 0);
        EXPECT_EQ(t.BucketCount(), 4);
        EXPECT_EQ(t.Find(u"A"), nullptr);
        t.Add(new TCountedItem(u"K", destroyed));
        EXPECT_NE(t.Find(u"K"), nullptr);
    }
    EXPECT_EQ(destroyed, 11);
}

TEST(TXANIdentifierHashTable, NonOwningTablesLeaveItemsAlone) {
    int destroyed = 0;
    TCountedItem a(u"A", destroyed), b(u"B", destroyed);
    {
        TXANIdentifierHashTable t(false);
        t.Add(&a);
        t.Add(&b);
        EXPECT_TRUE(t.Remove(u"A"));
        t.Clear();
        t.Add(&a);
    }
    EXPECT_EQ(destroyed, 0);
}

TEST(TXANIdentifierHashTable, RemovingFromAChainKeepsTheRestFindable) {
    const std::u16string lead = u"ABCDEF";
    for (char16_t victim : lead) {
        TXANIdentifierHashTable t(true);
        for (char16_t c : lead) ASSERT_TRUE(t.Add(new TXANIdentifierItem(UString(Colliding(c)))));
        ASSERT_TRUE(t.Remove(Colliding(victim)));
        EXPECT_EQ(t.Count(), 5);
        EXPECT_EQ(t.Find(Colliding(victim)), nullptr);
        for (char16_t c : lead)
            if (c != victim) {
                EXPECT_NE(t.Find(Colliding(c)), nullptr) << char(c) << " after removing " << char(victim);
            }
        EXPECT_EQ(NamesOf(t).size(), 5u);
    }
}

TEST(TXANIdentifierHashTable, RemovingTheTailThenAddingAgainWorks) {
    TXANIdentifierHashTable t(true);
    t.Add(new TXANIdentifierItem(UString(Colliding(u'A'))));  // the tail: the oldest item
    t.Add(new TXANIdentifierItem(UString(Colliding(u'B'))));
    ASSERT_TRUE(t.Remove(Colliding(u'A')));
    EXPECT_NE(t.Find(Colliding(u'B')), nullptr);
    ASSERT_TRUE(t.Remove(Colliding(u'B')));
    EXPECT_EQ(t.Count(), 0);
    EXPECT_TRUE(NamesOf(t).empty());
    t.Add(new TXANIdentifierItem(UString(Colliding(u'C'))));
    EXPECT_EQ(NamesOf(t), std::vector<std::u16string>{Colliding(u'C')});
}

TEST(TXANIdentifierHashTable, GetAllVisitsBucketsInOrderNewestFirstWithinABucket) {
    TXANIdentifierHashTable t(true);
    // With 4 buckets a one-unit name lands in bucket (unit & 3): A->1, B->2, C->3, D->0.
    for (const char16_t* n : {u"A", u"B", u"C", u"D"}) t.Add(new TXANIdentifierItem(UString(n)));
    EXPECT_EQ(NamesOf(t), (std::vector<std::u16string>{u"D", u"A", u"B", u"C"}));

    TXANIdentifierHashTable chain(true);
    for (char16_t c : std::u16string(u"PQR")) chain.Add(new TXANIdentifierItem(UString(Colliding(c))));
    EXPECT_EQ(NamesOf(chain), (std::vector<std::u16string>{Colliding(u'R'), Colliding(u'Q'), Colliding(u'P')}));

    std::vector<TXANIdentifierItem*> appended{nullptr};
    chain.GetAll(appended);
    EXPECT_EQ(appended.size(), 4u);  // appends, keeps what was there
    EXPECT_EQ(appended[0], nullptr);
}

TEST(TXANIdentifierHashTable, ManyItemsSurviveRepeatedGrowth) {
    TXANIdentifierHashTable t(true);
    constexpr int kCount = 5000;
    for (int i = 0; i < kCount; ++i) {
        auto* item = new TXANIdentifierItem(UString::FromLatin1("N" + std::to_string(i)));
        item->SetIntData(i);
        ASSERT_TRUE(t.Add(item));
    }
    EXPECT_EQ(t.Count(), kCount);
    EXPECT_EQ(t.BucketCount(), 8192);  // doubled from 4 whenever the count reached the bucket count
    for (int i = 0; i < kCount; ++i) {
        const UString key = UString::FromLatin1("N" + std::to_string(i));
        ASSERT_NE(t.Find(key), nullptr);
        EXPECT_EQ(t.Find(key)->IntData(), i);
    }
    for (int i = 0; i < kCount; i += 2) ASSERT_TRUE(t.Remove(UString::FromLatin1("N" + std::to_string(i))));
    EXPECT_EQ(t.Count(), kCount / 2);
    std::set<std::u16string> remaining;
    for (auto& n : NamesOf(t)) remaining.insert(n);
    EXPECT_EQ(remaining.size(), std::size_t(kCount / 2));
    EXPECT_EQ(remaining.count(u"N1"), 1u);
    EXPECT_EQ(remaining.count(u"N2"), 0u);
}

TEST(TXANIdentifierHashTable, NullItemIsAnAssertionFailure) {
    TXANIdentifierHashTable t(true);
    EXPECT_THROW(t.Add(nullptr), plat::RaisedException);
    EXPECT_EQ(t.Count(), 0);
}
