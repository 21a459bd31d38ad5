#include "foundation/HashFunctions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/HashTable.h"

using namespace xan;

namespace {
std::uint32_t U(Integer v) { return static_cast<std::uint32_t>(v); }
}  // namespace

TEST(StrHash, ShiftsTwoBitsPerCodeUnit) {
    EXPECT_EQ(StrHash(u""), 0);
    EXPECT_EQ(StrHash(u"A"), 65);
    EXPECT_EQ(StrHash(u"AB"), 65 * 4 + 66);
    EXPECT_EQ(StrHash(u"ABC"), (65 * 4 + 66) * 4 + 67);
    EXPECT_EQ(StrHash(u"\u00E9"), 0xE9);      // a code unit, not a byte of some encoding
    EXPECT_EQ(StrHash(u"\uFFFF"), 0xFFFF);
}

TEST(StrHash, WrapsAroundAtThirtyTwoBits) {
    // After 16 further units the first unit has been shifted out of the word entirely.
    const std::u16string tail(16, u'z');
    EXPECT_EQ(StrHash(u"X" + tail), StrHash(u"Y" + tail));
    EXPECT_NE(StrHash(u"X" + tail.substr(1)), StrHash(u"Y" + tail.substr(1)));
    // Large code units overflow the word: the result is still the 32-bit wrap, as a signed value.
    const std::u16string big(20, u'\uFFFF');
    std::uint32_t h = 0;
    for (int i = 0; i < 20; ++i) h = h * 4 + 0xFFFF;
    EXPECT_EQ(U(StrHash(big)), h);
}

TEST(IntHash, MatchesTheMixOnThirtyTwoBitWords) {
    EXPECT_EQ(U(IntHash(0)), 0xFF83EF00u);
    EXPECT_EQ(U(IntHash(1)), 0xFF83CEE7u);
    EXPECT_EQ(U(IntHash(2)), 0xFF83ACCEu);
    EXPECT_EQ(U(IntHash(42)), 0xFFFE6123u);
    EXPECT_EQ(U(IntHash(0x1234)), 0xFD62FC47u);
    EXPECT_EQ(U(IntHash(0x7FFFFFFF)), 0x80022956u);
    EXPECT_EQ(U(IntHash(-1)), 0x000021D6u);
}

TEST(PtrHash, IsIntHashOfTheFoldedAddress) {
    EXPECT_EQ(PtrHash(nullptr), IntHash(0));
    EXPECT_EQ(PtrHash(reinterpret_cast<void*>(std::uintptr_t(0x1234))), IntHash(0x1234));
    if constexpr (sizeof(void*) == 8) {
        // The high half is folded in, so addresses 4 GiB apart differ.
        const auto high = reinterpret_cast<void*>(std::uintptr_t(1) << 32 | 0x1234);
        EXPECT_EQ(PtrHash(high), IntHash(0x1234 ^ 1));
        EXPECT_NE(PtrHash(high), PtrHash(reinterpret_cast<void*>(std::uintptr_t(0x1234))));
    }
}

TEST(HashFunctions, AreReachableThroughTheTableClass) {
    EXPECT_EQ(TXANHashTable::StrHash(u"Name"), StrHash(u"Name"));
    EXPECT_EQ(TXANHashTable::IntHash(7), IntHash(7));
    int x = 0;
    EXPECT_EQ(TXANHashTable::PtrHash(&x), PtrHash(&x));
}
