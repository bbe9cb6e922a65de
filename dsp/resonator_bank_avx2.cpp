// The string work of the resonator bank four doubles at a time (AVX2): the twelve strings as
// three vectors, one per block of QuadLines (see there which strings a block holds). Every
// operation and every rounding to float is the one the two-wide arithmetic of
// resonator_bank_process.cpp makes, only on four strings (or samples) at once, so the output
// is the same to the bit.
//
// This file is the only place with AVX2 instructions, and the plug-in must still run on any
// x86-64: only the functions between the target pragmas below are compiled for AVX2, they have
// internal linkage (so no copy of them can stand in for a baseline one elsewhere), and
// quadBlockRunner() hands them out only when the processor has AVX2. FMA is never enabled: a
// fused multiply-add rounds once where the arithmetic rounds twice.
//
// The stretch buffers live on the stack and are read and written with unaligned moves: GCC for
// 64-bit Windows cannot align a stack frame to 32 bytes, so alignas(32) is not guaranteed there.

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Included before the target region: its functions must stay baseline code.
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

// Compiled for AVX2 here: every function in it is a template over the Lanes below.
#include "dsp/stretch_loop.h"

namespace dsp {
namespace {

// Each value rounded to the nearest float, kept as a double.
CHORDWELL_DSP_INLINE __m256d roundQuadToFloat(__m256d x) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(x)); }

// Quick rounding to float precision. For a double y with exponent e (2^e ≤ |y| < 2^(e + 1)),
// take c = ±2^(e + 29) with the sign of y. y + c lies in c's binade, where a double's last
// place is 2^(e − 23), a float's last place at e; so y + c rounds y to float precision, in
// the processor's rounding mode, with ties going where a float's would, and (y + c) − c is
// exact. This equals the conversion to float and back as long as the float result is normal
// and finite, which the range below ensures with room to spare: 2^-73 ≤ |y| < 2^55. It takes
// two integer operations and two additions, in place of two conversions: the lowpass step
// is the chain that runs from sample to sample, and this shortens it by a third (from 24 to
// 16 cycles on the machine measured). The conversions also crowd onto the units that do the
// additions on some processors (see docs/performance.md).
inline constexpr uint64_t kSignAndExponent = 0xFFF0000000000000u;
inline constexpr uint64_t kQuickRoundingShift = uint64_t{29} << 52;

// The range check: y's bits minus those of 2^-73's exponent field have none of bits 59..62 set
// exactly when 950 ≤ the exponent field < 1078, whatever the sign (bit 63) and mantissa
// (below bit 52). Zero, infinities and NaN fall outside. The differences of many values are
// ORed together and tested once.
inline constexpr uint64_t kQuickRangeBase = uint64_t{950} << 52;
inline constexpr uint64_t kQuickRangeOutside = uint64_t{0xF} << 59;

// The same rounding quickly, exact while every value is in the quick range.
CHORDWELL_DSP_INLINE __m256d roundQuadToFloatQuickly(__m256d y) {
    const __m256d c = _mm256_castsi256_pd(
        _mm256_add_epi64(_mm256_and_si256(_mm256_castpd_si256(y), _mm256_set1_epi64x(static_cast<int64_t>(kSignAndExponent))),
                         _mm256_set1_epi64x(static_cast<int64_t>(kQuickRoundingShift))));
    return _mm256_sub_pd(_mm256_add_pd(y, c), c);
}

CHORDWELL_DSP_INLINE __m128d lowHalf(__m256d x) { return _mm256_castpd256_pd128(x); }
CHORDWELL_DSP_INLINE __m128d highHalf(__m256d x) { return _mm256_extractf128_pd(x, 1); }

// The per-sample arithmetic of stretch_loop.h on the three blocks of QuadLines.
struct QuadLanes {
    static constexpr int32_t kStride = kPositionStride;
    static constexpr bool kPipelined = true;

    struct Values {
        __m256d feedback;
        __m256d damp;
    };
    // The lowpass states in the lanes of the blocks: pairs 0 and 5, 1 and 4, 2 and 3.
    struct Lowpass {
        __m256d a;
        __m256d b;
        __m256d c;
    };
    // The entries of a run's first sample: those at the read position of the string in each
    // slot (read[slot], see QuadLines), and those of block 0 at the write position (write;
    // block q's lie q · kBlockStride further on). Sample i of the run is i · kStride further.
    struct Offsets {
        const double* read[kNumStrings];
        double* write;
    };
    struct Range {
        __m256i bits;
    };

