#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "platform/rtl/MathUtil.h"
#include "platform/rtl/Random.h"
#include "tests/platform/rtl/RaiseCheck.h"

namespace xan::plat {
namespace {

using testing::RaisedMessage;

TEST(Random, AFixedSeedReplaysTheSequence) {
    SetRandSeed(12345);
    std::vector<double> first{Random(), Random(), Random()};
    Integer k = Random(1000);
    SetRandSeed(12345);
    EXPECT_EQ(Random(), first[0]);
    EXPECT_EQ(Random(), first[1]);
    EXPECT_EQ(Random(), first[2]);
    EXPECT_EQ(Random(1000), k);
}

TEST(Random, StateIsTheDocumentedStep) {
    SetRandSeed(0);
    EXPECT_EQ(Random(), 1013904223.0 / 4294967296.0);
    EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), 1013904223u);
    EXPECT_EQ(NextRandSeed(1013904223u), 1013904223u * 1664525u + 1013904223u);
    SetRandSeed(-1);
    EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), 0xFFFFFFFFu);
    // Random(N) takes the high half of state * N.
    std::uint32_t next = NextRandSeed(0xFFFFFFFFu);
    EXPECT_EQ(Random(10), static_cast<Integer>((std::uint64_t{next} * 10) >> 32));
}

TEST(Random, ValuesStayInRange) {
    SetRandSeed(7);
    for (int i = 0; i < 10000; ++i) {
        double r = Random();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        Integer n = Random(6);
        ASSERT_GE(n, 0);
        ASSERT_LT(n, 6);
    }
    EXPECT_EQ(Random(1), 0);
    EXPECT_EQ(RaisedMessage<ERangeError>([] { Random(0); }), u"Random range must be positive");
    EXPECT_EQ(RaisedMessage<ERangeError>([] { Random(-5); }), u"Random range must be positive");
}

TEST(Random, ConcurrentDrawsTakeOneStepEach) {
    SetRandSeed(99);
    std::uint32_t expected = 99;
    for (int i = 0; i < 4000; ++i) expected = NextRandSeed(expected);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i) Random();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), expected);
}

TEST(Random, RandomizeChangesTheSeed) {
    SetRandSeed(0);
    Randomize();
    Integer a = RandSeed();
    SetRandSeed(a);
    double x = Random();
    SetRandSeed(a);
    EXPECT_EQ(Random(), x);
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(0.49999999999999994), 0);
    EXPECT_EQ(Round(2.6), 3);
    EXPECT_EQ(Round(-2.6), -3);
    EXPECT_EQ(Round(4503599627370497.0), 4503599627370497);
}

TEST(Round, ValuesWithoutA64BitIntegerRaise) {
    const char16_t* msg = u"Invalid floating point operation";
    EXPECT_EQ(RaisedMessage<EInvalidOp>([] { Round(std::nan("")); }), msg);
    EXPECT_EQ(RaisedMessage<EInvalidOp>([] { Round(9223372036854775808.0); }), msg);
    EXPECT_EQ(RaisedMessage<EInvalidOp>([] { Trunc(-std::numeric_limits<double>::infinity()); }), msg);
    EXPECT_EQ(Trunc(-9223372036854775808.0), std::numeric_limits<Int64>::min());
}

TEST(Trunc, TowardZeroAndFracKeepsTheSign) {
    EXPECT_EQ(Trunc(-1.7), -1);
    EXPECT_EQ(Trunc(1.7), 1);
    EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
    EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
    EXPECT_TRUE(std::isnan(Frac(std::numeric_limits<double>::infinity())));
}

TEST(RoundTo, RoundsTheWrittenDecimalHalfToEven) {
    EXPECT_EQ(RoundTo(2.675, 2), 2.68);
    EXPECT_EQ(RoundTo(2.665, 2), 2.66);
    EXPECT_EQ(RoundTo(1.005, 2), 1.0);
    EXPECT_EQ(RoundTo(0.125, 2), 0.12);
    EXPECT_EQ(RoundTo(-0.135, 2), -0.14);
    EXPECT_EQ(RoundTo(9.995, 2), 10.0);
    EXPECT_EQ(RoundTo(99.5, 0), 100.0);
    EXPECT_EQ(RoundTo(98.5, 0), 98.0);
    EXPECT_EQ(RoundTo(1.5, 3), 1.5);
    EXPECT_EQ(RoundTo(1e300, 2), 1e300);
    EXPECT_EQ(RaisedMessage<ERangeError>([] { RoundTo(1.0, 17); }), u"Number of decimal places out of range");
    EXPECT_EQ(RaisedMessage<ERangeError>([] { RoundTo(1.0, -1); }), u"Number of decimal places out of range");
}

}  // namespace
}  // namespace xan::plat
