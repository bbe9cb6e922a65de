// The string work of the resonator bank four doubles at a time (AVX2): the twelve strings as
// three vectors, one per block of QuadLines (see there which strings a block holds). Every
// operation and every rounding to float is the one the two-wide arithmetic of string_kernel.h
// makes, only on four strings (or samples) at once, so the output is the same to the bit.
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
// adds them to the base as they are: the entries at the read position of the string in each
// slot (read[slot], see QuadLines), and the entries of block q at the write position
// (write[q]).
struct QuadOffsets {
    ptrdiff_t read[kNumStrings];
    ptrdiff_t write[QuadLines::kBlocks];

    CHORDWELL_DSP_INLINE QuadOffsets(const int32_t* rp, int32_t w) {
        for (int32_t slot = 0; slot < kNumStrings; ++slot) {
            read[slot] = static_cast<ptrdiff_t>(slot / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride +
                         static_cast<ptrdiff_t>(kPositionStride) * rp[QuadLines::kStringInSlot[slot]];
        }
        for (int32_t q = 0; q < QuadLines::kBlocks; ++q) {
            write[q] = static_cast<ptrdiff_t>(q) * QuadLines::kBlockStride + static_cast<ptrdiff_t>(kPositionStride) * w;
        }
    }
};

// Every string of block q at its own read position, what its lowpass reads: lane j from the
// entries at the read position of lane j's string, picked from four loads.
template <int32_t kBlock>
CHORDWELL_DSP_INLINE __m256d readOwn(const double* lines, const QuadOffsets& o) {
    constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
    return _mm256_blend_pd(_mm256_blend_pd(_mm256_loadu_pd(lines + o.read[slot]),
                                           _mm256_loadu_pd(lines + o.read[slot + 1]), 0b0010),
                           _mm256_blend_pd(_mm256_loadu_pd(lines + o.read[slot + 2]),
                                           _mm256_loadu_pd(lines + o.read[slot + 3]), 0b1000),
                           0b1100);
}

// Every string of block q at its partner's read position, the partners of the lanes (a, b, c, d)
// of a block being (d, c, b, a), as two halves: lower (right, left) = (lane a at d's position,
// lane b at c's) and upper (right, left) = (lane c at b's position, lane d at a's), each one
// step of the wet sums. The entries are those readOwn() loads, read again as halves: that
// spares taking upper halves out of full vectors, and reading them after the sample's writes,
// as the sums must, keeps no values in registers across the writes.
struct PartnerHalves {
    __m128d lower;
    __m128d upper;
};

template <int32_t kBlock>
CHORDWELL_DSP_INLINE PartnerHalves readPartners(const double* lines, const QuadOffsets& o) {
    constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
    return {_mm_blend_pd(_mm_loadu_pd(lines + o.read[slot + 3]), _mm_loadu_pd(lines + o.read[slot + 2]), 0b10),
            _mm_blend_pd(_mm_loadu_pd(lines + o.read[slot + 1] + 2), _mm_loadu_pd(lines + o.read[slot] + 2), 0b10)};
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

// A block's lowpass step toward what its lines hold at their read positions.
CHORDWELL_DSP_INLINE void stepLowpass(const QuadValues& v, __m256d& lp, __m256d own) {
    lp = roundQuadToFloat(_mm256_add_pd(lp, _mm256_mul_pd(v.damp, _mm256_sub_pd(own, lp))));
}

// A block's line write: the excitation plus the loop gain times the new lowpass state.
CHORDWELL_DSP_INLINE void writeLines(const QuadValues& v, __m256d excitation, __m256d lp, double* entry) {
    _mm256_storeu_pd(entry, roundQuadToFloat(_mm256_add_pd(excitation, _mm256_mul_pd(v.feedback, lp))));
}

// Samples are taken in stretches of kStretch. The work that does not depend on the strings,
// the input before them and the crossfade and output gain after them, runs four or two samples
// per operation over the whole stretch; only the strings run sample by sample (each lowpass
// state depends on the one before).
constexpr int32_t kStretch = 64;

// What a stretch keeps between its passes, per sample j: the excitation, and the dry signals
// and wet sums as (right, left) at [2j], [2j + 1].
struct StretchBuffers {
    alignas(32) double excitation[kStretch];
    alignas(32) double dry[2 * kStretch];
    alignas(32) double sum[2 * kStretch];
};

// The dry signals and excitations of samples [0, count) of a stretch, from inputs xl, xr: as
// takeInput() of string_kernel.h, with the offset +first at even samples and −first at odd ones.
template <bool kBypassed>
CHORDWELL_DSP_INLINE void takeInputs(StretchBuffers& t, const float* xl, const float* xr, int32_t count,
                                     float first) {
    int32_t j = 0;
    const __m128 offsets = _mm_setr_ps(first, -first, first, -first);
    for (; j + 4 <= count; j += 4) {
        __m128 l = _mm_loadu_ps(xl + j);
        __m128 r = _mm_loadu_ps(xr + j);
        if constexpr (kBypassed) {
            _mm256_store_pd(t.excitation + j, _mm256_cvtps_pd(offsets));
        } else {
            // float(x + o) is the float sum; the excitation the mono average of the widened sums.
            l = _mm_add_ps(l, offsets);
            r = _mm_add_ps(r, offsets);
            _mm256_store_pd(t.excitation + j,
                            _mm256_mul_pd(_mm256_set1_pd(kExcitationWeight),
                                          _mm256_add_pd(_mm256_cvtps_pd(r), _mm256_cvtps_pd(l))));
        }
        _mm256_store_pd(t.dry + 2 * j, _mm256_cvtps_pd(_mm_unpacklo_ps(r, l)));
        _mm256_store_pd(t.dry + 2 * j + 4, _mm256_cvtps_pd(_mm_unpackhi_ps(r, l)));
    }
    for (; j < count; ++j) {
        DoublePair excitation;
        const DoublePair dry = takeInput<kBypassed>((j & 1) == 0 ? first : -first, xl[j], xr[j], excitation);
        t.excitation[j] = low(excitation);
        _mm_store_pd(t.dry + 2 * j, dry.v);
    }
}

// Samples [0, count) of a stretch through the crossfade of dry and wet per side, rounded to
// float, and the output gain, as mixOutput() of string_kernel.h: two samples per operation,
// then (right, left) sorted into the two outputs.
//
// The gain is applied in float arithmetic, four samples at a time. Both factors are floats, so
// their product in double is exact and its rounding to float is the float product: the same
// bits as the widening, double multiplication and rounding it replaces.
CHORDWELL_DSP_INLINE void mixOutputs(const BlockValues& b, const StretchBuffers& t, float* outL, float* outR,
                                     int32_t count) {
    const __m256d mix = _mm256_broadcastsd_pd(b.mix.v);
    const __m128 gain = _mm_set1_ps(static_cast<float>(low(b.gain)));
    const __m256d wetScale = _mm256_set1_pd(kWetScale);
    auto twoSamples = [&](int32_t j) {
        const __m256d dry = _mm256_load_pd(t.dry + 2 * j);
        const __m256d sum = _mm256_load_pd(t.sum + 2 * j);
        return _mm256_cvtpd_ps(
            _mm256_add_pd(dry, _mm256_mul_pd(mix, _mm256_sub_pd(_mm256_mul_pd(wetScale, sum), dry))));
    };
    int32_t j = 0;
    for (; j + 4 <= count; j += 4) {
        const __m128 first = twoSamples(j);       // right, left of samples j, j + 1
        const __m128 second = twoSamples(j + 2);  // and of j + 2, j + 3
        _mm_storeu_ps(outR + j, _mm_mul_ps(gain, _mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0))));
        _mm_storeu_ps(outL + j, _mm_mul_ps(gain, _mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1))));
    }
    for (; j < count; ++j) {
        mixOutput(b, DoublePair{_mm_load_pd(t.dry + 2 * j)}, DoublePair{_mm_load_pd(t.sum + 2 * j)}, outL + j,
                  outR + j);
    }
}

