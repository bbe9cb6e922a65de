// Two doubles processed together: the processing loop works on the strings in pairs
// (2i, 2i + 1). With SSE2 (every x86-64 compiler, and 32-bit x86 built for SSE2) a pair is one
// register; elsewhere, or with CHORDWELL_DSP_PORTABLE defined, it is two plain doubles. Both
// forms round every operation to double and every store to float in the same way, so they
// give the same bits, wherever double arithmetic is IEEE double (on 32-bit x86 that takes
// SSE2 code generation: x87's wider registers would round differently).
#pragma once

#include <cstdint>

#if !defined(CHORDWELL_DSP_PORTABLE) && \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define CHORDWELL_DSP_SSE2 1
#include <emmintrin.h>
#else
#define CHORDWELL_DSP_SSE2 0
#endif

// The four-wide arithmetic (AVX2 and FMA, taken only where the processor has both) is built
// where the pairs are SSE2 and the compiler can compile single functions for AVX2: x86 with GCC
// or Clang. Elsewhere, and in the portable build, the engine has the two-wide arithmetic alone.
#if CHORDWELL_DSP_SSE2 && (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define CHORDWELL_DSP_AVX2 1
#else
#define CHORDWELL_DSP_AVX2 0
#endif

// The per-sample loop is built from many small steps that must end up in one function body
// with the string state in registers; compilers do not always inline that far on their own.
// A loop that must keep its own registers is kept out of line instead.
#if defined(_MSC_VER)
#define CHORDWELL_DSP_INLINE __forceinline
#define CHORDWELL_DSP_LAMBDA_INLINE
#define CHORDWELL_DSP_NOINLINE __declspec(noinline)
#else
#define CHORDWELL_DSP_INLINE inline __attribute__((always_inline))
#define CHORDWELL_DSP_LAMBDA_INLINE __attribute__((always_inline))
#define CHORDWELL_DSP_NOINLINE __attribute__((noinline))
#endif

