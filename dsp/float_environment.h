// The floating-point environment the engine computes in.
//
// The output is defined by IEEE arithmetic in the default mode: rounding to nearest, with
// subnormal results and operands as they are. A host may run its audio thread with other
// settings (flush-to-zero and denormals-are-zero are common); process() switches to the
// default mode for its block and gives the host its own settings back afterwards, flags
// included. The pipelined four-wide loop also relies on the default mode to learn from the
// exception flags whether its quick rounding was exact (resonator_bank_avx2.cpp).
#pragma once

#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define CHORDWELL_DSP_MXCSR 1
#include <xmmintrin.h>
#else
#define CHORDWELL_DSP_MXCSR 0
#endif

namespace dsp {

#if CHORDWELL_DSP_MXCSR

// MXCSR: all exceptions masked, rounding to nearest, no flush-to-zero, subnormal operands as
// they are, no flag raised.
inline constexpr uint32_t kDefaultFloatControl = 0x1F80u;

// Sets the default mode for the lifetime of the object. Construct it outside the loops: the
// engine's arithmetic runs in functions called after it, which the compiler does not move
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
