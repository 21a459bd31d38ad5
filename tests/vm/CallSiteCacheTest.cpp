#include "vm/bytecode/CallSiteCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <latch>
#include <thread>
#include <vector>

#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/compiler/Namespaces.h"
#include "vm/machine/ExternObjects.h"
#include "vm/machine/VMIndexes.h"

namespace xan {
namespace {

using plat::Variant;

// Only addresses matter to the cache: owners, scopes and procedures are stand-ins.
struct Stand {
    alignas(8) char owners[4] = {};
    alignas(8) char scopes[2] = {};
    alignas(8) std::uint64_t procs[4] = {};
    const void* Owner(int i) const { return &owners[i]; }
    const void* Scope(int i) const { return &scopes[i]; }
    const TXANProcObject* Proc(int i) const { return reinterpret_cast<const TXANProcObject*>(&procs[i]); }
};

class CallSiteCacheTest : public ::testing::Test {
protected:
    void StoreNow(const void* AOwner, const void* AScope, TXANSiteTarget ATarget) {
        cache.Store(AOwner, AScope, TXANCodeEpoch::Current(), ATarget);
    }
    TXANSiteTarget Find(const void* AOwner, const void* AScope) const { return cache.Lookup(AOwner, AScope); }

    TXANCallSiteCache cache;
    Stand s;
};

TEST(SiteTarget, EachKindComesBackAsStored) {
    Variant global;
    Variant stack[4];
    Variant args[3];
    alignas(8) std::uint64_t proc = 0;
    const auto* p = reinterpret_cast<const TXANProcObject*>(&proc);

    EXPECT_FALSE(TXANSiteTarget());
    const TXANSiteTarget procTarget = TXANSiteTarget::Proc(p);
    ASSERT_TRUE(procTarget);
    EXPECT_TRUE(procTarget.IsProc());
    EXPECT_EQ(procTarget.AsProc(), p);

    const TXANSiteTarget globalTarget = TXANSiteTarget::Global(&global);
    EXPECT_EQ(globalTarget.Kind(), TXANSiteTarget::tkGlobal);
    EXPECT_EQ(&globalTarget.Variable(stack, args), &global);

    // Slot 0 of either kind is still a target, not the empty one.
    const TXANSiteTarget local0 = TXANSiteTarget::Local(0);
    ASSERT_TRUE(local0);
    EXPECT_FALSE(local0.IsProc());
    EXPECT_EQ(&local0.Variable(stack, args), &stack[0]);
    EXPECT_EQ(&TXANSiteTarget::Local(3).Variable(stack, args), &stack[3]);
    const TXANSiteTarget param0 = TXANSiteTarget::Param(0);
    ASSERT_TRUE(param0);
    EXPECT_EQ(param0.Kind(), TXANSiteTarget::tkParam);
    EXPECT_EQ(&param0.Variable(stack, args), &args[0]);
    EXPECT_EQ(&TXANSiteTarget::Param(2).Variable(stack, args), &args[2]);
    // Another activation's slots: the same target, that activation's variable.
    Variant otherStack[4];
    EXPECT_EQ(&TXANSiteTarget::Local(1).Variable(otherStack, args), &otherStack[1]);

    // A built-in is neither a procedure nor a variable (the loop must not read it as one).
    alignas(8) std::uint64_t builtin = 0;
    auto* b = reinterpret_cast<TIntrinsic*>(&builtin);
    const TXANSiteTarget builtinTarget = TXANSiteTarget::Intrinsic(b);
    EXPECT_TRUE(builtinTarget.IsIntrinsic());
    EXPECT_FALSE(builtinTarget.IsProc() || builtinTarget.IsVariable());
    EXPECT_EQ(builtinTarget.AsIntrinsic(), b);
    EXPECT_TRUE(globalTarget.IsVariable() && local0.IsVariable() && param0.IsVariable());
    EXPECT_FALSE(procTarget.IsVariable() || local0.IsIntrinsic());
}

TEST_F(CallSiteCacheTest, AnEmptySiteAnswersNothingEvenForNoOwner) {
    EXPECT_FALSE(Find(s.Owner(0), s.Scope(0)));
    EXPECT_FALSE(Find(nullptr, nullptr));
}

TEST_F(CallSiteCacheTest, AStoredTargetAnswersOnlyItsOwnerAndScope) {
    StoreNow(s.Owner(0), s.Scope(0), TXANSiteTarget::Proc(s.Proc(1)));
    const TXANSiteTarget found = Find(s.Owner(0), s.Scope(0));
    ASSERT_TRUE(found);
    EXPECT_EQ(found.AsProc(), s.Proc(1));
    EXPECT_FALSE(Find(s.Owner(1), s.Scope(0)));  // another thread's record
    EXPECT_FALSE(Find(s.Owner(0), s.Scope(1)));  // the same site run in another scope
    EXPECT_FALSE(Find(nullptr, s.Scope(0)));     // a frame that has not looked its record up
}

TEST_F(CallSiteCacheTest, ANoOwnerStoreNeverAnswers) {
    StoreNow(nullptr, s.Scope(0), TXANSiteTarget::Local(1));
    EXPECT_FALSE(Find(nullptr, s.Scope(0)));
}

TEST_F(CallSiteCacheTest, ALaterStoreReplacesTheEntry) {
    StoreNow(s.Owner(0), s.Scope(0), TXANSiteTarget::Proc(s.Proc(0)));
    StoreNow(s.Owner(1), s.Scope(0), TXANSiteTarget::Param(2));
    EXPECT_FALSE(Find(s.Owner(0), s.Scope(0)));
    const TXANSiteTarget found = Find(s.Owner(1), s.Scope(0));
    ASSERT_TRUE(found);
    EXPECT_EQ(found.Kind(), TXANSiteTarget::tkParam);
}

TEST_F(CallSiteCacheTest, MovingTheEpochInvalidates) {
    StoreNow(s.Owner(0), s.Scope(0), TXANSiteTarget::Proc(s.Proc(0)));
    ASSERT_TRUE(Find(s.Owner(0), s.Scope(0)));
    TXANCodeEpoch::Advance();
    EXPECT_FALSE(Find(s.Owner(0), s.Scope(0)));
}

TEST_F(CallSiteCacheTest, AStampTakenBeforeAFreeIsStaleWhenStored) {
    // The machine reads the epoch before resolving: a free while it resolves makes
    // the stored answer one that never matches, not one that outlives what it points at.
    const std::uint32_t before = TXANCodeEpoch::Current();
    TXANCodeEpoch::Advance();
    cache.Store(s.Owner(0), s.Scope(0), before, TXANSiteTarget::Proc(s.Proc(0)));
    EXPECT_FALSE(Find(s.Owner(0), s.Scope(0)));
}

// What a site may remember points at bytecode (its own site and a procedure's code), a scope,
// a thread's machine record or a global variable's value: freeing any of them gives up every
// remembered answer, as a new object may take the freed one's address.
TEST(CodeEpoch, FreeingAnythingASiteMayPointAtMovesTheEpoch) {
    auto moves = [](auto&& AMakeAndFree) {
        const std::uint32_t before = TXANCodeEpoch::Current();
        AMakeAndFree();
        return TXANCodeEpoch::Current() != before;
    };
    EXPECT_TRUE(moves([] { TXANByteCode code; }));
    EXPECT_TRUE(moves([] { TGlobalObjectsNamespace scope(nullptr); }));
    EXPECT_TRUE(moves([] { TXANThreadVM record(nullptr, nullptr, nullptr, 0); }));
    EXPECT_TRUE(moves([] { TXANVarObject var(1, u"v"); }));
    EXPECT_FALSE(moves([] { Variant plain(7); }));
}

// Publishing a host object may hide a global a site found before; closing the table starts its
// change number again from 0, so the number alone could repeat an old state.
TEST(CodeEpoch, PublishingOrForgettingHostObjectsMovesTheEpoch) {
    TXANExternObjects table;
    const std::uint32_t start = TXANCodeEpoch::Current();
    ASSERT_TRUE(table.Add(nullptr, u"HostA", false));
    const std::uint32_t afterAdd = TXANCodeEpoch::Current();
    EXPECT_NE(afterAdd, start);
    EXPECT_FALSE(table.Add(nullptr, u"HostA", false));  // refused: nothing changed
    EXPECT_EQ(TXANCodeEpoch::Current(), afterAdd);
    table.Close();
    EXPECT_NE(TXANCodeEpoch::Current(), afterAdd);
}

// Threads that share a site store their own targets and read the site at the same time: a
// reader finds nothing or its own target, never a mix of two stores.
TEST_F(CallSiteCacheTest, ConcurrentStoresNeverYieldAMixedEntry) {
    constexpr int Threads = 4;
    constexpr int Rounds = 20000;
    std::latch start(Threads);
    std::atomic<int> wrong{0};
    std::atomic<int> hits{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&, t] {
            const void* owner = s.Owner(t);
            const void* scope = s.Scope(t % 2);
            start.arrive_and_wait();
            for (int i = 0; i < Rounds; ++i) {
                if (const TXANSiteTarget found = Find(owner, scope)) {
                    hits.fetch_add(1, std::memory_order_relaxed);
                    if (!found.IsProc() || found.AsProc() != s.Proc(t)) wrong.fetch_add(1);
                } else {
                    StoreNow(owner, scope, TXANSiteTarget::Proc(s.Proc(t)));
                }
            }
        });
    }
    for (std::thread& w : workers) w.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(hits.load(), 0);
}

}  // namespace
}  // namespace xan
