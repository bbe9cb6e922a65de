// The string work of the resonator bank four doubles at a time (AVX2, with FMA for one
// rounding): the twelve strings as three vectors, one per block of QuadLines (see there which
// strings a block holds). Every operation and every rounding to float is the one the two-wide
// arithmetic of resonator_bank_process.cpp makes, only on four strings (or samples) at once, so
// the output is the same to the bit. The pipelined arithmetic makes them on values multiplied by
// a power of two and rounds to float by adding and taking away a power of two (by fused
// multiply-adds whose products are exact), which gives the same bits as long as the processor
// raises none of the flags it watches; where it does, the stretch runs again by conversion.
//
// This file is the only place with AVX2 and FMA instructions, and the plug-in must still run on
// any x86-64: only the functions between the target pragmas below are compiled for them, they
// have internal linkage (so no copy of them can stand in for a baseline one elsewhere), and
// quadBlockRunner() hands them out only when the processor has both. A fused multiply-add rounds
// once where the arithmetic rounds twice, so the project compiles with -ffp-contract=off, which
// keeps the compiler from fusing anything, and the one place that fuses on purpose is the quick
// rounding below, whose products are exact.
//
// The stretch buffers live on the stack and are read and written with unaligned moves: GCC for
// 64-bit Windows cannot align a stack frame to 32 bytes, so alignas(32) is not guaranteed there.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Included before the target region: its functions must stay baseline code.
#include "dsp/block_loops.h"
#include "dsp/float_environment.h"
#include "dsp/string_kernel.h"

// CHORDWELL_DSP_AVX2 (dsp/double_pair.h): whether this build has the four-wide arithmetic.
#if CHORDWELL_DSP_AVX2
#include <immintrin.h>
#endif

#if CHORDWELL_DSP_AVX2

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif

// Compiled for AVX2 and FMA here: every function in it is a template over the Lanes below.
#include "dsp/stretch_loop.h"

namespace dsp {
namespace {

// Each value rounded to the nearest float, kept as a double.
CHORDWELL_DSP_INLINE __m256d roundQuadToFloat(__m256d x) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(x)); }

// Quick rounding to float precision. For a double y with exponent e (2^e ≤ |y| < 2^(e + 1)),
// take c = ±2^(e + 29) with the sign of y. y + c lies in c's binade, where a double's last
// place is 2^(e − 23), a float's last place at e; so y + c rounds y to float precision, to
// nearest with ties going where a float's would, and (y + c) − c is exact. This equals the
// conversion to float and back as long as the float result is normal and finite. With
// a = ±2^e (y's sign and exponent bits), c = a · 2^29 is exact, so a fused multiply-add gives
// y + c with the one rounding the addition has, and another gives (y + c) − c: a logical
// operation and two fused operations in place of two conversions, the shorter chain from sample
// to sample (see docs/performance.md), and with both fused operations on the multiplying pipes,
// the adding ones stay free for the rest of the loop. Zero gives zero.
inline constexpr uint64_t kSignAndExponent = 0xFFF0000000000000u;
inline constexpr double kQuickRoundingFactor = 0x1p29;

CHORDWELL_DSP_INLINE __m256d roundQuadToFloatQuickly(__m256d y) {
    const __m256d signAndExponent =
        _mm256_castsi256_pd(_mm256_set1_epi64x(static_cast<int64_t>(kSignAndExponent)));
    const __m256d a = _mm256_and_pd(y, signAndExponent);  // ±2^e
    const __m256d t = _mm256_fmadd_pd(a, _mm256_set1_pd(kQuickRoundingFactor), y);
    return _mm256_fnmadd_pd(a, _mm256_set1_pd(kQuickRoundingFactor), t);
}

// The pipelined width keeps every line entry and lowpass state, and the wet sums of the
// stretches it rounds quickly, multiplied by kLineScale. Multiplying by a power of two is
// exact, and so is every operation on the scaled values whose result stays a normal double:
// the same operations on the values themselves, scaled. The scale puts the smallest normal
// float, 2^-126, at the smallest normal double, 2^-1022. A value below the floats' normal range
// therefore turns up as a subnormal double: computed inexactly, the operation raises the
// processor's underflow flag; read as an operand, the denormal flag. Those two flags (and the
// invalid flag) are what the loop watches instead of checking every value's range, and the
// values above the range are kept away by a bound (lineBound()). Zero is exact both ways.
inline constexpr double kLineScale = kPipelinedLineScale;
inline constexpr double kLineUnscale = 1.0 / kPipelinedLineScale;
static_assert(kLineScale * 0x1p-126 == 0x1p-1022);

