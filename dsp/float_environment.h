// The floating-point environment the engine computes in, and the exception flags the four-wide
// loop reads to learn whether a stretch met a value its quick arithmetic cannot round exactly.
//
// The output is defined by IEEE arithmetic in the default mode: rounding to nearest, with
// denormal results and operands as they are. A host may run its audio thread with other
// settings (flush-to-zero and denormals-are-zero are common); process() switches to the
// default mode for its block and restores the host's settings, flags included, afterwards.
#pragma once

#include <cstdint>

#include "dsp/double_pair.h"

namespace dsp {

#if CHORDWELL_DSP_SSE2

// MXCSR: all exceptions masked, rounding to nearest, no flush-to-zero, denormals as they are,
// no flag raised.
inline constexpr uint32_t kDefaultFloatControl = 0x1F80u;

// Sets the default mode for the lifetime of the object. Construct it outside the loops: the
// engine's arithmetic runs in functions called after it, which the compiler cannot move
// across the switch.
class DefaultFloatEnvironment {
public:
    DefaultFloatEnvironment() : host_(_mm_getcsr()) {
        if (host_ != kDefaultFloatControl) _mm_setcsr(kDefaultFloatControl);
    }
    ~DefaultFloatEnvironment() {
        if (_mm_getcsr() != host_) _mm_setcsr(host_);
    }
    DefaultFloatEnvironment(const DefaultFloatEnvironment&) = delete;
    DefaultFloatEnvironment& operator=(const DefaultFloatEnvironment&) = delete;

private:
    uint32_t host_;
};

#else

// Elsewhere the compiler's arithmetic is the default one.
class DefaultFloatEnvironment {
public:
    DefaultFloatEnvironment() {}
    ~DefaultFloatEnvironment() {}
    DefaultFloatEnvironment(const DefaultFloatEnvironment&) = delete;
    DefaultFloatEnvironment& operator=(const DefaultFloatEnvironment&) = delete;
};

#endif

}  // namespace dsp