    static Values values(const BlockValues& b) {
        return {_mm256_broadcastsd_pd(b.feedback.v), _mm256_broadcastsd_pd(b.damp.v)};
    }
    static Lowpass loadLowpass(const StringState& s) {
        return {_mm256_set_m128d(s.lowpass[5].v, s.lowpass[0].v), _mm256_set_m128d(s.lowpass[4].v, s.lowpass[1].v),
                _mm256_set_m128d(s.lowpass[3].v, s.lowpass[2].v)};
    }
    static void storeLowpass(StringState& s, const Lowpass& lp) {
        s.lowpass[0].v = lowHalf(lp.a);
        s.lowpass[5].v = highHalf(lp.a);
        s.lowpass[1].v = lowHalf(lp.b);
        s.lowpass[4].v = highHalf(lp.b);
        s.lowpass[2].v = lowHalf(lp.c);
        s.lowpass[3].v = highHalf(lp.c);
    }
    static Range noRange() { return {_mm256_setzero_si256()}; }
    static bool inRange(Range range) {
        return _mm256_testz_si256(range.bits, _mm256_set1_epi64x(static_cast<int64_t>(kQuickRangeOutside))) != 0;
    }

    static Offsets offsets(double* lines, const int32_t* rp, int32_t w) {
        Offsets o;
        for (int32_t slot = 0; slot < kNumStrings; ++slot) {
            o.read[slot] = lines + static_cast<ptrdiff_t>(slot / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride +
                           static_cast<ptrdiff_t>(kStride) * rp[QuadLines::kStringInSlot[slot]];
        }
        o.write = lines + static_cast<ptrdiff_t>(kStride) * w;
        return o;
    }

    // Every string of block q at its own read position, what its lowpass reads: lane j from the
    // entries at the read position of lane j's string, picked from four loads.
    template <int32_t kBlock>
    CHORDWELL_DSP_INLINE static __m256d readOwn(const Offsets& o, ptrdiff_t at) {
        constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
        return _mm256_blend_pd(_mm256_blend_pd(_mm256_loadu_pd(o.read[slot] + at),
                                               _mm256_loadu_pd(o.read[slot + 1] + at), 0b0010),
                               _mm256_blend_pd(_mm256_loadu_pd(o.read[slot + 2] + at),
                                               _mm256_loadu_pd(o.read[slot + 3] + at), 0b1000),
                               0b1100);
    }

    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void stepBlock(const Values& v, __m256d& lp, __m256d own, Range& range) {
        const __m256d y = _mm256_add_pd(lp, _mm256_mul_pd(v.damp, _mm256_sub_pd(own, lp)));
        range.bits = _mm256_or_si256(range.bits, _mm256_sub_epi64(_mm256_castpd_si256(y),
                                                                  _mm256_set1_epi64x(static_cast<int64_t>(kQuickRangeBase))));
        lp = kQuick ? roundQuadToFloatQuickly(y) : roundQuadToFloat(y);
    }

    // Each lowpass takes one step toward what its line holds at its read position.
    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void step(const Values& v, Lowpass& lp, const Offsets& o, int32_t i, Range& range) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * i;
        stepBlock<kQuick>(v, lp.a, readOwn<0>(o, at), range);
        stepBlock<kQuick>(v, lp.b, readOwn<1>(o, at), range);
        stepBlock<kQuick>(v, lp.c, readOwn<2>(o, at), range);
    }

    // Every string of block q at its partner's read position, the partners of the lanes
    // (a, b, c, d) of a block being (d, c, b, a), as two halves: lower (left, right) = (lane b
    // at c's position, lane a at d's) and upper (left, right) = (lane d at a's position, lane c
    // at b's), each one step of the wet sums. The entries are those readOwn() loads, read again
    // as halves after the sample's writes: that spares taking upper halves out of full vectors
    // and keeps no values in registers across the writes. Each half is put together from two
    // loads of two doubles that start where the wanted lane falls in the half's place, one of
    // them a double before or three after the entries of its position (QuadLines::kLeadingPad).
    struct PartnerHalves {
        __m128d lower;
        __m128d upper;
    };
    template <int32_t kBlock>
    CHORDWELL_DSP_INLINE static PartnerHalves readPartners(const Offsets& o, ptrdiff_t at) {
        constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
        return {_mm_blend_pd(_mm_loadu_pd(o.read[slot + 2] + at + 1), _mm_loadu_pd(o.read[slot + 3] + at - 1), 0b10),
                _mm_blend_pd(_mm_loadu_pd(o.read[slot] + at + 3), _mm_loadu_pd(o.read[slot + 1] + at + 1), 0b10)};
    }