namespace dsp {

#if CHORDWELL_DSP_SSE2

struct DoublePair {
    __m128d v;
};

CHORDWELL_DSP_INLINE DoublePair makePair(double lo, double hi) { return {_mm_set_pd(hi, lo)}; }
CHORDWELL_DSP_INLINE DoublePair splat(double x) { return {_mm_set1_pd(x)}; }
CHORDWELL_DSP_INLINE double low(DoublePair a) { return _mm_cvtsd_f64(a.v); }
CHORDWELL_DSP_INLINE double high(DoublePair a) { return _mm_cvtsd_f64(_mm_unpackhi_pd(a.v, a.v)); }

CHORDWELL_DSP_INLINE DoublePair operator+(DoublePair a, DoublePair b) { return {_mm_add_pd(a.v, b.v)}; }
CHORDWELL_DSP_INLINE DoublePair operator-(DoublePair a, DoublePair b) { return {_mm_sub_pd(a.v, b.v)}; }
CHORDWELL_DSP_INLINE DoublePair operator*(DoublePair a, DoublePair b) { return {_mm_mul_pd(a.v, b.v)}; }
CHORDWELL_DSP_INLINE DoublePair operator/(DoublePair a, DoublePair b) { return {_mm_div_pd(a.v, b.v)}; }

// (lo + add, hi + add) in float arithmetic, widened: a float sum computed in double and
// rounded to float is the same as the float sum, since a double holds more than twice a
// float's precision (double rounding of one operation on floats is innocuous).
CHORDWELL_DSP_INLINE DoublePair floatSums(float lo, float hi, float add) {
    return {_mm_cvtps_pd(_mm_add_ps(_mm_unpacklo_ps(_mm_set_ss(lo), _mm_set_ss(hi)), _mm_set1_ps(add)))};
}

// Each value rounded to the nearest float, kept as a double.
CHORDWELL_DSP_INLINE DoublePair roundToFloat(DoublePair a) { return {_mm_cvtps_pd(_mm_cvtpd_ps(a.v))}; }

// The two doubles at p and p + 1; p need not be aligned.
CHORDWELL_DSP_INLINE DoublePair loadPair(const double* p) { return {_mm_loadu_pd(p)}; }
CHORDWELL_DSP_INLINE void storePair(double* p, DoublePair x) { _mm_storeu_pd(p, x.v); }

// (low of a, high of b).
CHORDWELL_DSP_INLINE DoublePair blend(DoublePair a, DoublePair b) { return {_mm_move_sd(b.v, a.v)}; }

// The four values of a and b truncated toward zero, each plus `add` and ANDed with `mask`,
// into out[0..3], when all four truncations fit in int32; false (out unspecified) when any
// does not, or is NaN.
CHORDWELL_DSP_INLINE bool truncateFour(DoublePair a, DoublePair b, int32_t add, int32_t mask, int32_t* out) {
    const __m128d below = _mm_set1_pd(-2147483649.0);
    const __m128d above = _mm_set1_pd(2147483648.0);
    const int fitsA = _mm_movemask_pd(_mm_and_pd(_mm_cmpgt_pd(a.v, below), _mm_cmplt_pd(a.v, above)));
    const int fitsB = _mm_movemask_pd(_mm_and_pd(_mm_cmpgt_pd(b.v, below), _mm_cmplt_pd(b.v, above)));
    const __m128i t = _mm_unpacklo_epi64(_mm_cvttpd_epi32(a.v), _mm_cvttpd_epi32(b.v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_and_si128(_mm_add_epi32(t, _mm_set1_epi32(add)), _mm_set1_epi32(mask)));
    return (fitsA & fitsB) == 3;
}

// (high of a, low of a).
CHORDWELL_DSP_INLINE DoublePair swapHalves(DoublePair a) { return {_mm_shuffle_pd(a.v, a.v, 1)}; }

// The two values rounded to float and stored at a and b.
CHORDWELL_DSP_INLINE void storeFloats(DoublePair x, float* a, float* b) {
    const __m128 f = _mm_cvtpd_ps(x.v);
    _mm_store_ss(a, f);
    _mm_store_ss(b, _mm_shuffle_ps(f, f, 1));
}

#else

struct DoublePair {
    double lo;
    double hi;
};

CHORDWELL_DSP_INLINE DoublePair makePair(double lo, double hi) { return {lo, hi}; }
CHORDWELL_DSP_INLINE DoublePair splat(double x) { return {x, x}; }
CHORDWELL_DSP_INLINE double low(DoublePair a) { return a.lo; }
CHORDWELL_DSP_INLINE double high(DoublePair a) { return a.hi; }

CHORDWELL_DSP_INLINE DoublePair operator+(DoublePair a, DoublePair b) { return {a.lo + b.lo, a.hi + b.hi}; }
CHORDWELL_DSP_INLINE DoublePair operator-(DoublePair a, DoublePair b) { return {a.lo - b.lo, a.hi - b.hi}; }
CHORDWELL_DSP_INLINE DoublePair operator*(DoublePair a, DoublePair b) { return {a.lo * b.lo, a.hi * b.hi}; }
CHORDWELL_DSP_INLINE DoublePair operator/(DoublePair a, DoublePair b) { return {a.lo / b.lo, a.hi / b.hi}; }

CHORDWELL_DSP_INLINE DoublePair floatSums(float lo, float hi, float add) {
    const float a = lo + add;
    const float b = hi + add;
    return {a, b};
}

// Through a volatile float: GCC 12's SLP vectorizer, pairing two such roundings, drops them
// and keeps the doubles as they were (seen at -O2 on x86-64).
CHORDWELL_DSP_INLINE double roundOneToFloat(double x) {
    volatile float rounded = static_cast<float>(x);
    return rounded;
}

CHORDWELL_DSP_INLINE DoublePair roundToFloat(DoublePair a) { return {roundOneToFloat(a.lo), roundOneToFloat(a.hi)}; }

CHORDWELL_DSP_INLINE DoublePair loadPair(const double* p) { return {p[0], p[1]}; }
CHORDWELL_DSP_INLINE void storePair(double* p, DoublePair x) {
    p[0] = x.lo;
    p[1] = x.hi;
}
CHORDWELL_DSP_INLINE DoublePair blend(DoublePair a, DoublePair b) { return {a.lo, b.hi}; }

CHORDWELL_DSP_INLINE bool truncateFour(DoublePair a, DoublePair b, int32_t add, int32_t mask, int32_t* out) {
    const double x[4] = {a.lo, a.hi, b.lo, b.hi};
    for (int i = 0; i < 4; ++i) {
        if (!(x[i] > -2147483649.0 && x[i] < 2147483648.0)) return false;
        out[i] = (static_cast<int32_t>(x[i]) + add) & mask;
    }
    return true;
}

CHORDWELL_DSP_INLINE DoublePair swapHalves(DoublePair a) { return {a.hi, a.lo}; }

CHORDWELL_DSP_INLINE void storeFloats(DoublePair x, float* a, float* b) {
    *a = static_cast<float>(x.lo);
    *b = static_cast<float>(x.hi);
}

#endif

}  // namespace dsp
