// The loop-length rule's read position for every delay the rule can produce: exactly the
// plain truncation while it fits in int32, the same result modulo the line beyond
// that, and a fixed place for non-finite delays. Every position stays inside the line.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "dsp/int_conversion.h"
#include "dsp/loop_length.h"

namespace {

using namespace dsp;

// The rule with a 64-bit integer part, valid while |writePos − D + 16384| < 2^63.
int32_t wideRule(int32_t writePos, double delay) {
    const double x = static_cast<double>(writePos) - delay + 16384.0;
    return static_cast<int32_t>(static_cast<int64_t>(x) & kLineMask);
}

TEST(ReadPosition, LoopOf401At44100Hz) {
    const double d = loopDelay(0, 44100.0, 0.0f, 1.0f, 1.0f);
    EXPECT_NEAR(d, 400.909, 1e-3);
    EXPECT_EQ((1000 - readPositionFor(1000, d)) & kLineMask, 401);
    EXPECT_EQ((5 - readPositionFor(5, d)) & kLineMask, 401);  // across the wrap
}

TEST(ReadPosition, WholeDelayKeepsItsLength) {
    EXPECT_EQ(readPositionFor(1000, 400.0), 600);
    EXPECT_EQ(readPositionFor(100, 400.0), 16084);
}

TEST(ReadPosition, AgreesWithWideIntegersFarBeyondInt32) {
    // Delays whose value to truncate lies beyond int32 on either side, up to 2^62, where a
    // plain cast would be undefined: a ratio near 0, a huge Detune, a huge sample rate.
    for (const double magnitude : {16384.5, 1e5, 2147483000.0, 2147483647.5, 2147483648.0, 2147500000.25, 3e9,
                                   1e12 + 0.75, 4611686018427387904.0}) {
        for (const double delay : {magnitude, -magnitude}) {
            for (const int32_t w : {0, 1, 8191, 16383}) {
                const int32_t p = readPositionFor(w, delay);
                EXPECT_EQ(p, wideRule(w, delay)) << "w " << w << " D " << delay;
                EXPECT_GE(p, 0);
                EXPECT_LE(p, kLineMask);
            }
        }
    }
}

TEST(ReadPosition, BeyondInt64StaysInsideTheLine) {
    for (const double delay : {1e20, -1e20, 1.7e308, -1.7e308, 1e300 / 3.0}) {
        const int32_t p = readPositionFor(77, delay);
        EXPECT_GE(p, 0);
        EXPECT_LE(p, kLineMask);
        // Above 2^53 every double is a whole number; its value modulo 16384 is exact.
        EXPECT_EQ(p, static_cast<int32_t>(std::fmod(77.0 - delay + 16384.0, 16384.0)) & kLineMask);
    }
}

TEST(ReadPosition, NonFiniteDelayReadsThePositionJustWritten) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    for (const double delay : {kInf, -kInf, std::nan("")}) {
        EXPECT_EQ(readPositionFor(1234, delay), 1234);
    }
    // What produces them: a ratio of 0 (Tune gliding to 0, Transpose far below) and, with a
    // numerator of 0 as well, NaN.
    EXPECT_TRUE(std::isinf(loopDelay(0, 44100.0, 0.0f, 0.0f, 1.0f)));
    EXPECT_EQ(loopDelay(0, 44100.0, 0.0f, 1.0f, std::numeric_limits<float>::infinity()), 0.0);
}

TEST(ReadPosition, TruncationSaturates) {
    EXPECT_EQ(truncateSaturating(2147483647.9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncateSaturating(-2147483648.9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncateSaturating(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(truncateSaturating(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(truncateSaturating(std::nan("")), 0);
    EXPECT_EQ(truncateSaturating(-7.9), -7);
}

}  // namespace