// One sample of the strings, as stringsHalf() and outputHalf() of string_kernel.h do it up to
// the crossfade: lowpass steps, line writes, and the wet sums as (right, left), whose lines'
// part reads after the writes.
CHORDWELL_DSP_INLINE __m128d runStrings(const QuadValues& v, __m256d& lpA, __m256d& lpB, __m256d& lpC,
                                        double* lines, const QuadOffsets& o, const double* excitation) {
    const __m256d e = _mm256_broadcast_sd(excitation);
    stepLowpass(v, lpA, readOwn<0>(lines, o));
    stepLowpass(v, lpB, readOwn<1>(lines, o));
    stepLowpass(v, lpC, readOwn<2>(lines, o));
    writeLines(v, e, lpA, lines + o.write[0]);
    writeLines(v, e, lpB, lines + o.write[1]);
    writeLines(v, e, lpC, lines + o.write[2]);
    const PartnerHalves pA = readPartners<0>(lines, o);  // strings 0, 1 at 11's, 10's; 10, 11 at 1's, 0's
    const PartnerHalves pB = readPartners<1>(lines, o);  // strings 2, 3 at 9's, 8's; 8, 9 at 3's, 2's
    const PartnerHalves pC = readPartners<2>(lines, o);  // strings 4, 5 at 7's, 6's; 6, 7 at 5's, 4's

    // The halves of the blocks hold the pairs (left, right) = (0, 1), (10, 11); (2, 3), (8, 9);
    // (4, 5), (6, 7). The lowpass part adds the pairs up in the order (2, 3), (0, 1), (4, 5),
    // (6, 7), (8, 9), (10, 11) and turns round; the lines' part then adds strings 0, 2, ... 10
    // (right) and 1, 3, ... 11 (left), each at its partner's read position, two at a time.
    __m128d sum = _mm_add_pd(lowHalf(lpB), lowHalf(lpA));
    sum = _mm_add_pd(sum, lowHalf(lpC));
    sum = _mm_add_pd(sum, highHalf(lpC));
    sum = _mm_add_pd(sum, highHalf(lpB));
    sum = _mm_add_pd(sum, highHalf(lpA));
    sum = _mm_shuffle_pd(sum, sum, 1);
    sum = _mm_add_pd(sum, pA.lower);
    sum = _mm_add_pd(sum, pB.lower);
    sum = _mm_add_pd(sum, pC.lower);
    sum = _mm_add_pd(sum, pC.upper);
    sum = _mm_add_pd(sum, pB.upper);
    return _mm_add_pd(sum, pA.upper);
}

