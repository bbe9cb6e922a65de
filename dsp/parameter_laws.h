// The laws that turn a normalised parameter value into what the processing loop uses. Values
// are never clamped; every law is defined for any finite input. Powers and roots live here,
// so they run only when a parameter is set, never per sample.
#pragma once

#include <cstdint>

namespace dsp {

// Output: linear gain 4·v². 0.5 gives exactly 1 (0 dB), 1 gives 4 (+12 dB), 0 silences.
float outputGainLaw(float v);

// Decay: loop gain (1.02^√v / 1.0205)^(1 / (0.25·transposeTarget)). The exponent cancels the
// transposition, so the decay time in seconds does not depend on it. A Decay below 0 acts as
// 0: the root of a negative value would be NaN and would poison every line.
float decayFeedbackLaw(float decay, float transposeTarget);

// Damp: lowpass coefficient 1.84^(1 − v) / 1.845 (0.99729 at 0, 0.54201 at 1).
float dampCoefLaw(float v);

// Transpose moves in whole semitones: 48 steps from value 0 to value 1, two octaves either
// side of step 24, which is no transposition.
inline constexpr int32_t kTransposeSteps = 48;
inline constexpr int32_t kTransposeCentreStep = kTransposeSteps / 2;

// Transpose: n = integer part of (48·v + 0.5), 0..48 for v in 0..1, saturating at the int32
// limits (the ratio is already 0 or infinite long before).
int32_t transposeStepLaw(float v);

// Transpose: ratio 0.25·16^(n/48) = 2^((n − 24)/12), stored as a float. v = 0.5 gives 1.
float transposeRatioLaw(float v);

// Tune: target ratio 1.12246^v / 1.05946 (−100 cents at 0, +100 cents at 1). Saturates at the
// largest finite float: an infinite target would turn the glide's distance into NaN.
float tuneTargetLaw(float v);

// Bypass: integer part of (v + 0.5), saturating at the int32 limits; 0 below 0.5, 1 from
// 0.5 up to 1.5. Any value but 0 counts as bypassed.
int32_t bypassLaw(float v);

}  // namespace dsp
