// Array elements passed by reference: cells written back when the taking call returns.
#include <gtest/gtest.h>

#include "platform/ole/SafeArray.h"
#include "vm/interp/ElementRefs.h"

namespace xan {
namespace {

using plat::Variant;

Variant IntArray(std::int32_t ACount) {
    const plat::SafeArray::Bound bound{0, ACount};
    return Variant::FromArray(plat::SafeArray::Create(plat::varInteger, std::span(&bound, 1)));
}

TXANArrayIndices Index(std::int32_t AIndex) {
    TXANArrayIndices idx;
    idx.Values[0] = AIndex;
    idx.Count = 1;
    return idx;
}

std::int32_t At(const Variant& AArray, std::int32_t AIndex) {
    Variant out;
    AArray.Array().Get(Index(AIndex).Span(), out);
    return out.VInteger;
}

TEST(ElementRefs, OnlyChangedCellsInTheCompletedRangeAreWrittenBack) {
    Variant array = IntArray(3);
    Variant slots[3];
    TXANElementRefs refs;
    *refs.Add(&array, Index(0), Variant(0), &slots[0]) = Variant(10);
    refs.Add(&array, Index(1), Variant(0), &slots[1]);  // untouched: the array's own change stays
    *refs.Add(&array, Index(2), Variant(0), &slots[2]) = Variant(30);
    Variant direct(7);
    XANPutElement(array, Index(1), direct);
    refs.Complete(&slots[0], &slots[2]);  // a call that took the first two slots
    EXPECT_EQ(At(array, 0), 10);
    EXPECT_EQ(At(array, 1), 7);
    EXPECT_EQ(At(array, 2), 0);  // its call has not returned yet
    EXPECT_TRUE(refs.Holds(&slots[2]));
    EXPECT_FALSE(refs.Holds(&slots[0]));
    refs.Complete(&slots[2], &slots[3]);
    EXPECT_EQ(At(array, 2), 30);
    EXPECT_TRUE(refs.Empty());
}

// outer[1] holds an inner array whose element 0 is passed on by reference (outer(1)(0)): the
// outer cell, released first, waits for the inner one, on both ways out of a call.
TEST(ElementRefs, AnInnerCellIsWrittenBackBeforeTheOuterOne) {
    for (const bool abandon : {false, true}) {
        const plat::SafeArray::Bound bound{0, 2};
        Variant outer = Variant::FromArray(plat::SafeArray::Create(plat::varVariant, std::span(&bound, 1)));
        const Variant inner = IntArray(1);
        XANPutElement(outer, Index(1), inner);
        Variant slots[2];
        TXANElementRefs refs;
        Variant element;
        outer.Array().Get(Index(1).Span(), element);
        Variant* outerCell = refs.Add(&outer, Index(1), element, &slots[0]);
        *refs.Add(outerCell, Index(0), Variant(0), &slots[1]) = Variant(9);
        refs.Complete(&slots[0], &slots[1]);  // the indexing call consumed the outer reference
        EXPECT_FALSE(refs.Empty()) << abandon;
        if (abandon)
            refs.Abandon();
        else
            refs.Complete(&slots[1], &slots[2]);
        Variant stored;
        outer.Array().Get(Index(1).Span(), stored);
        EXPECT_EQ(At(stored, 0), 9) << abandon;
        EXPECT_EQ(At(inner, 0), 0) << abandon;  // the other holder keeps its copy
        EXPECT_TRUE(refs.Empty()) << abandon;
    }
}

TEST(ElementRefs, AStoreThroughGoesToTheElementAtOnce) {
    Variant array = IntArray(2);
    Variant slot;
    TXANElementRefs refs;
    refs.Add(&array, Index(1), Variant(0), &slot);
    EXPECT_TRUE(refs.StoreThrough(&slot, Variant(5)));
    EXPECT_EQ(At(array, 1), 5);
    EXPECT_FALSE(refs.StoreThrough(&slot, Variant(6)));  // the cell is gone
    EXPECT_TRUE(refs.Empty());
}

TEST(ElementRefs, AWriteBackToAVanishedElementRaisesButAbandoningDropsIt) {
    Variant array = IntArray(4);
    Variant slots[2];
    TXANElementRefs refs;
    *refs.Add(&array, Index(3), Variant(0), &slots[0]) = Variant(1);
    *refs.Add(&array, Index(0), Variant(0), &slots[1]) = Variant(2);
    array = IntArray(1);  // the callee shrank the array
    EXPECT_ANY_THROW(refs.Complete(&slots[0], &slots[1]));
    EXPECT_FALSE(refs.Holds(&slots[0]));  // dropped even though its write-back failed
    array = Variant(u"no longer an array");
    refs.Abandon();  // an exception is in flight: the failing write-back is dropped
    EXPECT_TRUE(refs.Empty());
}

}  // namespace
}  // namespace xan
