#include "dsp/loop_delays.h"

#include <bit>
#include <cmath>

#include "dsp/double_pair.h"
#include "dsp/loop_length.h"

namespace dsp {

bool LoopDelays::matches(float fs, float tuneRatio, float detuneAmount, float transposeRatio) const {
    return valid_ && key_[0] == std::bit_cast<uint32_t>(fs) && key_[1] == std::bit_cast<uint32_t>(tuneRatio) &&
           key_[2] == std::bit_cast<uint32_t>(detuneAmount) && key_[3] == std::bit_cast<uint32_t>(transposeRatio);
}

void LoopDelays::update(float fs, float tuneRatio, float detuneAmount, float transposeRatio) {
    // The same operations in the same order as loopDelay(): (fs·depth·spread·detune + fs) over
    // ((tune·transpose)·freq).
    const double rate = fs;
    const DoublePair rates = splat(rate);
    const DoublePair depthRates = splat(rate * kDetuneDepth);
    const DoublePair detune = splat(static_cast<double>(detuneAmount));
    const DoublePair ratio = splat(static_cast<double>(tuneRatio) * static_cast<double>(transposeRatio));
    for (int32_t k = 0; k < kNumStrings; k += 2) {
        const DoublePair spread = makePair(kDetuneSpread[k], kDetuneSpread[k + 1]);
        const DoublePair freq = makePair(kStringFreq[k], kStringFreq[k + 1]);
        const DoublePair d = (rates + depthRates * spread * detune) / (ratio * freq);
        delays_[k] = low(d);
        delays_[k + 1] = high(d);
    }
    key_[0] = std::bit_cast<uint32_t>(fs);
    key_[1] = std::bit_cast<uint32_t>(tuneRatio);
    key_[2] = std::bit_cast<uint32_t>(detuneAmount);
    key_[3] = std::bit_cast<uint32_t>(transposeRatio);
    valid_ = true;
    stepSafe_ = -1;
}

void LoopDelays::readPositions(int32_t w, int32_t* readPos) const {
    for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = readPositionFor(w, delays_[k]);
}

// The rule's position is trunc(fl(fl(w − D) + 16384)) AND mask. For |D| ≤ 16384 every value
// involved is below 2^16 in magnitude, so the two roundings together move the result by less
// than 1e-11, and rounding never carries a value across a whole number it did not reach,
// since whole numbers are representable. If D is whole, everything is exact: the position is
// (w − D) AND mask. Otherwise the exact value w + 16384 − D lies at least 1 − frac(D) above a
// whole number m ≥ 0 and at least frac(D) below m + 1; when frac(D) > 1e-6 the rounded value
// stays in [m, m + 1), so the position is (w + 16383 − floor(D)) AND mask. Both forms step by
// one with w, also across the wrap from 16383 to 0. A D just above a whole number (frac ≤ 1e-6)
// could round up to the next one for some w and not for others, and beyond 16384 the value
// truncated may be negative, where truncation is not the floor; those are left to the rule.
// A non-finite D reads the position just written, w itself, which also steps by one.
bool LoopDelays::stepSafe() {
    if (stepSafe_ < 0) {
        constexpr double kMinFraction = 1e-6;
        bool safe = true;
        for (int32_t k = 0; k < kNumStrings && safe; ++k) {
            const double d = delays_[k];
            if (!std::isfinite(d)) continue;
            const double whole = std::floor(d);
            safe = std::fabs(d) <= kLineLength && (d == whole || d - whole > kMinFraction);
        }
        stepSafe_ = safe ? 1 : 0;
    }
    return stepSafe_ == 1;
}

}  // namespace dsp
