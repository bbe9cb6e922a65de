// Identity, parameter names, labels, value texts and properties as the host reads them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "effect_fixture.h"

namespace {

std::string numberText(float value) {
    char text[32];
    AudioEffect::float2string(value, text);
    return text;
}

std::string decibelText(float value) {
    char text[32];
    AudioEffect::dB2string(value, text);
    return text;
}

TEST(NumberText, FillsEightCharactersAndCutsInsteadOfRounding) {
    EXPECT_EQ(numberText(25.0f), "25.00000");
    EXPECT_EQ(numberText(0.0f), "0.000000");
    EXPECT_EQ(numberText(100.0f), "100.0000");
    EXPECT_EQ(numberText(-24.0f), "-24.0000");
    EXPECT_EQ(numberText(-100.0f), "-100.000");
    EXPECT_EQ(numberText(12.0f), "12.00000");
    EXPECT_EQ(numberText(0.999999f), "0.999998");  // the float lies below 0.999999: cut, not rounded
    EXPECT_EQ(numberText(1234567.0f), "1234567.");
    EXPECT_EQ(numberText(-9999999.5f), "Huge!");
    EXPECT_EQ(numberText(100000000.0f), "Huge!");
}

// Numbers whose digits alone fill the width keep every digit instead of losing the leading one.
TEST(NumberText, LargeNumbersKeepTheirLeadingDigit) {
    EXPECT_EQ(numberText(12345678.0f), "12345678.");
    EXPECT_EQ(numberText(-1234567.0f), "-1234567.");
}

TEST(DecibelText, OfTheValueItself) {
    EXPECT_EQ(decibelText(0.5f), "-6.02060");
    EXPECT_EQ(decibelText(0.25f), "-12.0412");
    EXPECT_EQ(decibelText(1.0f), "0.000000");
    EXPECT_EQ(decibelText(0.0f), "-oo");
    EXPECT_EQ(decibelText(-1.0f), "-oo");
}

TEST(Identity, NamesAndVersion) {
    EffectInstance fx;
    EXPECT_EQ(fx.text(effGetEffectName), "QZA Chordwell");
    EXPECT_EQ(fx.text(effGetProductString), "QZA Chordwell - string rezonator plug-in");
    EXPECT_EQ(fx.text(effGetProductString).size(), 40u);
    EXPECT_FALSE(fx.text(effGetVendorString).empty());
    EXPECT_LT(fx.text(effGetVendorString).size(), 64u);
    char buffer[64];
    EXPECT_EQ(fx.dispatch(effGetEffectName, 0, 0, buffer), 1);
    EXPECT_EQ(fx.dispatch(effGetVendorString, 0, 0, buffer), 1);
    EXPECT_EQ(fx.dispatch(effGetProductString, 0, 0, buffer), 1);
}

TEST(ParameterTexts, NamesAndLabelsByteForByte) {
    EffectInstance fx;
    const char* names[] = {" Output ", " Mix ", " Decay ", " Damp ", " Transpose ", " Tune ", " Detune ", " Bypass "};
    const char* labels[] = {"   dB   ", "    %    ", "    %    ", "    %    ", " st ", "  cents ", "    %   ", "  "};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(fx.text(effGetParamName, i), names[i]);
        EXPECT_EQ(fx.text(effGetParamLabel, i), labels[i]);
    }
}

TEST(ParameterTexts, FreshInstanceShowsTheDefaultPreset) {
    EffectInstance fx;
    EXPECT_EQ(fx.display(kOutput), "0.000000");
    EXPECT_EQ(fx.display(kMix), "25.00000");
    EXPECT_EQ(fx.display(kDecay), "25.00000");
    EXPECT_EQ(fx.display(kDamp), "25.00000");
    EXPECT_EQ(fx.display(kTranspose), "0.000000");
    EXPECT_EQ(fx.display(kTune), "0.000000");
    EXPECT_EQ(fx.display(kDetune), "0.000000");
    EXPECT_EQ(fx.display(kBypass), " process ");
}

