// The readout texts of the editor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "dsp/resonator_bank.h"
#include "editor/value_conversions.h"

namespace {

std::string convert(void (*function)(float, char*), float value) {
    char text[32];
    function(value, text);
    return text;
}

TEST(ReadoutTexts, Percent) {
    EXPECT_EQ(convert(percentStringConvert, 0.0f), "0%");
    EXPECT_EQ(convert(percentStringConvert, 0.5f), "50%");
    EXPECT_EQ(convert(percentStringConvert, 1.0f), "100%");
    EXPECT_EQ(convert(percentStringConvert, 0.57f), "56%");  // the float lies just below 0.57
    EXPECT_EQ(convert(percentStringConvert, 1e30f), "2147483647%");
}

TEST(ReadoutTexts, Cents) {
    EXPECT_EQ(convert(centsStringConvert, 0.5f), "0c");
    EXPECT_EQ(convert(centsStringConvert, 0.0f), "-100c");
    EXPECT_EQ(convert(centsStringConvert, 1.0f), "100c");
    EXPECT_EQ(convert(centsStringConvert, 0.25f), "-50c");
    EXPECT_EQ(convert(centsStringConvert, 0.2525f), "-49c");
}

TEST(ReadoutTexts, Semitones) {
    EXPECT_EQ(convert(semitoneStringConvert, 0.0f), "b24");
    EXPECT_EQ(convert(semitoneStringConvert, 0.5f), "0");
    EXPECT_EQ(convert(semitoneStringConvert, 1.0f), "#24");
    EXPECT_EQ(convert(semitoneStringConvert, 24.5f / 48.0f), "#1");
    EXPECT_EQ(convert(semitoneStringConvert, 0.25f), "b12");
    EXPECT_EQ(convert(semitoneStringConvert, -1e30f), "b2147483672");
}

// The Transpose readout names the semitones the engine plays, also for the values that lie
// one float step either side of where the step changes.
TEST(ReadoutTexts, SemitonesAreTheEnginesTransposition) {
    dsp::ResonatorBank engine;
    float silence[1] = {0.0f};
    float out[2][1];
    for (int k = -24; k < 24; ++k) {
        const float edge = static_cast<float>((k + 24.5) / 48.0);
        for (float v : {std::nextafter(edge, 0.0f), edge, std::nextafter(edge, 1.0f)}) {
            engine.setTranspose(v);
            engine.process(silence, silence, out[0], out[1], 1, 44100.0f);
            const long semitones = std::lround(12.0 * std::log2(static_cast<double>(engine.transposeRatio())));
            char expected[16];
            std::snprintf(expected, sizeof expected, semitones > 0 ? "#%ld" : (semitones < 0 ? "b%ld" : "0"),
                          semitones < 0 ? -semitones : semitones);
            EXPECT_EQ(convert(semitoneStringConvert, v), expected) << v;
        }
    }
}

TEST(ReadoutTexts, Decibels) {
    EXPECT_EQ(convert(decibelStringConvert, 1e-8f), "-oo dB");  // the float lies just below 1e-8
    EXPECT_EQ(convert(decibelStringConvert, 2e-8f), "-153.9dB");
    EXPECT_EQ(convert(decibelStringConvert, 1.0f), "0.0dB");
    EXPECT_EQ(convert(decibelStringConvert, 0.9f), "-0.9dB");
    EXPECT_EQ(convert(decibelStringConvert, 0.5f), "-6.0dB");
    EXPECT_EQ(convert(decibelStringConvert, 4.0f), "12.0dB");
    EXPECT_EQ(convert(decibelStringConvert, 0.25f), "-12.0dB");
    EXPECT_EQ(convert(decibelStringConvert, 0.0f), "-oo dB");
    EXPECT_EQ(convert(decibelStringConvert, -3.0f), "-oo dB");
}

}  // namespace