    // A block's line write: the excitation plus the loop gain times the new lowpass state.
    CHORDWELL_DSP_INLINE static void writeBlock(const Values& v, __m256d excitation, __m256d lp, double* entry) {
        _mm256_storeu_pd(entry, roundQuadToFloat(_mm256_add_pd(excitation, _mm256_mul_pd(v.feedback, lp))));
    }

    // The line writes, and the wet sums as (left, right), whose lines' part reads after the
    // writes.
    CHORDWELL_DSP_INLINE static void writeAndSum(const Values& v, const Lowpass& lp, const Offsets& o, int32_t i,
                                                 double excitation, double* sum) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * i;
        const __m256d e = _mm256_set1_pd(excitation);
        writeBlock(v, e, lp.a, o.write + at);
        writeBlock(v, e, lp.b, o.write + at + QuadLines::kBlockStride);
        writeBlock(v, e, lp.c, o.write + at + 2 * QuadLines::kBlockStride);
        const PartnerHalves pA = readPartners<0>(o, at);  // strings 0, 1 at 11's, 10's; 10, 11 at 1's, 0's
        const PartnerHalves pB = readPartners<1>(o, at);  // strings 2, 3 at 9's, 8's; 8, 9 at 3's, 2's
        const PartnerHalves pC = readPartners<2>(o, at);  // strings 4, 5 at 7's, 6's; 6, 7 at 5's, 4's

