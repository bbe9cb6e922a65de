// The effect's eight parameters: their indices in every interface of the system (host,
// editor, presets, engine) and the texts the host shows for them.
#pragma once

#include "vst/aeffect.h"

enum ParameterIndex : VstInt32 {
    kOutput = 0,
    kMix = 1,
    kDecay = 2,
    kDamp = 3,
    kTranspose = 4,
    kTune = 5,
    kDetune = 6,
    kBypass = 7,
    kNumParams = 8,
};

// Names and unit labels, byte for byte: the padding spaces are part of the texts.
inline constexpr const char* kParameterNames[kNumParams] = {
    " Output ", " Mix ", " Decay ", " Damp ", " Transpose ", " Tune ", " Detune ", " Bypass ",
};
inline constexpr const char* kParameterLabels[kNumParams] = {
    "   dB   ", "    %    ", "    %    ", "    %    ", " st ", "  cents ", "    %   ", "  ",
};

inline constexpr const char* kBypassedText = " bypassed ";
inline constexpr const char* kProcessText = " process ";
