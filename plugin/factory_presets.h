// The six presets a new instance starts with, in bank order. The first, "Default", gives every
// parameter its default value.
#pragma once

#include <cstdint>

#include "plugin/parameters.h"
#include "presets/preset_record.h"

struct FactoryPreset {
    const char* name;
    float values[kNumParams];  // Output, Mix, Decay, Damp, Transpose, Tune, Detune, Bypass
};

// Output, Mix and Bypass are the same in all six: a new value of these is written into every
// preset of the bank anyway. Transpose 0.5 is no transposition, 0.75 an octave up, 0.25 an octave
// down, 0 two octaves down; Tune 0.5 is in tune.
inline constexpr FactoryPreset kFactoryPresets[kNumPresets] = {
    {"Default", {0.5f, 0.25f, 0.25f, 0.25f, 0.5f, 0.5f, 0.0f, 0.0f}},
    {"Bright", {0.5f, 0.25f, 0.5f, 0.05f, 0.5f, 0.5f, 0.0f, 0.0f}},
    {"High", {0.5f, 0.25f, 0.5f, 0.1f, 0.75f, 0.5f, 0.0f, 0.0f}},
    {"Low & Dark", {0.5f, 0.25f, 0.6f, 0.75f, 0.25f, 0.5f, 0.0f, 0.0f}},
    {"Almost reverb", {0.5f, 0.25f, 0.75f, 0.2f, 0.0f, 0.5f, 0.0f, 0.0f}},
    {"Detuned", {0.5f, 0.25f, 0.6f, 0.25f, 0.5f, 0.5f, 1.0f, 0.0f}},
};

// The default value of parameter index 0..7: its value in "Default"; 0 for any other index.
constexpr float parameterDefault(std::int32_t index) {
    return isParameterIndex(index) ? kFactoryPresets[0].values[index] : 0.0f;
}
