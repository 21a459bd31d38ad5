#include "foundation/NameHashTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "platform/core/Exception.h"

using namespace xan;

namespace {

class TCountedNamedItem : public TXANNamedItem {
public:
    TCountedNamedItem(Integer name, int& destroyed) : TXANNamedItem(name), destroyed_(destroyed) {}
    ~TCountedNamedItem() override { ++destroyed_; }

private:
    int& destroyed_;
};

std::vector<Integer> IdsOf(const TXANNameHashTable& t) {
    std::vector<TXANNamedItem*> items;
    t.GetAll(items);
    std::vector<Integer> ids;
    for (auto* i : items) ids.push_back(i->FName);
    return ids;
}

std::size_t BucketOf(Integer id, Integer bucketCount) {
    return static_cast<std::uint32_t>(IntHash(id)) & static_cast<std::uint32_t>(bucketCount - 1);
}

// Ids that all fall into one bucket of a table with `bucketCount` buckets.
std::vector<Integer> IdsInOneBucket(int n, Integer bucketCount) {
    std::vector<Integer> ids;
    const std::size_t target = BucketOf(0, bucketCount);
    for (Integer id = 0; static_cast<int>(ids.size()) < n; ++id)
        if (BucketOf(id, bucketCount) == target) ids.push_back(id);
    return ids;
}

}  // namespace

TEST(TXANNameHashTable, FindsItemsByNameId) {
    TXANNameHashTable t(true);
    EXPECT_EQ(t.BucketCount(), 4);
    EXPECT_EQ(t.Find(0), nullptr);
    auto* a = new TXANNamedItem(10);
    auto* b = new TXANNamedItem(-3);  // ids are opaque integers to the table
    ASSERT_TRUE(t.Add(a));
    ASSERT_TRUE(t.Add(b));
    EXPECT_EQ(t.Find(10), a);
    EXPECT_EQ(t.Find(-3), b);
    EXPECT_EQ(t.Find(11), nullptr);
    EXPECT_EQ(t.Count(), 2);
}

TEST(TXANNameHashTable, SecondItemWithAnExistingIdIsRefused) {
    int destroyed = 0;
    TXANNameHashTable t(true);
    t.Add(new TCountedNamedItem(5, destroyed));
    TCountedNamedItem duplicate(5, destroyed);
    EXPECT_FALSE(t.Add(&duplicate));
    EXPECT_EQ(t.Count(), 1);
    EXPECT_NE(t.Find(5), &duplicate);
    EXPECT_EQ(destroyed, 0);
}

TEST(TXANNameHashTable, GrowsByDoublingAndKeepsEverythingFindable) {
    TXANNameHashTable t(true);
    for (Integer id = 0; id < 4; ++id) t.Add(new TXANNamedItem(id));
    EXPECT_EQ(t.BucketCount(), 4);
    t.Add(new TXANNamedItem(4));
    EXPECT_EQ(t.BucketCount(), 8);
    for (Integer id = 5; id < 3000; ++id) ASSERT_TRUE(t.Add(new TXANNamedItem(id * 7)));
    EXPECT_EQ(t.Count(), 3000);
    EXPECT_EQ(t.BucketCount(), 4096);
    for (Integer id = 0; id < 5; ++id) EXPECT_NE(t.Find(id), nullptr);
    for (Integer id = 5; id < 3000; ++id) {
        ASSERT_NE(t.Find(id * 7), nullptr);
        EXPECT_EQ(t.Find(id * 7)->FName, id * 7);
    }
    const auto ids = IdsOf(t);
    EXPECT_EQ(std::set<Integer>(ids.begin(), ids.end()).size(), 3000u);
}

TEST(TXANNameHashTable, RemovingFromABucketChain) {
    const auto chain = IdsInOneBucket(4, 4);
    for (Integer victim : chain) {
        TXANNameHashTable t(true);
        for (Integer id : chain) t.Add(new TXANNamedItem(id));
        ASSERT_EQ(t.BucketCount(), 4);
        EXPECT_TRUE(t.Remove(victim));
        EXPECT_FALSE(t.Remove(victim));
        EXPECT_EQ(t.Count(), 3);
        for (Integer id : chain)
            if (id != victim) {
                EXPECT_NE(t.Find(id), nullptr);
            }
        EXPECT_EQ(t.Find(victim), nullptr);
    }
}

TEST(TXANNameHashTable, GetAllVisitsBucketsInOrderNewestFirstWithinABucket) {
    TXANNameHashTable t(true);
    const auto chain = IdsInOneBucket(3, 4);
    for (Integer id : chain) t.Add(new TXANNamedItem(id));
    EXPECT_EQ(IdsOf(t), (std::vector<Integer>{chain[2], chain[1], chain[0]}));

    TXANNameHashTable spread(true);
    for (Integer id = 0; id < 20; ++id) spread.Add(new TXANNamedItem(id));
    const auto ids = IdsOf(spread);
    ASSERT_EQ(ids.size(), 20u);
    for (std::size_t i = 1; i < ids.size(); ++i) {
        const auto prev = BucketOf(ids[i - 1], spread.BucketCount()), cur = BucketOf(ids[i], spread.BucketCount());
        EXPECT_LE(prev, cur);
        if (prev == cur) {
            EXPECT_GT(ids[i - 1], ids[i]) << "within a bucket, later additions come first";
        }
    }
}

TEST(TXANNameHashTable, ARemovedItemCanJoinAnotherTable) {
    TXANNamedItem a(1000000);
    TXANNameHashTable first(false), second(false);
    const auto chain = IdsInOneBucket(2, 4);
    TXANNamedItem x(chain[0]), y(chain[1]);
    first.Add(&x);
    first.Add(&y);  // y's link now points at x
    ASSERT_TRUE(first.Remove(chain[1]));
    second.Add(&y);
    EXPECT_EQ(IdsOf(second), std::vector<Integer>{chain[1]});  // no stale link into the first table
    first.Clear();
    second.Clear();
    second.Add(&x);
    second.Add(&a);
    EXPECT_EQ(second.Count(), 2);
    EXPECT_EQ(IdsOf(second).size(), 2u);
}

TEST(TXANNameHashTable, OwnershipDecidesWhetherItemsAreDestroyed) {
    int destroyed = 0;
    {
        TXANNameHashTable owning(true);
        for (Integer id = 0; id < 6; ++id) owning.Add(new TCountedNamedItem(id, destroyed));
        owning.Remove(2);
        EXPECT_EQ(destroyed, 1);
        owning.Clear();
        EXPECT_EQ(destroyed, 6);
        EXPECT_EQ(owning.BucketCount(), 4);
        owning.Add(new TCountedNamedItem(9, destroyed));
    }
    EXPECT_EQ(destroyed, 7);

    int kept = 0;
    TCountedNamedItem p(1, kept), q(2, kept);
    {
        TXANNameHashTable borrowing(false);
        borrowing.Add(&p);
        borrowing.Add(&q);
        borrowing.Remove(1);
    }
    EXPECT_EQ(kept, 0);
}

TEST(TXANNameHashTable, NullItemIsAnAssertionFailure) {
    TXANNameHashTable t(true);
    EXPECT_THROW(t.Add(nullptr), plat::RaisedException);
}
