// The per-sample glides of Detune and Tune toward their targets. The distances are doubles;
// only their magnitudes are compared as floats.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "dsp/constants.h"
#include "dsp/double_pair.h"

namespace dsp {

// An exponential approach that lands on the target once within kDetuneSnap of it.
CHORDWELL_DSP_INLINE void glideDetune(float& amount, float target) {
    const double d = static_cast<double>(target) - static_cast<double>(amount);
    if (static_cast<double>(static_cast<float>(std::fabs(d))) > kDetuneSnap) {
        amount = static_cast<float>(static_cast<double>(amount) + kDetuneGlideStep * d);
    } else {
        amount = target;
    }
}

// An exponential approach limited to kTuneSlewLimit per sample, landing on the target once
// within kTuneSnap of it.
CHORDWELL_DSP_INLINE void glideTune(float& ratio, float target) {
    const double old = ratio;
    const double d = static_cast<double>(target) - old;
    // Far from the target the step is always the slew limit: with |old| < 4 the candidate
    // moves by at least 0.00025·0.1 = 2.5e-5 less its float rounding (at most 2.4e-7), more
    // than 0.00002, and toward the target. Deciding that first keeps the candidate's
    // conversions off the chain from one sample's ratio to the next.
    constexpr double kSurelySlewing = 0.1;
    constexpr double kSmallRatio = 4.0;
    if (std::fabs(old) < kSmallRatio && std::fabs(d) > kSurelySlewing) {
        ratio = static_cast<float>(d > 0.0 ? old + kTuneSlewLimit : old - kTuneSlewLimit);
        return;
    }
    if (static_cast<double>(static_cast<float>(std::fabs(d))) <= kTuneSnap) {
        ratio = target;
        return;
    }
    const float candidate = static_cast<float>(old + kTuneGlideStep * d);
    const double step = static_cast<double>(candidate) - old;
    if (static_cast<double>(static_cast<float>(std::fabs(step))) > kTuneSlewLimit) {
        ratio = static_cast<float>(candidate > ratio ? old + kTuneSlewLimit : old - kTuneSlewLimit);
    } else {
        ratio = candidate;
    }
}

// A glide whose value equals its target to the bit does not move.
CHORDWELL_DSP_INLINE bool atRest(float value, float target) {
    return std::bit_cast<uint32_t>(value) == std::bit_cast<uint32_t>(target);
}

}  // namespace dsp