        // The halves of the blocks hold the pairs (left, right) = (0, 1), (10, 11); (2, 3),
        // (8, 9); (4, 5), (6, 7). The lowpass part adds the pairs up in the order (2, 3),
        // (0, 1), (4, 5), (6, 7), (8, 9), (10, 11); the lines' part then adds strings 1, 3,
        // ... 11 (left) and 0, 2, ... 10 (right), each at its partner's read position, two at
        // a time.
        __m128d s = _mm_add_pd(lowHalf(lp.b), lowHalf(lp.a));
        s = _mm_add_pd(s, lowHalf(lp.c));
        s = _mm_add_pd(s, highHalf(lp.c));
        s = _mm_add_pd(s, highHalf(lp.b));
        s = _mm_add_pd(s, highHalf(lp.a));
        s = _mm_add_pd(s, pA.lower);
        s = _mm_add_pd(s, pB.lower);
        s = _mm_add_pd(s, pC.lower);
        s = _mm_add_pd(s, pC.upper);
        s = _mm_add_pd(s, pB.upper);
        _mm_storeu_pd(sum, _mm_add_pd(s, pA.upper));
    }

    // The dry signals and excitations of samples [0, count) of a stretch, from inputs xl, xr:
    // as takeInput() of string_kernel.h, with the offset +first at even samples and −first at
    // odd ones, four samples per operation. The four-wide loop keeps dry signals and sums as
    // (left, right), the other way round from the two-wide one.
    template <bool kBypassed>
    static void takeInputs(StretchBuffers& t, const float* xl, const float* xr, int32_t count, float first) {
        int32_t j = 0;
        const __m128 offsets = _mm_setr_ps(first, -first, first, -first);
        for (; j + 4 <= count; j += 4) {
            __m128 l = _mm_loadu_ps(xl + j);
            __m128 r = _mm_loadu_ps(xr + j);
            if constexpr (!kBypassed) {
                // float(x + o) is the float sum.
                l = _mm_add_ps(l, offsets);
                r = _mm_add_ps(r, offsets);
            }
            const __m256d left = _mm256_cvtps_pd(l);
            const __m256d right = _mm256_cvtps_pd(r);
            if constexpr (kBypassed) {
                _mm256_storeu_pd(t.excitation + j, _mm256_cvtps_pd(offsets));
            } else {
                // The excitation is the mono average of the widened sums.
                _mm256_storeu_pd(t.excitation + j,
                                 _mm256_mul_pd(_mm256_set1_pd(kExcitationWeight), _mm256_add_pd(right, left)));
            }
            // (left, right) of samples j, j + 2 and of j + 1, j + 3, each pair to its place.
            const __m256d even = _mm256_unpacklo_pd(left, right);
            const __m256d odd = _mm256_unpackhi_pd(left, right);
            _mm_storeu_pd(t.dry + 2 * j, _mm256_castpd256_pd128(even));
            _mm_storeu_pd(t.dry + 2 * j + 2, _mm256_castpd256_pd128(odd));
            _mm_storeu_pd(t.dry + 2 * j + 4, _mm256_extractf128_pd(even, 1));
            _mm_storeu_pd(t.dry + 2 * j + 6, _mm256_extractf128_pd(odd, 1));
        }
        for (; j < count; ++j) {
            DoublePair excitation;
            const DoublePair dry = takeInput<kBypassed>((j & 1) == 0 ? first : -first, xl[j], xr[j], excitation);
            t.excitation[j] = low(excitation);
            _mm_storeu_pd(t.dry + 2 * j, swapHalves(dry).v);  // takeInput() gives (right, left)
        }
    }

    // Samples [0, count) of a stretch through the crossfade of dry and wet per side, rounded to
    // float, and the output gain, as mixOutput() of string_kernel.h: two samples per operation,
    // then (left, right) sorted into the two outputs.
    //
    // The gain is applied in float arithmetic, four samples at a time. Both factors are floats,
    // so their product in double is exact and its rounding to float is the float product: the
    // same bits as the widening, double multiplication and rounding it replaces.
    static void mixOutputs(const BlockValues& b, const StretchBuffers& t, float* outL, float* outR, int32_t count) {
        const __m256d mix = _mm256_broadcastsd_pd(b.mix.v);
        const __m128 gain = _mm_set1_ps(static_cast<float>(low(b.gain)));
        const __m256d wetScale = _mm256_set1_pd(kWetScale);
        auto twoSamples = [&](int32_t j) CHORDWELL_DSP_LAMBDA_INLINE {
            const __m256d dry = _mm256_loadu_pd(t.dry + 2 * j);
            const __m256d sum = _mm256_loadu_pd(t.sum + 2 * j);
            return _mm256_cvtpd_ps(
                _mm256_add_pd(dry, _mm256_mul_pd(mix, _mm256_sub_pd(_mm256_mul_pd(wetScale, sum), dry))));
        };
        int32_t j = 0;
        for (; j + 4 <= count; j += 4) {
            const __m128 first = twoSamples(j);       // left, right of samples j, j + 1
            const __m128 second = twoSamples(j + 2);  // and of j + 2, j + 3
            _mm_storeu_ps(outL + j, _mm_mul_ps(gain, _mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0))));
            _mm_storeu_ps(outR + j, _mm_mul_ps(gain, _mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1))));
        }
        for (; j < count; ++j) {
            // mixOutput() takes (right, left) pairs; these are (left, right), so the outputs go the
            // other way round too.
            mixOutput(b, DoublePair{_mm_loadu_pd(t.dry + 2 * j)}, DoublePair{_mm_loadu_pd(t.sum + 2 * j)}, outR + j,
                      outL + j);
        }
    }
};

// The same arithmetic one sample after the other, with the conversions: on some processors
// the pipelined loop's extra operations cost more than its shorter chain gains, and the
// engine's timing run (ResonatorBank::fastestWidth()) finds out.
struct QuadLanesSequential : QuadLanes {
    static constexpr bool kPipelined = false;
};

template <class Lanes>
struct QuadStrings {
    template <bool kBypassed, class Planning>
    static void run(const BlockValues& b, StringState& s, const StretchPlan& plan, const float* inL, const float* inR,
                    float* outL, float* outR, Planning& planning) {
        runStretch<Lanes, kBypassed>(b, s, plan, inL, inR, outL, outR, planning);
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

namespace {
// Asked once per process; the answer never changes.
bool hasAvx2() {
    static const bool kHasAvx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return kHasAvx2;
}
}  // namespace

BlockRunner quadBlockRunner() { return hasAvx2() ? &runBlock<QuadStrings<QuadLanes>> : nullptr; }

BlockRunner quadSequentialBlockRunner() { return hasAvx2() ? &runBlock<QuadStrings<QuadLanesSequential>> : nullptr; }

}  // namespace dsp

#else

namespace dsp {

BlockRunner quadBlockRunner() { return nullptr; }

BlockRunner quadSequentialBlockRunner() { return nullptr; }

}  // namespace dsp

#endif
