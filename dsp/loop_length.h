// The loop-length rule: how the sample rate, the three pitch ratios and the detune amount give
// each string's delay D_k, and how D_k and the write position give its read position.
#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/constants.h"

namespace dsp {

// D_k = (fs + fs·kDetuneDepth·kDetuneSpread[k]·detuneAmount) / ((tuneRatio·transposeRatio)·
// kStringFreq[k]), in double precision and in exactly this order of operations, since the
// read positions must come out the same to the bit wherever they are computed.
inline double loopDelay(int32_t k, double fs, float detuneAmount, float tuneRatio, float transposeRatio) {
    const double numerator = fs + fs * kDetuneDepth * kDetuneSpread[k] * static_cast<double>(detuneAmount);
    const double divisor = (static_cast<double>(tuneRatio) * static_cast<double>(transposeRatio)) * kStringFreq[k];
    return numerator / divisor;
}

// readPos = integer part of (writePos − D + 16384), then AND kLineMask. When the truncated
// value fits in int32 this is exactly that. Beyond it (D huge or negative: a ratio near 0, a
// huge Detune or sample rate) the cast would be undefined, so the value is reduced modulo the
// line length first, which fmod does exactly and which the mask would have done anyway. A
// non-finite D (a ratio of 0 or infinity) reads as D = 0: the position just written, the
// longest loop the line holds.
inline int32_t readPositionFor(int32_t writePos, double delay) {
    const double x = static_cast<double>(writePos) - delay + static_cast<double>(kLineLength);
    if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x) & kLineMask;
    if (std::isfinite(x)) return static_cast<int32_t>(std::fmod(x, static_cast<double>(kLineLength))) & kLineMask;
    return writePos & kLineMask;
}

}  // namespace dsp
