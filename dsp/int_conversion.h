// Float-to-integer conversions that are defined for every input. A plain cast of a double
// outside the int32 range is undefined behaviour; parameter values are never clamped, so the
// engine converts through these.
#pragma once

#include <cstdint>
#include <limits>

namespace dsp {

// Truncation toward zero, the same as a cast whenever the result fits in int32. Values beyond
// the range give the nearest limit; NaN gives 0.
inline int32_t truncateSaturating(double x) {
    // The open interval (-2^31 - 1, 2^31) is exactly the set whose truncation fits.
    constexpr double kAboveMax = 2147483648.0;
    constexpr double kBelowMin = -2147483649.0;
    if (x > kBelowMin && x < kAboveMax) return static_cast<int32_t>(x);
    if (x >= kAboveMax) return std::numeric_limits<int32_t>::max();
    if (x <= kBelowMin) return std::numeric_limits<int32_t>::min();
    return 0;
}

}  // namespace dsp