TEST(ParameterTexts, ValueTextsAcrossTheRange) {
    EffectInstance fx;
    // Output shows the level of the gain the engine applies, 4·v²: 0 dB at 0.5, +12 dB at 1.
    fx.set(kOutput, 1.0f);
    EXPECT_EQ(fx.display(kOutput), "12.04120");
    fx.set(kOutput, 0.0f);
    EXPECT_EQ(fx.display(kOutput), "-oo");
    fx.set(kOutput, 0.25f);
    EXPECT_EQ(fx.display(kOutput), "-12.0412");
    fx.set(kOutput, 2.0f);  // above 1: +24 dB
    EXPECT_EQ(fx.display(kOutput), "24.08240");
    fx.set(kOutput, 1e-30f);  // a gain too small for a float is silence
    EXPECT_EQ(fx.display(kOutput), "-oo");

    fx.set(kTranspose, 0.0f);
    EXPECT_EQ(fx.display(kTranspose), "-24.0000");
    fx.set(kTranspose, 1.0f);
    EXPECT_EQ(fx.display(kTranspose), "24.00000");
    fx.set(kTranspose, 0.52f);  // the semitone the engine plays: its step rounds
    EXPECT_EQ(fx.display(kTranspose), "1.000000");
    fx.set(kTranspose, 0.48f);
    EXPECT_EQ(fx.display(kTranspose), "-1.00000");

    fx.set(kTune, 0.0f);
    EXPECT_EQ(fx.display(kTune), "-100.000");
    fx.set(kTune, 1.0f);
    EXPECT_EQ(fx.display(kTune), "100.0000");

    fx.set(kBypass, 0.5f);
    EXPECT_EQ(fx.display(kBypass), " bypassed ");
    fx.set(kBypass, 0.49f);
    EXPECT_EQ(fx.display(kBypass), " process ");

    fx.set(kDetune, 1.0f);
    EXPECT_EQ(fx.display(kDetune), "100.0000");
}

TEST(ParameterTexts, OutOfRangeIndicesWriteNothing) {
    EffectInstance fx;
    for (VstInt32 index : {8, -1, 1000, std::numeric_limits<VstInt32>::min()}) {
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            char buffer[16];
            std::memset(buffer, 'x', sizeof(buffer));
            fx.dispatch(opcode, index, 0, buffer);
            for (char c : buffer) EXPECT_EQ(c, 'x') << opcode << " " << index;
        }
    }
}

// Values far outside 0..1 must not overflow any whole-number conversion.
TEST(ParameterTexts, ExtremeValuesStayPrintable) {
    EffectInstance fx;
    for (float v : {1e30f, -1e30f, std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()}) {
        for (VstInt32 index = 0; index < 8; ++index) {
            fx.set(index, v);
            EXPECT_FALSE(fx.display(index).empty()) << index;
        }
    }
    fx.set(kTranspose, 1e30f);
    EXPECT_EQ(fx.display(kTranspose), "Huge!");
}

TEST(ParameterProperties, OnlyBypassHasThem) {
    EffectInstance fx;
    VstParameterProperties props;
    std::memset(&props, 0x55, sizeof(props));
    EXPECT_EQ(fx.dispatch(effGetParameterProperties, 7, 0, &props), 1);
    EXPECT_EQ(props.stepFloat, 1.0f);
    EXPECT_EQ(props.smallStepFloat, 1.0f);
    EXPECT_EQ(props.largeStepFloat, 1.0f);
    EXPECT_STREQ(props.label, " Bypass ");
    EXPECT_STREQ(props.shortLabel, " Bypass");
    EXPECT_EQ(props.flags, 5);
    EXPECT_EQ(props.minInteger, 0x55555555);  // left as the host passed it

    for (VstInt32 index = 0; index < 7; ++index) {
        std::memset(&props, 0x55, sizeof(props));
        EXPECT_EQ(fx.dispatch(effGetParameterProperties, index, 0, &props), 0);
        EXPECT_EQ(props.flags, 0x55555555);
    }
}

TEST(ParameterValues, StoredUnclampedAndReadBack) {
    EffectInstance fx;
    fx.set(kDecay, 0.75f);
    EXPECT_EQ(fx.get(kDecay), 0.75f);
    fx.set(kDamp, 1.5f);
    EXPECT_EQ(fx.get(kDamp), 1.5f);
    fx.set(kMix, -0.25f);
    EXPECT_EQ(fx.get(kMix), -0.25f);
    EXPECT_EQ(fx.get(8), 0.0f);
    EXPECT_EQ(fx.get(-1), 0.0f);
}

TEST(ParameterValues, NonFiniteValuesChangeNothing) {
    EffectInstance fx;
    fx.set(kDecay, 0.75f);
    for (float bad : {std::nanf(""), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()}) {
        for (VstInt32 index = 0; index < 8; ++index) {
            const float before = fx.get(index);
            fx.set(index, bad);
            EXPECT_EQ(fx.get(index), before);
        }
    }
    EXPECT_EQ(fx.display(kDecay), "75.00000");
    EXPECT_FALSE(std::isnan(fx.effect().getPresets()[0].values[kDecay]));
}

TEST(ParameterValues, OutputMixAndBypassStayAcrossPresets) {
    EffectInstance fx;
    fx.effect().selectPreset(2);
    fx.set(kMix, 0.8f);
    fx.set(kOutput, 0.3f);
    fx.set(kDecay, 0.9f);
    fx.effect().selectPreset(4);
    EXPECT_EQ(fx.get(kMix), 0.8f);
    EXPECT_EQ(fx.get(kOutput), 0.3f);
    EXPECT_EQ(fx.get(kDecay), 0.75f);  // "Almost reverb"'s own
    fx.effect().selectPreset(2);
    EXPECT_EQ(fx.get(kDecay), 0.9f);  // the change stayed with preset 2
}

}  // namespace
