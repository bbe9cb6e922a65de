// The glide steps against their formulas written out literally, over ratios and
// targets around every threshold: the tune glide decides the slew-limited case early, and that
// shortcut must never change a result.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "dsp/glides.h"

namespace {

float literalTuneStep(float tuneRatio, float tuneTarget) {
    const double d = static_cast<double>(tuneTarget) - tuneRatio;
    if (static_cast<float>(std::fabs(d)) <= dsp::kTuneSnap) return tuneTarget;
    const float c = static_cast<float>(tuneRatio + dsp::kTuneGlideStep * d);
    if (static_cast<float>(std::fabs(static_cast<double>(c) - tuneRatio)) > dsp::kTuneSlewLimit) {
        return static_cast<float>(c > tuneRatio ? tuneRatio + dsp::kTuneSlewLimit : tuneRatio - dsp::kTuneSlewLimit);
    }
    return c;
}

float literalDetuneStep(float detuneAmount, float detuneTarget) {
    const double d = static_cast<double>(detuneTarget) - detuneAmount;
    if (static_cast<float>(std::fabs(d)) > dsp::kDetuneSnap) {
        return static_cast<float>(detuneAmount + dsp::kDetuneGlideStep * d);
    }
    return detuneTarget;
}

bool sameBits(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

TEST(Glides, TuneStepMatchesTheFormulaEverywhere) {
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Ratios and distances spread over the ranges where the shortcut starts and stops: ratio
    // magnitude around 4, distance around 0.1, and the exponential and snap zones below.
    const double ratios[] = {0.0, 0.25, 0.94388, 1.0, 1.05946, 3.999, 4.0, 4.001, 100.0, 3e38};
    const double distances[] = {0.0, 1e-7, 0.0015, 0.00151, 0.0799, 0.08, 0.0801, 0.09999, 0.1, 0.10001, 0.5, 5.0};
    int32_t checked = 0;
    for (const double ratio : ratios) {
        for (const double distance : distances) {
            for (int i = 0; i < 200; ++i) {
                const double jitter = 1.0 + (unit(gen) - 0.5) * 1e-3;
                for (const double sign : {1.0, -1.0}) {
                    const float r = static_cast<float>(ratio * jitter);
                    const float t = static_cast<float>(ratio * jitter + sign * distance * jitter);
                    float stepped = r;
                    dsp::glideTune(stepped, t);
                    ASSERT_TRUE(sameBits(stepped, literalTuneStep(r, t))) << r << " -> " << t;
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 40000);
}

TEST(Glides, DetuneStepMatchesTheFormula) {
    std::mt19937 gen(6);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        const float a = static_cast<float>(unit(gen) * 2.0);
        const float t = static_cast<float>(a + unit(gen) * (i % 2 == 0 ? 0.004 : 2.0));
        float stepped = a;
        dsp::glideDetune(stepped, t);
        ASSERT_TRUE(sameBits(stepped, literalDetuneStep(a, t))) << a << " -> " << t;
    }
}

TEST(Glides, GlidesComeToRestExactlyOnTheirTargets) {
    float tune = 0.94388f;
    float detune = 0.0f;
    int32_t samples = 0;
    while ((!dsp::atRest(tune, 1.05946f) || !dsp::atRest(detune, 1.0f)) && samples < 100000) {
        dsp::glideTune(tune, 1.05946f);
        dsp::glideDetune(detune, 1.0f);
        ++samples;
    }
    EXPECT_EQ(tune, 1.05946f);
    EXPECT_EQ(detune, 1.0f);
    EXPECT_LT(samples, 100000);
}

}  // namespace
