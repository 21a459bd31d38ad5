#include <gtest/gtest.h>

#include "vm/interp/StackPool.h"

namespace xan {
namespace {

using plat::Variant;

TEST(StackPool, HandsOutConsecutiveEmptySlotsLastInFirstOut) {
    TXANStackPool pool;
    Variant* a = pool.AsquireStack(10);
    Variant* b = pool.AsquireStack(20);
    EXPECT_EQ(b, a + 10);
    EXPECT_EQ(pool.ChunkCount(), 1);
    b[0] = Variant(u"string");
    pool.ReleaseStack(20);
    Variant* c = pool.AsquireStack(5);
    EXPECT_EQ(c, b);
    EXPECT_TRUE(c[0].IsEmpty());  // released slots were cleared
    pool.ReleaseStack(5);
    pool.ReleaseStack(10);
}

TEST(StackPool, LargeRequestsGetTheirOwnChunkThatGoesAwayWhenReleased) {
    TXANStackPool pool;
    Variant* small = pool.AsquireStack(200);
    Variant* big = pool.AsquireStack(1000);  // does not fit the first chunk
    EXPECT_EQ(pool.ChunkCount(), 2);
    big[999] = Variant(7);
    pool.ReleaseStack(1000);
    EXPECT_EQ(pool.ChunkCount(), 1);
    Variant* again = pool.AsquireStack(300);  // reuses the kept chunk, no allocation
    EXPECT_EQ(pool.ChunkCount(), 2);
    EXPECT_EQ(again, big);
    EXPECT_TRUE(again[0].IsEmpty());
    pool.ReleaseStack(300);
    Variant* next = pool.AsquireStack(56);
    EXPECT_EQ(next, small + 200);  // the first chunk stays in use
    pool.ReleaseStack(56);
    pool.ReleaseStack(200);
    EXPECT_EQ(pool.ChunkCount(), 1);
}

TEST(StackPool, ReturningToAnEarlierChunkResumesAtItsTop) {
    TXANStackPool pool;
    Variant* a = pool.AsquireStack(200);
    Variant* b = pool.AsquireStack(100);  // 56 left in the first chunk: a second one
    Variant* c = pool.AsquireStack(100);
    EXPECT_EQ(c, b + 100);
    EXPECT_EQ(pool.ChunkCount(), 2);
    pool.ReleaseStack(100);
    pool.ReleaseStack(100);
    EXPECT_EQ(pool.ChunkCount(), 1);
    Variant* d = pool.AsquireStack(56);  // exactly the first chunk's rest
    EXPECT_EQ(d, a + 200);
    Variant* e = pool.AsquireStack(1);  // the emptied chunk comes back
    EXPECT_EQ(e, b);
    pool.ReleaseStack(1);
    pool.ReleaseStack(56);
    pool.ReleaseStack(200);
}

TEST(StackPool, ReleasingWithADirtyCountClearsOnlyThoseSlots) {
    TXANStackPool pool;
    Variant* a = pool.AsquireStack(4);
    a[0] = Variant(u"released");
    a[1] = Variant(1);
    pool.ReleaseStack(4, 1);
    EXPECT_TRUE(a[0].IsEmpty());
    EXPECT_EQ(a[1].VInteger, 1);  // the caller promised Empty slots there; nothing touched them
    a[1].Clear();
}

TEST(StackPool, ZeroSlotsIsAValidRequest) {
    TXANStackPool pool;
    Variant* p = pool.AsquireStack(0);
    EXPECT_NE(p, nullptr);
    pool.ReleaseStack(0);
    EXPECT_EQ(pool.ChunkCount(), 1);
}

}  // namespace
}  // namespace xan
