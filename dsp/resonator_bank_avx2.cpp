// The string work of the resonator bank four doubles at a time (AVX2): the twelve strings as
// three vectors, one per block of QuadLines (strings 4q .. 4q + 3). Every operation and every
// rounding to float is the one the two-wide arithmetic of string_kernel.h makes, only on four
// strings at once, so the output is the same to the bit.
//
// This file is the only place with AVX2 instructions, and the plug-in must still run on any
// x86-64: only the functions between the target pragmas below are compiled for AVX2, they have
// internal linkage (so no copy of them can stand in for a baseline one elsewhere), and
// quadBlockRunner() hands them out only when the processor has AVX2. FMA is never enabled: a
// fused multiply-add rounds once where the arithmetic rounds twice.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "dsp/block_loops.h"
#include "dsp/string_kernel.h"

#if CHORDWELL_DSP_SSE2 && (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define CHORDWELL_DSP_AVX2 1
#include <immintrin.h>
#else
#define CHORDWELL_DSP_AVX2 0
#endif

#if CHORDWELL_DSP_AVX2

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace dsp {
namespace {

// Where a run's loads and stores go, in doubles from the lines' base address, so that the loop
// adds them to the base as they are: string k's entry at its read position (read[k]), at its
// partner's read position (partner[k]), and the entries of block q at the write position
// (write[q]).
struct QuadOffsets {
    ptrdiff_t read[kNumStrings];
    ptrdiff_t partner[kNumStrings];
    ptrdiff_t write[QuadLines::kBlocks];

    CHORDWELL_DSP_INLINE QuadOffsets(const int32_t* rp, int32_t w) {
        for (int32_t k = 0; k < kNumStrings; ++k) {
            const ptrdiff_t block = static_cast<ptrdiff_t>(k / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride;
            read[k] = block + static_cast<ptrdiff_t>(kPositionStride) * rp[k];
            partner[k] = block + static_cast<ptrdiff_t>(kPositionStride) * rp[kNumStrings - 1 - k];
        }
        for (int32_t q = 0; q < QuadLines::kBlocks; ++q) {
            write[q] = static_cast<ptrdiff_t>(q) * QuadLines::kBlockStride + static_cast<ptrdiff_t>(kPositionStride) * w;
        }
    }
};

// Strings 4q .. 4q + 3: element j of the entries at offset[4q + j], picked from four loads.
template <int32_t kQuad>
CHORDWELL_DSP_INLINE __m256d loadQuad(const double* lines, const ptrdiff_t* offset) {
    constexpr int32_t k = 4 * kQuad;
    const __m256d first = _mm256_blend_pd(_mm256_loadu_pd(lines + offset[k]), _mm256_loadu_pd(lines + offset[k + 1]),
                                          0b0010);
    const __m256d second = _mm256_blend_pd(_mm256_loadu_pd(lines + offset[k + 2]),
                                           _mm256_loadu_pd(lines + offset[k + 3]), 0b1000);
    return _mm256_blend_pd(first, second, 0b1100);
}

// Each value rounded to the nearest float, kept as a double.
CHORDWELL_DSP_INLINE __m256d roundQuadToFloat(__m256d x) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(x)); }

CHORDWELL_DSP_INLINE __m128d lowHalf(__m256d x) { return _mm256_castpd256_pd128(x); }
CHORDWELL_DSP_INLINE __m128d highHalf(__m256d x) { return _mm256_extractf128_pd(x, 1); }

// What the string half uses of the block's values, widened to four.
struct QuadValues {
    __m256d feedback;
    __m256d damp;
};

// Block q's lowpass step toward what its lines hold at their read positions.
template <int32_t kQuad>
CHORDWELL_DSP_INLINE void stepLowpass(const QuadValues& v, __m256d& lp, const double* lines, const QuadOffsets& o) {
    const __m256d x = loadQuad<kQuad>(lines, o.read);
    lp = roundQuadToFloat(_mm256_add_pd(lp, _mm256_mul_pd(v.damp, _mm256_sub_pd(x, lp))));
}

// Block q's line write: the excitation plus the loop gain times the new lowpass state.
CHORDWELL_DSP_INLINE void writeLines(const QuadValues& v, __m256d excitation, __m256d lp, double* entry) {
    _mm256_storeu_pd(entry, roundQuadToFloat(_mm256_add_pd(excitation, _mm256_mul_pd(v.feedback, lp))));
}

// Input, lowpass steps, line writes and the lowpass part of the wet sums, as stringsHalf() of
// string_kernel.h does them.
template <bool kBypassed>
CHORDWELL_DSP_INLINE HalfSample quadStringsHalf(const QuadValues& v, __m256d& lp0, __m256d& lp1, __m256d& lp2,
                                                double* lines, const QuadOffsets& o, float offset, float xl,
                                                float xr) {
    HalfSample h;
    DoublePair excitationPair;
    h.dry = takeInput<kBypassed>(offset, xl, xr, excitationPair);
    const __m256d excitation = _mm256_broadcastsd_pd(excitationPair.v);

    stepLowpass<0>(v, lp0, lines, o);
    stepLowpass<1>(v, lp1, lines, o);
    stepLowpass<2>(v, lp2, lines, o);
    writeLines(v, excitation, lp0, lines + o.write[0]);
    writeLines(v, excitation, lp1, lines + o.write[1]);
    writeLines(v, excitation, lp2, lines + o.write[2]);

    // Halves of block q hold (left, right) = strings (4q, 4q + 1) and (4q + 2, 4q + 3): left
    // and right add up at once, in the order 2, 0, 4, 6, 8, 10 and 3, 1, 5, 7, 9, 11.
    __m128d sum = _mm_add_pd(highHalf(lp0), lowHalf(lp0));
    sum = _mm_add_pd(sum, lowHalf(lp1));
    sum = _mm_add_pd(sum, highHalf(lp1));
    sum = _mm_add_pd(sum, lowHalf(lp2));
    sum = _mm_add_pd(sum, highHalf(lp2));
    h.sum = swapHalves(DoublePair{sum});
    return h;
}

// Block q's share of the lines' part of the wet sums.
template <int32_t kQuad>
CHORDWELL_DSP_INLINE __m128d addPartners(__m128d sum, const double* lines, const QuadOffsets& o) {
    const __m256d x = loadQuad<kQuad>(lines, o.partner);
    return _mm_add_pd(_mm_add_pd(sum, lowHalf(x)), highHalf(x));
}

// The lines' part of the wet sums: from block q, strings 4q (right), 4q + 1 (left), 4q + 2
// (right) and 4q + 3 (left), each at the position of its partner 11 − k, so that the sums add
// strings 0, 2, ... 10 and 1, 3, ... 11 in order; then mixOutput().
CHORDWELL_DSP_INLINE void quadOutputHalf(const BlockValues& b, const HalfSample& h, const double* lines,
                                         const QuadOffsets& o, float* outL, float* outR) {
    __m128d sum = h.sum.v;
    sum = addPartners<0>(sum, lines, o);
    sum = addPartners<1>(sum, lines, o);
    sum = addPartners<2>(sum, lines, o);
    mixOutput(b, h.dry, DoublePair{sum}, outL, outR);
}

// Samples [begin, end) with the positions advancing together, as runAdvancing() of
// resonator_bank_process.cpp runs them: the lines' base address moves instead of twelve
// positions, in runs that end where a position would pass the end of the lines, and the output
// halves of a stretch follow its string halves unless a loop is nearly as long as the line.
template <bool kBypassed>
void advanceQuads(const BlockValues& b, StringState& s, const float* inL, const float* inR, float* outL,
                  float* outR, int32_t begin, int32_t end) {
    constexpr int32_t kStretch = 64;
    const QuadValues v{_mm256_broadcastsd_pd(b.feedback.v), _mm256_broadcastsd_pd(b.damp.v)};
    __m256d lp0 = _mm256_set_m128d(s.lowpass[1].v, s.lowpass[0].v);
    __m256d lp1 = _mm256_set_m128d(s.lowpass[3].v, s.lowpass[2].v);
    __m256d lp2 = _mm256_set_m128d(s.lowpass[5].v, s.lowpass[4].v);
    int32_t longest = 0;
    for (int32_t k = 0; k < kNumStrings; ++k) longest = std::max(longest, (s.writePos - s.readPos[k]) & kLineMask);
    const bool deferOutput = longest <= kLineLength - kStretch;

    int32_t n = begin;
    while (n < end) {
        int32_t run = std::min(end - n, kLineLength - s.writePos);
        for (int32_t k = 0; k < kNumStrings; ++k) run = std::min(run, kLineLength - s.readPos[k]);
        const QuadOffsets o(s.readPos, s.writePos);
        const float first = s.offset;
        double* const lines = s.lines;
        if (deferOutput) {
            HalfSample halves[kStretch];
            for (int32_t j0 = 0; j0 < run; j0 += kStretch) {
                const int32_t count = std::min(kStretch, run - j0);
                for (int32_t j = j0; j < j0 + count; ++j) {
                    halves[j - j0] = quadStringsHalf<kBypassed>(v, lp0, lp1, lp2, lines + kPositionStride * j, o,
                                                                (j & 1) == 0 ? first : -first, inL[n + j], inR[n + j]);
                }
                for (int32_t j = j0; j < j0 + count; ++j) {
                    quadOutputHalf(b, halves[j - j0], lines + kPositionStride * j, o, outL + n + j, outR + n + j);
                }
            }
        } else {
            for (int32_t j = 0; j < run; ++j) {
                const HalfSample h = quadStringsHalf<kBypassed>(v, lp0, lp1, lp2, lines + kPositionStride * j, o,
                                                                (j & 1) == 0 ? first : -first, inL[n + j], inR[n + j]);
                quadOutputHalf(b, h, lines + kPositionStride * j, o, outL + n + j, outR + n + j);
            }
        }
        if ((run & 1) != 0) s.offset = -s.offset;
        s.writePos = (s.writePos + run) & kLineMask;
        for (int32_t k = 0; k < kNumStrings; ++k) s.readPos[k] = (s.readPos[k] + run) & kLineMask;
        n += run;
    }
    s.lowpass[0].v = lowHalf(lp0);
    s.lowpass[1].v = highHalf(lp0);
    s.lowpass[2].v = lowHalf(lp1);
    s.lowpass[3].v = highHalf(lp1);
    s.lowpass[4].v = lowHalf(lp2);
    s.lowpass[5].v = highHalf(lp2);
}

struct QuadStrings {
    template <bool kBypassed>
    static void advance(const BlockValues& b, StringState& s, const float* inL, const float* inR, float* outL,
                        float* outR, int32_t begin, int32_t end) {
        advanceQuads<kBypassed>(b, s, inL, inR, outL, outR, begin, end);
    }
};

}  // namespace
}  // namespace dsp

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace dsp {

BlockRunner quadBlockRunner() {
    // Asked once per process; the answer never changes.
    static const bool kHasAvx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return kHasAvx2 ? &runBlock<QuadStrings> : nullptr;
}

}  // namespace dsp

#else

namespace dsp {

BlockRunner quadBlockRunner() { return nullptr; }

}  // namespace dsp

#endif
