#include "dsp/loop_delays.h"

#include <cmath>

namespace dsp {

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
            const double d = delay(k);
            if (!std::isfinite(d)) continue;
            const double whole = std::floor(d);
            safe = std::fabs(d) <= kLineLength && (d == whole || d - whole > kMinFraction);
        }
        stepSafe_ = safe ? 1 : 0;
    }
    return stepSafe_ == 1;
}

}  // namespace dsp
