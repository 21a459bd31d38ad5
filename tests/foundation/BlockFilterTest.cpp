#include "foundation/BlockFilter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "platform/core/Exception.h"

using namespace xan;

namespace {

const void* Address(std::uintptr_t n) { return reinterpret_cast<const void*>(n * 16); }

// The owner's watched set, reported to the filter on rebuilds.
struct TWatchedSet {
    std::vector<const void*> addresses;
    int enumerations = 0;
    TXANEnumProc Enumerator() {
        return TXANEnumProc([this](const TXANEnumItemProc& item) {
            ++enumerations;
            for (const void* p : addresses) item(p);
        });
    }
};

// Addresses 1..n whose filter bits differ from each other and from `avoid`'s bit.
std::vector<const void*> DistinctAddresses(int n, const void* avoid) {
    TXANBlockFilter probe;
    std::vector<const void*> result;
    probe.WatchBlock(avoid, {});
    for (std::uintptr_t i = 1; static_cast<int>(result.size()) < n; ++i) {
        if (probe.MayBeWatched(Address(i))) continue;
        probe.WatchBlock(Address(i), {});
        result.push_back(Address(i));
    }
    return result;
}

}  // namespace

TEST(TXANBlockFilter, StartsEmptyAndWatchingSetsTheAddressBit) {
    TXANBlockFilter f;
    EXPECT_FALSE(f.MayBeWatched(Address(1)));
    EXPECT_FALSE(f.MayBeWatched(nullptr));
    TWatchedSet set{{Address(1)}};
    f.WatchBlock(Address(1), set.Enumerator());
    EXPECT_TRUE(f.MayBeWatched(Address(1)));
    EXPECT_EQ(set.enumerations, 0);
    EXPECT_EQ(f.WatchCallsSinceRebuild(), 1);
}

TEST(TXANBlockFilter, TheHundredthWatchRebuildsFromTheEnumerator) {
    const void* dropped = Address(1000000);
    const auto others = DistinctAddresses(TXANBlockFilter::kRebuildPeriod, dropped);
    TXANBlockFilter f;
    TWatchedSet set;
    f.WatchBlock(dropped, set.Enumerator());  // call 1; the owner forgets it again at once
    for (int i = 0; i < 98; ++i) {            // calls 2 .. 99
        set.addresses.push_back(others[i]);
        f.WatchBlock(others[i], set.Enumerator());
    }
    EXPECT_EQ(set.enumerations, 0);
    EXPECT_TRUE(f.MayBeWatched(dropped)) << "bits are only cleared by a rebuild";
    set.addresses.push_back(others[98]);
    f.WatchBlock(others[98], set.Enumerator());  // call 100
    EXPECT_EQ(set.enumerations, 1);
    EXPECT_EQ(f.WatchCallsSinceRebuild(), 0);
    EXPECT_FALSE(f.MayBeWatched(dropped));
    for (int i = 0; i < 99; ++i) EXPECT_TRUE(f.MayBeWatched(others[i])) << i;
    // The count starts again: the next rebuild is another hundred calls away.
    for (int i = 0; i < 99; ++i) f.WatchBlock(others[i % 99], set.Enumerator());
    EXPECT_EQ(set.enumerations, 1);
    f.WatchBlock(others[0], set.Enumerator());
    EXPECT_EQ(set.enumerations, 2);
}

TEST(TXANBlockFilter, CollectKeepsTheFilterWhenItCannotKnowBetter) {
    TXANBlockFilter f;
    f.WatchBlock(Address(7), {});
    f.Collect({});  // no enumerator: nothing is known about what is still watched
    EXPECT_TRUE(f.MayBeWatched(Address(7)));

    TXANEnumProc failing([](const TXANEnumItemProc&) { plat::Throw<plat::Exception>(u"enumeration failed"); });
    EXPECT_THROW(f.Collect(failing), plat::RaisedException);
    EXPECT_TRUE(f.MayBeWatched(Address(7)));

    TWatchedSet none;
    f.Collect(none.Enumerator());
    EXPECT_FALSE(f.MayBeWatched(Address(7)));
}

TEST(TXANBlockFilter, ItemProcOnlyAffectsTheSetBeingRebuilt) {
    TXANBlockFilter f;
    f.ItemProc(Address(3));
    EXPECT_FALSE(f.MayBeWatched(Address(3)));
    TWatchedSet set{{Address(4)}};
    f.Collect(set.Enumerator());
    EXPECT_FALSE(f.MayBeWatched(Address(3))) << "a rebuild starts from an empty set";
    EXPECT_TRUE(f.MayBeWatched(Address(4)));
}