// MXCSR's flags for an invalid operation, a denormal operand and an underflow.
inline constexpr uint32_t kInexactRoundingFlags = 0x1u | 0x2u | 0x10u;

// Quick rounding stays off once a stretch's values could come near the floats' largest, and
// where the loop's gain or damping would let values grow: the bound relies on 0 < damping ≤ 1
// and a loop gain of at most kLargestFeedback (see lineBound()).
inline constexpr double kQuickLimit = 0x1p126;
inline constexpr double kLargestFeedback = 1.0 - 0x1p-16;
inline constexpr double kBoundMargin = 1.0 + 0x1p-6;

CHORDWELL_DSP_INLINE __m128d lowHalf(__m256d x) { return _mm256_castpd256_pd128(x); }
CHORDWELL_DSP_INLINE __m128d highHalf(__m256d x) { return _mm256_extractf128_pd(x, 1); }

// The per-sample arithmetic of stretch_loop.h on the three blocks of QuadLines. kScaled is the
// pipelined width, which rounds quickly on scaled values where it can (above) and otherwise by
// conversion, taking its values out of the scale and back for that; the other is the same
// arithmetic one sample after the other, by conversion, on the values as they are.
template <bool kScaled>
struct QuadArithmetic {
    static constexpr int32_t kStride = kPositionStride;
    static constexpr bool kPipelined = kScaled;
    static constexpr int32_t kSumStep = 1;

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

    CHORDWELL_DSP_INLINE static __m256d scaled(__m256d x) {
        if constexpr (kScaled) return _mm256_mul_pd(x, _mm256_set1_pd(kLineScale));
        return x;
    }
    CHORDWELL_DSP_INLINE static __m256d unscaled(__m256d x) {
        if constexpr (kScaled) return _mm256_mul_pd(x, _mm256_set1_pd(kLineUnscale));
        return x;
    }
    CHORDWELL_DSP_INLINE static __m128d unscaled(__m128d x) {
        if constexpr (kScaled) return _mm_mul_pd(x, _mm_set1_pd(kLineUnscale));
        return x;
    }

    static Values values(const BlockValues& b) {
        return {_mm256_broadcastsd_pd(b.feedback.v), _mm256_broadcastsd_pd(b.damp.v)};
    }
    static Lowpass loadLowpass(const StringState& s) {
        return {scaled(_mm256_set_m128d(s.lowpass[5].v, s.lowpass[0].v)),
                scaled(_mm256_set_m128d(s.lowpass[4].v, s.lowpass[1].v)),
                scaled(_mm256_set_m128d(s.lowpass[3].v, s.lowpass[2].v))};
    }
    static void storeLowpass(StringState& s, const Lowpass& scaledLp) {
        const Lowpass lp{unscaled(scaledLp.a), unscaled(scaledLp.b), unscaled(scaledLp.c)};
        s.lowpass[0].v = lowHalf(lp.a);
        s.lowpass[5].v = highHalf(lp.a);
        s.lowpass[1].v = lowHalf(lp.b);
        s.lowpass[4].v = highHalf(lp.b);
        s.lowpass[2].v = lowHalf(lp.c);
        s.lowpass[3].v = highHalf(lp.c);
    }

    // A bound on the magnitudes in the lines and lowpass states after a stretch. A lowpass step
    // with 0 < damping ≤ 1 moves its state toward what it reads, so its float result is no
    // larger than the larger of the two, both floats; a line write e + g · state, with |e| at
    // most the peak of the dry signals and 0 ≤ g ≤ kLargestFeedback, stays within the bound B as
    // long as B ≥ peak / (1 − g) with some margin for the roundings. Outside those conditions
    // the bound is infinite, and stays so until the strings are silenced.
    static double lineBound(const BlockValues& b, double bound, float peak) {
        if constexpr (!kScaled) return bound;
        const double feedback = low(b.feedback);
        const double damp = low(b.damp);
        const double dry = peak;
        if (!(feedback >= 0.0 && feedback <= kLargestFeedback && damp > 0.0 && damp <= 1.0 && dry < kQuickLimit)) {
            return std::numeric_limits<double>::infinity();
        }
        return std::max(bound, dry / (1.0 - feedback) * kBoundMargin);
    }
    static bool quickAllowed(const BlockValues&, double bound) { return kScaled && bound < kQuickLimit; }

