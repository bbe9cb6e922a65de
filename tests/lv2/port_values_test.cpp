// The LV2 ports' units: the values hosts hold in user units map back to the normalised values
// the VST formats use, exactly where they are known values (defaults, factory presets), and
// within a millionth of full travel anywhere else.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "lv2/port_values.h"
#include "plugin/factory_presets.h"

using namespace chordwell_lv2;

namespace {

std::uint32_t bitsOf(float v) { return std::bit_cast<std::uint32_t>(v); }

}  // namespace

TEST(LV2PortValues, FactoryPresetValuesComeBackBitForBit) {
    for (const FactoryPreset& preset : kFactoryPresets)
        for (std::int32_t p = 0; p < kNumParams; ++p) {
            const float port = portValueOf(p, preset.values[p]);
            EXPECT_EQ(bitsOf(normalisedOfPort(p, port)), bitsOf(preset.values[p]))
                << preset.name << ", " << portSymbol(p) << " = " << port;
        }
}

TEST(LV2PortValues, RangeEndsAreTheEndsOfTravel) {
    for (std::int32_t p = 0; p < kNumParams; ++p) {
        const PortRange range = portRange(p);
        const bool inverted = kParameters[p].isBypass;  // "enabled" is 1 where Bypass is 0
        EXPECT_EQ(portValueOf(p, 0.0f), inverted ? range.maximum : range.minimum) << portSymbol(p);
        EXPECT_EQ(portValueOf(p, 1.0f), inverted ? range.minimum : range.maximum) << portSymbol(p);
        EXPECT_EQ(normalisedOfPort(p, range.minimum), inverted ? 1.0f : 0.0f) << portSymbol(p);
        EXPECT_EQ(normalisedOfPort(p, range.maximum), inverted ? 0.0f : 1.0f) << portSymbol(p);
    }
}

// Every continuous unit over a dense sweep of floats: the port value read back lands within a
// millionth of the value it came from, and gives that same port value again.
TEST(LV2PortValues, ContinuousUnitsRoundTripWithinAMillionth) {
    constexpr std::int32_t kContinuous[] = {kOutput, kMix, kDecay, kDamp, kTune, kDetune};
    constexpr int kSamples = 200000;
    for (const std::int32_t p : kContinuous) {
        double worst = 0.0;
        // Output below -90 dB is silence by design: the sweep starts where the unit has a value.
        const float start = p == kOutput ? normalisedOfPort(p, kSilentDecibels + 0.01f) : 0.0f;
        for (int i = 0; i <= kSamples; ++i) {
            const float v = start + (1.0f - start) * static_cast<float>(i) / kSamples;
            const float port = portValueOf(p, v);
            const float back = normalisedOfPort(p, port);
            worst = std::fmax(worst, std::fabs(static_cast<double>(back) - v));
            ASSERT_EQ(bitsOf(portValueOf(p, back)), bitsOf(port)) << portSymbol(p) << " at " << v;
        }
        EXPECT_LT(worst, 1e-6) << portSymbol(p);
        std::printf("%s: worst difference %.3g of full travel\n", portSymbol(p), worst);
    }
}

// Values a host may hold that no control of ours writes: fractions of a semitone, the toggle
// between its ends, numbers beyond the range, and what is no number at all.
TEST(LV2PortValues, OddPortValuesGiveTheNearestMeaningfulValue) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        std::int32_t index;
        float port;
        float expected;
    } const cases[] = {
        {kTranspose, 3.4f, 27.0f / 48.0f}, {kTranspose, -30.0f, 0.0f}, {kTranspose, 12.0f, 0.75f},
        {kBypass, 0.0f, 1.0f},            {kBypass, 0.7f, 0.0f},       {kBypass, 1.0f, 0.0f},
        {kOutput, -1000.0f, 0.0f},        {kOutput, 0.0f, 0.5f},       {kOutput, 40.0f, 1.0f},
        {kMix, 250.0f, 1.0f},             {kMix, -5.0f, 0.0f},         {kTune, nan, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalisedOfPort(c.index, c.port), c.expected) << portSymbol(c.index) << " = " << c.port;
}
