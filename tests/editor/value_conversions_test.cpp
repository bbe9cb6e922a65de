// The readout texts of the editor.
#include <gtest/gtest.h>

#include <string>

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
