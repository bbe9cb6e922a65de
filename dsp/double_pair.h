// Two doubles processed together: the processing loop works on the strings in pairs
// (2i, 2i + 1). With SSE2 (every x86-64 compiler, and 32-bit x86 built for SSE2) a pair is one
// register; elsewhere, or with CHORDWELL_DSP_PORTABLE defined, it is two plain doubles. Both
// forms round every operation to double and every store to float in the same way, so they
// give the same bits.
#pragma once

#if !defined(CHORDWELL_DSP_PORTABLE) && \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define CHORDWELL_DSP_SSE2 1
#include <emmintrin.h>
#else
#define CHORDWELL_DSP_SSE2 0
#endif

namespace dsp {

#if CHORDWELL_DSP_SSE2

struct DoublePair {
    __m128d v;
};

inline DoublePair makePair(double lo, double hi) { return {_mm_set_pd(hi, lo)}; }
inline DoublePair splat(double x) { return {_mm_set1_pd(x)}; }
inline double low(DoublePair a) { return _mm_cvtsd_f64(a.v); }
inline double high(DoublePair a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }

inline DoublePair operator+(DoublePair a, DoublePair b) { return {_mm_add_pd(a.v, b.v)}; }
inline DoublePair operator-(DoublePair a, DoublePair b) { return {_mm_sub_pd(a.v, b.v)}; }
inline DoublePair operator*(DoublePair a, DoublePair b) { return {_mm_mul_pd(a.v, b.v)}; }
inline DoublePair operator/(DoublePair a, DoublePair b) { return {_mm_div_pd(a.v, b.v)}; }

// Each value rounded to the nearest float, kept as a double.
inline DoublePair roundToFloat(DoublePair a) { return {_mm_cvtps_pd(_mm_cvtpd_ps(a.v))}; }

// The floats at a and b, widened.
inline DoublePair loadFloats(const float* a, const float* b) {
    return {_mm_cvtps_pd(_mm_unpacklo_ps(_mm_load_ss(a), _mm_load_ss(b)))};
}

// The two values rounded to float and stored at a and b.
inline void storeFloats(DoublePair x, float* a, float* b) {
    const __m128 f = _mm_cvtpd_ps(x.v);
    _mm_store_ss(a, f);
    _mm_store_ss(b, _mm_shuffle_ps(f, f, 1));
}

#else

struct DoublePair {
    double lo;
    double hi;
};

inline DoublePair makePair(double lo, double hi) { return {lo, hi}; }
inline DoublePair splat(double x) { return {x, x}; }
inline double low(DoublePair a) { return a.lo; }
inline double high(DoublePair a) { return a.hi; }

inline DoublePair operator+(DoublePair a, DoublePair b) { return {a.lo + b.lo, a.hi + b.hi}; }
inline DoublePair operator-(DoublePair a, DoublePair b) { return {a.lo - b.lo, a.hi - b.hi}; }
inline DoublePair operator*(DoublePair a, DoublePair b) { return {a.lo * b.lo, a.hi * b.hi}; }
inline DoublePair operator/(DoublePair a, DoublePair b) { return {a.lo / b.lo, a.hi / b.hi}; }

inline DoublePair roundToFloat(DoublePair a) {
    return {static_cast<double>(static_cast<float>(a.lo)), static_cast<double>(static_cast<float>(a.hi))};
}

inline DoublePair loadFloats(const float* a, const float* b) {
    return {static_cast<double>(*a), static_cast<double>(*b)};
}

inline void storeFloats(DoublePair x, float* a, float* b) {
    *a = static_cast<float>(x.lo);
    *b = static_cast<float>(x.hi);
}

#endif

}  // namespace dsp