// Samples [0, count) of a stretch through the strings, their wet sums into t.sum.
CHORDWELL_DSP_INLINE void runStretch(const QuadValues& v, __m256d& lpA, __m256d& lpB, __m256d& lpC, double* lines,
                                     const QuadOffsets& o, StretchBuffers& t, int32_t count) {
    for (int32_t j = 0; j < count; ++j) {
        _mm_store_pd(t.sum + 2 * j, runStrings(v, lpA, lpB, lpC, lines + kPositionStride * j, o, t.excitation + j));
    }
}

// Samples [begin, end) with the positions advancing together. As runAdvancing() of
// resonator_bank_process.cpp, the loop moves the lines' base address instead of twelve
// positions, in runs that end where a position would pass the end of the lines.
template <bool kBypassed>
void advanceQuads(const BlockValues& b, StringState& s, const float* inL, const float* inR, float* outL,
                  float* outR, int32_t begin, int32_t end) {
    const QuadValues v{_mm256_broadcastsd_pd(b.feedback.v), _mm256_broadcastsd_pd(b.damp.v)};
    // The lowpass states in the lanes of the blocks: pairs 0 and 5, 1 and 4, 2 and 3.
    __m256d lpA = _mm256_set_m128d(s.lowpass[5].v, s.lowpass[0].v);
    __m256d lpB = _mm256_set_m128d(s.lowpass[4].v, s.lowpass[1].v);
    __m256d lpC = _mm256_set_m128d(s.lowpass[3].v, s.lowpass[2].v);
    StretchBuffers t;

    int32_t n = begin;
    while (n < end) {
        int32_t run = std::min(end - n, kLineLength - s.writePos);
        for (int32_t k = 0; k < kNumStrings; ++k) run = std::min(run, kLineLength - s.readPos[k]);
        const QuadOffsets o(s.readPos, s.writePos);
        double* const lines = s.lines;
        // Stretches start at even samples of the run, so each starts with the run's offset.
        for (int32_t j0 = 0; j0 < run; j0 += kStretch) {
            const int32_t count = std::min(kStretch, run - j0);
            // All inputs of the stretch are read before any of its outputs is written, so the
            // buffers may be the same.
            takeInputs<kBypassed>(t, inL + n + j0, inR + n + j0, count, s.offset);
            runStretch(v, lpA, lpB, lpC, lines + kPositionStride * j0, o, t, count);
            mixOutputs(b, t, outL + n + j0, outR + n + j0, count);
        }
        if ((run & 1) != 0) s.offset = -s.offset;
        s.writePos = (s.writePos + run) & kLineMask;
        for (int32_t k = 0; k < kNumStrings; ++k) s.readPos[k] = (s.readPos[k] + run) & kLineMask;
        n += run;
    }
    s.lowpass[0].v = lowHalf(lpA);
    s.lowpass[5].v = highHalf(lpA);
    s.lowpass[1].v = lowHalf(lpB);
    s.lowpass[4].v = highHalf(lpB);
    s.lowpass[2].v = lowHalf(lpC);
    s.lowpass[3].v = highHalf(lpC);
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
