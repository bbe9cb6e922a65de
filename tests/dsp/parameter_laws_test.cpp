// The parameter laws at their documented values, and where an unclamped value would
// otherwise overflow a conversion or produce NaN.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/parameter_laws.h"

namespace {

using namespace dsp;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr float kHuge = 1e30f;

TEST(ParameterLaws, OutputGainIsFourTimesTheSquare) {
    EXPECT_EQ(outputGainLaw(0.5f), 1.0f);  // exactly 0 dB
    EXPECT_EQ(outputGainLaw(1.0f), 4.0f);
    EXPECT_EQ(outputGainLaw(0.0f), 0.0f);
    EXPECT_EQ(outputGainLaw(-0.5f), 1.0f);
}

TEST(ParameterLaws, DecayFeedbackAtTheListedValues) {
    EXPECT_NEAR(decayFeedbackLaw(0.0f, 1.0f), 0.92204, 5e-6);
    EXPECT_NEAR(decayFeedbackLaw(0.25f, 1.0f), 0.95929, 5e-6);
    EXPECT_NEAR(decayFeedbackLaw(0.5f, 1.0f), 0.97515, 5e-6);
    EXPECT_NEAR(decayFeedbackLaw(1.0f, 1.0f), 0.99804, 5e-6);
    // The transposition's exponent: two octaves down and up.
    EXPECT_NEAR(decayFeedbackLaw(1.0f, 0.25f), 0.99219, 5e-6);
    EXPECT_NEAR(decayFeedbackLaw(1.0f, 4.0f), 0.99951, 5e-6);
}

TEST(ParameterLaws, DecayBelowZeroActsAsZeroInsteadOfNaN) {
    const float atZero = decayFeedbackLaw(0.0f, 1.0f);
    EXPECT_EQ(decayFeedbackLaw(-0.01f, 1.0f), atZero);
    EXPECT_EQ(decayFeedbackLaw(-kHuge, 1.0f), atZero);
    EXPECT_EQ(decayFeedbackLaw(-0.0f, 1.0f), atZero);
}

TEST(ParameterLaws, DampCoefficient) {
    EXPECT_NEAR(dampCoefLaw(0.0f), 0.99729, 5e-6);
    EXPECT_NEAR(dampCoefLaw(0.5f), 0.73521, 5e-6);
    EXPECT_NEAR(dampCoefLaw(1.0f), 0.54201, 5e-6);
}

TEST(ParameterLaws, TransposeRoundsToWholeSemitones) {
    EXPECT_EQ(transposeRatioLaw(0.5f), 1.0f);   // exactly
    EXPECT_EQ(transposeRatioLaw(0.75f), 2.0f);  // 36.5 → 36
    EXPECT_EQ(transposeRatioLaw(0.26f), 0.5f);  // 12.98 → 12
    EXPECT_EQ(transposeRatioLaw(0.0f), 0.25f);
    EXPECT_EQ(transposeRatioLaw(1.0f), 4.0f);
    EXPECT_EQ(transposeStepLaw(0.505f), 24);    // still the same semitone as 0.5
    EXPECT_EQ(transposeStepLaw(0.52f), 25);     // rounds up
}

TEST(ParameterLaws, TransposeFarOutsideSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(transposeStepLaw(kHuge), kIntMax);
    EXPECT_EQ(transposeStepLaw(-kHuge), kIntMin);
    EXPECT_EQ(transposeStepLaw(std::numeric_limits<float>::max()), kIntMax);
    EXPECT_EQ(transposeRatioLaw(kHuge), std::numeric_limits<float>::infinity());
    EXPECT_EQ(transposeRatioLaw(-kHuge), 0.0f);
    EXPECT_EQ(transposeRatioLaw(100.0f), std::numeric_limits<float>::infinity());
}

TEST(ParameterLaws, TuneTarget) {
    EXPECT_NEAR(tuneTargetLaw(0.0f), 0.94388, 5e-6);
    EXPECT_NEAR(tuneTargetLaw(0.5f), 1.000002, 5e-7);
    EXPECT_NEAR(tuneTargetLaw(1.0f), 1.05946, 5e-6);
    EXPECT_EQ(tuneTargetLaw(-1e4f), 0.0f);
}

TEST(ParameterLaws, TuneTargetSaturatesAtTheLargestFloat) {
    // An infinite target would make the glide's distance inf − inf = NaN once a reset has set
    // the ratio to it, and the ratio would stay NaN for good.
    EXPECT_EQ(tuneTargetLaw(1e4f), std::numeric_limits<float>::max());
    EXPECT_EQ(tuneTargetLaw(kHuge), std::numeric_limits<float>::max());
}

TEST(ParameterLaws, BypassSwitchesAtOneHalf) {
    EXPECT_EQ(bypassLaw(0.5f), 1);
    EXPECT_EQ(bypassLaw(0.49f), 0);
    EXPECT_EQ(bypassLaw(0.0f), 0);
    EXPECT_EQ(bypassLaw(1.0f), 1);
    EXPECT_EQ(bypassLaw(-0.6f), 0);  // −0.1 truncates toward zero
    EXPECT_EQ(bypassLaw(kHuge), kIntMax);
    EXPECT_EQ(bypassLaw(-kHuge), kIntMin);
}

}  // namespace