    // The processor's exception flags around the strings of a stretch that rounds quickly.
    // process() runs in the default floating-point mode (float_environment.h), which this
    // restores with the flags cleared. The assembly statements order themselves against
    // every memory access, and the last one waits for the lowpass states the loop leaves.
    static void watchBegin() {
        const uint32_t control = kDefaultFloatControl;
        asm volatile("ldmxcsr %0" : : "m"(control) : "memory");
    }
    static bool watchExact(Lowpass& lp) {
        uint32_t status;
        asm volatile("stmxcsr %0" : "=m"(status), "+x"(lp.a), "+x"(lp.b), "+x"(lp.c) : : "memory");
        return (status & kInexactRoundingFlags) == 0;
    }

    static Offsets offsets(double* lines, const int32_t* rp, int32_t w) {
        Offsets o;
        for (int32_t slot = 0; slot < kNumStrings; ++slot) {
            const double* block =
                lines + static_cast<ptrdiff_t>(slot / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride;
            o.read[slot] = block + static_cast<ptrdiff_t>(kStride) * rp[QuadLines::kStringInSlot[slot]];
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

    // The lowpass states of a pass by conversion are the values themselves, taken out of the
    // scale for the whole pass: a state that sinks through the floats' subnormal range (strings
    // that read silence after a change of transposition) would otherwise be a subnormal double
    // at every step, which the processor handles slowly.
    static Lowpass convertingLowpass(const Lowpass& lp) { return {unscaled(lp.a), unscaled(lp.b), unscaled(lp.c)}; }
    static Lowpass quickLowpass(const Lowpass& lp) { return {scaled(lp.a), scaled(lp.b), scaled(lp.c)}; }

    // One lowpass step: quickly on the scaled values, or by conversion on the values themselves.
    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void stepBlock(const Values& v, __m256d& lp, __m256d own) {
        if constexpr (kQuick) {
            lp = roundQuadToFloatQuickly(_mm256_add_pd(lp, _mm256_mul_pd(v.damp, _mm256_sub_pd(own, lp))));
        } else {
            lp = roundQuadToFloat(_mm256_add_pd(lp, _mm256_mul_pd(v.damp, _mm256_sub_pd(unscaled(own), lp))));
        }
    }

    // Each lowpass takes one step toward what its line holds at its read position.
    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void step(const Values& v, Lowpass& lp, const Offsets& o, int32_t i) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * i;
        stepBlock<kQuick>(v, lp.a, readOwn<0>(o, at));
        stepBlock<kQuick>(v, lp.b, readOwn<1>(o, at));
        stepBlock<kQuick>(v, lp.c, readOwn<2>(o, at));
    }

    // Every string of block q at its partner's read position, the partners of the lanes
    // (a, b, c, d) of a block being (d, c, b, a), as two halves: lower (left, right) = (lane b
    // at c's position, lane a at d's) and upper (left, right) = (lane d at a's position, lane c
    // at b's), each one step of the wet sums. The entries are those readOwn() loads, read again
    // as halves after the sample's writes: that spares taking upper halves out of full vectors
    // and keeps no values in registers across the writes. Each half is put together from two
    // loads of two doubles that start where the wanted lane falls in the half's place, one of
    // them a double before or three after the entries of its position (QuadLines::kLeadingPad).
    // Rounding quickly, the halves stay scaled, as the sums are; by conversion, they are taken
    // out of the scale.
    template <bool kQuick, int32_t kBlock>
    CHORDWELL_DSP_INLINE static __m128d partnersLower(const Offsets& o, ptrdiff_t at) {
        constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
        const __m128d half =
            _mm_blend_pd(_mm_loadu_pd(o.read[slot + 2] + at + 1), _mm_loadu_pd(o.read[slot + 3] + at - 1), 0b10);
        return kQuick ? half : unscaled(half);
    }
    template <bool kQuick, int32_t kBlock>
    CHORDWELL_DSP_INLINE static __m128d partnersUpper(const Offsets& o, ptrdiff_t at) {
        constexpr int32_t slot = QuadLines::kStringsPerBlock * kBlock;
        const __m128d half =
            _mm_blend_pd(_mm_loadu_pd(o.read[slot] + at + 3), _mm_loadu_pd(o.read[slot + 1] + at + 1), 0b10);
        return kQuick ? half : unscaled(half);
    }

    // A block's line write: the excitation plus the loop gain times the new lowpass state
    // (scaled when rounding quickly, the value itself by conversion).
    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void writeBlock(const Values& v, __m256d excitation, __m256d lp, double* entry) {
        if constexpr (kQuick) {
            _mm256_storeu_pd(entry, roundQuadToFloatQuickly(_mm256_add_pd(excitation, _mm256_mul_pd(v.feedback, lp))));
        } else {
            const __m256d written = _mm256_add_pd(excitation, _mm256_mul_pd(v.feedback, lp));
            _mm256_storeu_pd(entry, scaled(roundQuadToFloat(written)));
        }
    }

    // The line writes, and the wet sums, left to sum[0] and right to sum[kLongestStretch], whose
    // lines' part reads after the writes. Rounding quickly, the lowpass states, the excitation
    // and the sums are scaled; by conversion, they are the values themselves, and so are the
    // sums' terms.
    template <bool kQuick>
    CHORDWELL_DSP_INLINE static void writeAndSum(const Values& v, const Lowpass& lp, const Offsets& o, int32_t i,
                                                 double excitation, double* sum) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * i;
        const __m256d e = _mm256_set1_pd(excitation);
        writeBlock<kQuick>(v, e, lp.a, o.write + at);
        writeBlock<kQuick>(v, e, lp.b, o.write + at + QuadLines::kBlockStride);
        writeBlock<kQuick>(v, e, lp.c, o.write + at + 2 * QuadLines::kBlockStride);

        // The halves of the blocks hold the pairs (left, right) = (0, 1), (10, 11); (2, 3),
        // (8, 9); (4, 5), (6, 7). The lowpass part adds the pairs up in the order (2, 3),
        // (0, 1), (4, 5), (6, 7), (8, 9), (10, 11); the lines' part then adds strings 1, 3,
        // ... 11 (left) and 0, 2, ... 10 (right), each at its partner's read position, two at
        // a time, each pair read as it is added.
        __m128d s = _mm_add_pd(lowHalf(lp.b), lowHalf(lp.a));
        s = _mm_add_pd(s, lowHalf(lp.c));
        s = _mm_add_pd(s, highHalf(lp.c));
        s = _mm_add_pd(s, highHalf(lp.b));
        s = _mm_add_pd(s, highHalf(lp.a));
        s = _mm_add_pd(s, partnersLower<kQuick, 0>(o, at));  // strings 1, 0 at 10's, 11's
        s = _mm_add_pd(s, partnersLower<kQuick, 1>(o, at));  // strings 3, 2 at 8's, 9's
        s = _mm_add_pd(s, partnersLower<kQuick, 2>(o, at));  // strings 5, 4 at 6's, 7's
        s = _mm_add_pd(s, partnersUpper<kQuick, 2>(o, at));  // strings 7, 6 at 4's, 5's
        s = _mm_add_pd(s, partnersUpper<kQuick, 1>(o, at));  // strings 9, 8 at 2's, 3's
        s = _mm_add_pd(s, partnersUpper<kQuick, 0>(o, at));  // strings 11, 10 at 0's, 1's
        _mm_storel_pd(sum, s);
        _mm_storeh_pd(sum + kLongestStretch, s);
    }

    // The dry signals and excitations of samples [0, count) of a stretch, from inputs xl, xr:
    // as takeInput() of string_kernel.h, with the offset +first at even samples and −first at
    // odd ones, four samples per operation, the excitations scaled for the quick rounding.
    // Returns the largest magnitude of what excites the strings, taken from the floats' bits,
    // where infinities and NaN compare above every finite value.
    template <bool kBypassed, bool kQuick>
    static float takeInputs(StretchBuffers& t, const float* xl, const float* xr, int32_t count, float first) {
        constexpr double kScale = kQuick ? kLineScale : 1.0;
        const __m128i magnitude = _mm_set1_epi32(0x7FFFFFFF);
        __m128i peak = _mm_setzero_si128();
        int32_t j = 0;
        const __m128 offsets = _mm_setr_ps(first, -first, first, -first);
        for (; j + 4 <= count; j += 4) {
            __m128 l = _mm_loadu_ps(xl + j);
            __m128 r = _mm_loadu_ps(xr + j);
            if constexpr (!kBypassed) {
                // float(x + o) is the float sum.
                l = _mm_add_ps(l, offsets);
                r = _mm_add_ps(r, offsets);
                peak = _mm_max_epu32(peak, _mm_and_si128(_mm_castps_si128(l), magnitude));
                peak = _mm_max_epu32(peak, _mm_and_si128(_mm_castps_si128(r), magnitude));
            }
            const __m256d left = _mm256_cvtps_pd(l);
            const __m256d right = _mm256_cvtps_pd(r);
            if constexpr (kBypassed) {
                _mm256_storeu_pd(t.excitation + j, _mm256_mul_pd(_mm256_set1_pd(kScale), _mm256_cvtps_pd(offsets)));
            } else {
                // The excitation is the mono average of the widened sums; with the scale, the
                // weight times a power of two, exact like the scaling itself.
                _mm256_storeu_pd(t.excitation + j, _mm256_mul_pd(_mm256_set1_pd(kExcitationWeight * kScale),
                                                                 _mm256_add_pd(right, left)));
            }
            _mm256_storeu_pd(t.dry + j, left);
            _mm256_storeu_pd(t.dry + kLongestStretch + j, right);
        }
        for (; j < count; ++j) {
            DoublePair excitation;
            const DoublePair dry = takeInput<kBypassed>((j & 1) == 0 ? first : -first, xl[j], xr[j], excitation);
            t.excitation[j] = low(excitation) * kScale;
            t.dry[j] = high(dry);  // takeInput() gives (right, left)
            t.dry[kLongestStretch + j] = low(dry);
            if constexpr (!kBypassed) {
                peak = _mm_max_epu32(peak, _mm_and_si128(_mm_castps_si128(_mm_cvtpd_ps(dry.v)), magnitude));
            }
        }
        if constexpr (kBypassed) return std::fabs(first);  // the strings receive the offset alone
        peak = _mm_max_epu32(peak, _mm_shuffle_epi32(peak, _MM_SHUFFLE(1, 0, 3, 2)));
        peak = _mm_max_epu32(peak, _mm_shuffle_epi32(peak, _MM_SHUFFLE(2, 3, 0, 1)));
        return _mm_cvtss_f32(_mm_castsi128_ps(peak));
    }

    // Samples [0, count) of a stretch through the crossfade of dry and wet per side, rounded to
    // float, and the output gain, as mixOutput() of string_kernel.h, four samples of a side per
    // operation. Scaled sums take the scale's inverse into the wet sums' factor: its product
    // with a scaled sum is exactly the product with the sum.
    //
    // The gain is applied in float arithmetic. Both factors are floats, so their product in
    // double is exact and its rounding to float is the float product: the same bits as the
    // widening, double multiplication and rounding it replaces.
    template <bool kQuick>
    static void mixOutputs(const BlockValues& b, const StretchBuffers& t, float* outL, float* outR, int32_t count) {
        constexpr double kWet = kQuick ? kWetScale * kLineUnscale : kWetScale;
        const __m256d mix = _mm256_broadcastsd_pd(b.mix.v);
        const __m128 gain = _mm_set1_ps(static_cast<float>(low(b.gain)));
        const __m256d wetScale = _mm256_set1_pd(kWet);
        auto fourSamples = [&](const double* dry, const double* sum, float* out) CHORDWELL_DSP_LAMBDA_INLINE {
            const __m256d d = _mm256_loadu_pd(dry);
            const __m256d mixed =
                _mm256_add_pd(d, _mm256_mul_pd(mix, _mm256_sub_pd(_mm256_mul_pd(wetScale, _mm256_loadu_pd(sum)), d)));
            _mm_storeu_ps(out, _mm_mul_ps(gain, _mm256_cvtpd_ps(mixed)));
        };
        int32_t j = 0;
        for (; j + 4 <= count; j += 4) {
            fourSamples(t.dry + j, t.sum + j, outL + j);
            fourSamples(t.dry + kLongestStretch + j, t.sum + kLongestStretch + j, outR + j);
        }
        for (; j < count; ++j) {
            const __m128d dry = _mm_setr_pd(t.dry[j], t.dry[kLongestStretch + j]);
            const __m128d sum = _mm_setr_pd(t.sum[j], t.sum[kLongestStretch + j]);
            const __m128d mixed = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_add_pd(
                dry, _mm_mul_pd(b.mix.v, _mm_sub_pd(_mm_mul_pd(_mm_set1_pd(kWet), sum), dry)))));
            // (left, right), rounded to float after the gain.
            storeFloats(b.gain * DoublePair{mixed}, outL + j, outR + j);
        }
    }
};

using QuadLanes = QuadArithmetic<true>;
using QuadLanesSequential = QuadArithmetic<false>;

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
// Asked once per process; the answer never changes. Every processor with AVX2 that Intel and
// AMD make has FMA too.
bool hasAvx2AndFma() {
    static const bool kHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0;
    }();
    return kHas;
}
}  // namespace

BlockRunner quadBlockRunner() { return hasAvx2AndFma() ? &runBlock<QuadStrings<QuadLanes>> : nullptr; }

BlockRunner quadSequentialBlockRunner() {
    return hasAvx2AndFma() ? &runBlock<QuadStrings<QuadLanesSequential>> : nullptr;
}

}  // namespace dsp

#else

namespace dsp {

BlockRunner quadBlockRunner() { return nullptr; }

BlockRunner quadSequentialBlockRunner() { return nullptr; }

}  // namespace dsp

#endif
