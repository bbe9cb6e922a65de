// Fixed numbers of the resonator bank: its strings, their tuning and detune weights, the line
// geometry, and the per-sample constants of the processing loop.
#pragma once

#include <cstdint>

namespace dsp {

// Strings in the bank, numbered 0..11; the partner of string k is string 11 - k.
inline constexpr int32_t kNumStrings = 12;

// Every delay line holds this many samples. A power of two, so a position wraps with one AND.
inline constexpr int32_t kLineLength = 16384;
inline constexpr int32_t kLineMask = kLineLength - 1;

// Fraction by which a detune weight of 1 lengthens a loop at full Detune.
inline constexpr double kDetuneDepth = 0.015;

// Base frequency of each string in Hz: 110 Hz times a short decimal value of 2^(k/12),
// used exactly as written here.
inline constexpr double kStringFreq[kNumStrings] = {
    110.0,     116.5406,   123.4706,  130.81277, 138.5912,  146.832378,
    155.5631,  164.81377,  174.61411, 184.99723, 195.99767, 207.652346,
};

// Signed detune weight of each string: positive lengthens the loop (flatter), negative
// shortens it (sharper).
inline constexpr double kDetuneSpread[kNumStrings] = {
    1.11, 0.599, -1.402, -0.797, 1.65, 0.35, -1.26, -0.498, 1.48, 0.866, -1.59, -0.43,
};

// Scale of each twelve-term wet sum.
inline constexpr double kWetScale = 0.075;

// Weight of each input channel in the mono excitation.
inline constexpr double kExcitationWeight = 0.5;

// Magnitude of the alternating offset added to the input so that silent strings carry values
// of this order instead of sinking into the denormal range. Held as a 32-bit float.
inline constexpr float kDenormalOffset = 1e-9f;

// Detune glide: share of the remaining distance covered per sample, and the distance at or
// below which it lands on the target.
inline constexpr double kDetuneGlideStep = 0.00075;
inline constexpr double kDetuneSnap = 0.002;

// Tune glide: share of the remaining distance covered per sample, the distance at or below
// which it lands on the target, and the largest change of the ratio in one sample.
inline constexpr double kTuneGlideStep = 0.00025;
inline constexpr double kTuneSnap = 0.0015;
inline constexpr double kTuneSlewLimit = 0.00002;

}  // namespace dsp
