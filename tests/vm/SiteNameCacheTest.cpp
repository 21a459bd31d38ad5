#include "vm/interp/SiteNameCache.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace xan {
namespace {

// Only addresses matter to the cache: sites and scopes are stand-ins.
struct Addresses {
    int sites[3] = {};
    alignas(8) char scopes[2] = {};
    const void* Site(int i) const { return &sites[i]; }
    const TXANAbstractNamespace* Scope(int i) const { return reinterpret_cast<const TXANAbstractNamespace*>(&scopes[i]); }
};

class SiteNameCacheTest : public ::testing::Test {
protected:
    std::unique_ptr<TXANSiteNameCache> cache = std::make_unique<TXANSiteNameCache>();
    Addresses a;
    TXANNameSearchRes out;
};

TEST_F(SiteNameCacheTest, AnEmptyCacheAnswersNothing) {
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
    EXPECT_FALSE(cache->Lookup(nullptr, nullptr, -1, out));  // the empty entry's own key
}

TEST_F(SiteNameCacheTest, AStoredResolutionAnswersTheSameSiteScopeAndName) {
    cache->Store(a.Site(0), a.Scope(0), 7, TXANNameSearchRes::LocalVar(3));
    ASSERT_TRUE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
    EXPECT_EQ(out.ObjKind, srLocalVar);
    EXPECT_EQ(out.LocalVarIndex, 3);
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(1), 7, out));  // the same site run in another scope
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 8, out));  // another name at that address
    EXPECT_FALSE(cache->Lookup(a.Site(1), a.Scope(0), 7, out));
}

TEST_F(SiteNameCacheTest, ALaterStoreForTheSiteReplacesTheEarlierOne) {
    cache->Store(a.Site(0), a.Scope(0), 7, TXANNameSearchRes::LocalVar(3));
    cache->Store(a.Site(0), a.Scope(1), 7, TXANNameSearchRes::LocalVar(5));
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
    ASSERT_TRUE(cache->Lookup(a.Site(0), a.Scope(1), 7, out));
    EXPECT_EQ(out.LocalVarIndex, 5);
}

TEST_F(SiteNameCacheTest, AnswersThatDependOnMoreThanTheSiteAreNotKept) {
    cache->Store(a.Site(0), a.Scope(0), 1, TXANNameSearchRes::NotFound());
    cache->Store(a.Site(1), a.Scope(0), 2, TXANNameSearchRes::Result());
    plat::Variant debugValue;
    cache->Store(a.Site(2), a.Scope(0), 3, TXANNameSearchRes::DebugVariable(&debugValue));
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 1, out));
    EXPECT_FALSE(cache->Lookup(a.Site(1), a.Scope(0), 2, out));
    EXPECT_FALSE(cache->Lookup(a.Site(2), a.Scope(0), 3, out));
}

TEST_F(SiteNameCacheTest, ClearForgetsEverything) {
    cache->Store(a.Site(0), a.Scope(0), 7, TXANNameSearchRes::LocalVar(3));
    cache->Clear();
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
}

TEST_F(SiteNameCacheTest, FreeingCodeAnywhereInvalidatesEveryCache) {
    TXANSiteNameCache other;
    cache->Store(a.Site(0), a.Scope(0), 7, TXANNameSearchRes::LocalVar(3));
    other.Store(a.Site(1), a.Scope(0), 7, TXANNameSearchRes::LocalVar(4));
    TXANCodeEpoch::Advance();
    EXPECT_FALSE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
    EXPECT_FALSE(other.Lookup(a.Site(1), a.Scope(0), 7, out));
    cache->Store(a.Site(0), a.Scope(0), 7, TXANNameSearchRes::LocalVar(6));  // refilled afterwards
    ASSERT_TRUE(cache->Lookup(a.Site(0), a.Scope(0), 7, out));
    EXPECT_EQ(out.LocalVarIndex, 6);
}

}  // namespace
}  // namespace xan

namespace xan {
namespace {

// Sites of one loop whose addresses share a slot must not keep evicting each other: the two
// last stored of any pair of sites both answer, wherever they fall in the table.
TEST(SiteNameCacheSlots, TwoSitesSharingASlotBothStayCached) {
    std::vector<char> heap(64 * 1024);
    Addresses scopes;
    const void* first = heap.data();
    for (std::size_t offset = 16; offset < heap.size(); offset += 16) {
        auto cache = std::make_unique<TXANSiteNameCache>();
        const void* second = heap.data() + offset;
        cache->Store(first, scopes.Scope(0), 1, TXANNameSearchRes::LocalVar(1));
        cache->Store(second, scopes.Scope(0), 2, TXANNameSearchRes::LocalVar(2));
        TXANNameSearchRes out;
        ASSERT_TRUE(cache->Lookup(first, scopes.Scope(0), 1, out)) << offset;
        EXPECT_EQ(out.LocalVarIndex, 1);
        ASSERT_TRUE(cache->Lookup(second, scopes.Scope(0), 2, out)) << offset;
        EXPECT_EQ(out.LocalVarIndex, 2);
        // Storing the first again (its answer changed) keeps the second.
        cache->Store(first, scopes.Scope(0), 1, TXANNameSearchRes::LocalVar(5));
        ASSERT_TRUE(cache->Lookup(first, scopes.Scope(0), 1, out)) << offset;
        EXPECT_EQ(out.LocalVarIndex, 5);
        ASSERT_TRUE(cache->Lookup(second, scopes.Scope(0), 2, out)) << offset;
    }
}

}  // namespace
}  // namespace xan
