// One sample of the twelve strings, run two at a time as pairs (2i, 2i + 1) of doubles that
// match the blocks of PairedLines. Every operation and every rounding to float is the one the
// straightforward per-string loop makes, so the output is the same to the bit.
//
// A sample comes in two halves. stringsHalf() takes the input, moves every lowpass one step
// toward what its line holds at its read position, writes the lines, and adds up the lowpass
// part of the wet sums; outputHalf() adds the lines' part, which reads the lines after that
// sample's writes, and mixes and scales the output. They can run right after each other, or
// the second halves of a stretch of samples can follow their first halves (see runAdvancing()).
#pragma once

#include <cstdint>
#include <utility>

#include "dsp/constants.h"
#include "dsp/double_pair.h"
#include "dsp/paired_lines.h"

namespace dsp {

// What one block takes from the setters' values, once at its start.
struct BlockValues {
    DoublePair gain;
    DoublePair mix;
    DoublePair feedback;
    DoublePair damp;
    float tuneTarget;
    float detuneTarget;
    float fs;
    float transposeRatio;
    bool bypassed;
};

// Calls f(0), f(1), ... f(N − 1) with compile-time indices, written out rather than looped, so
// that every pair of strings can stay in registers of its own.
template <class F, int32_t... I>
CHORDWELL_DSP_INLINE void unrolled(F&& f, std::integer_sequence<int32_t, I...>) {
    (f(std::integral_constant<int32_t, I>{}), ...);
}
template <int32_t N, class F>
CHORDWELL_DSP_INLINE void forEach(F&& f) {
    unrolled(f, std::make_integer_sequence<int32_t, N>{});
}

constexpr int32_t kPairs = PairedLines::kBlocks;

// The entry of position pos in block i. lines may be shifted by whole positions: the loops
// move it instead of moving twelve positions.
CHORDWELL_DSP_INLINE double* lineEntry(double* lines, int32_t i, int32_t pos) {
    return lines + i * PairedLines::kBlockStride + 2 * pos;
}

// What the first half of a sample leaves for the second. Both pairs hold (right, left): the
// lines' part of the sums comes out of the blocks that way round.
struct HalfSample {
    DoublePair sum;  // the lowpass states of strings 3, 1, 5, 7, 9, 11 and 2, 0, 4, 6, 8, 10, added in that order
    DoublePair dry;
};

// Input, lowpass steps, line writes and the lowpass part of the wet sums. lp holds the lowpass
// states, rp the read positions and w the write position.
template <bool kBypassed>
CHORDWELL_DSP_INLINE HalfSample stringsHalf(const BlockValues& b, DoublePair (&lp)[kPairs], double* lines,
                                            const int32_t* rp, int32_t w, float offset, float xl, float xr) {
    // The dry signals float(x + o); bypassed, the strings receive only the offset
    // (0.5·(o + o) is o exactly) and the dry signals pass without it. dl + dr and dr + dl are
    // the same sum.
    HalfSample h;
    DoublePair excitation;
    if constexpr (kBypassed) {
        h.dry = makePair(xr, xl);
        excitation = splat(offset);
    } else {
        h.dry = floatSums(xr, xl, offset);
        excitation = splat(kExcitationWeight) * (h.dry + swapHalves(h.dry));
    }

    // Each lowpass takes one step toward what its line holds at its read position; then every
    // line gets the excitation plus the loop gain times the new lowpass state, as a float.
    forEach<kPairs>([&](auto i) {
        const DoublePair x = blend(loadPair(lineEntry(lines, i, rp[2 * i])), loadPair(lineEntry(lines, i, rp[2 * i + 1])));
        lp[i] = roundToFloat(lp[i] + b.damp * (x - lp[i]));
    });
    forEach<kPairs>([&](auto i) { storePair(lineEntry(lines, i, w), roundToFloat(excitation + b.feedback * lp[i])); });

    // Pair i holds (left, right) = strings (2i, 2i + 1), so the lowpass part adds up left and
    // right at once, then turns round.
    DoublePair sum = lp[1] + lp[0];
    sum = sum + lp[2];
    sum = sum + lp[3];
    sum = sum + lp[4];
    sum = sum + lp[5];
    h.sum = swapHalves(sum);
    return h;
}

// The lines' part of the wet sums: from block i, string 2i at the position of its partner
// 11 − 2i (right) and string 2i + 1 at that of its partner 10 − 2i (left), blocks 0 to 5 in
// order, as the sums add strings 0, 2, ... 10 (right) and 1, 3, ... 11 (left). Then the
// crossfade of dry and wet per side, rounded to float, and the output gain.
CHORDWELL_DSP_INLINE void outputHalf(const BlockValues& b, const HalfSample& h, double* lines, const int32_t* rp,
                                     float* outL, float* outR) {
    DoublePair sum = h.sum;
    forEach<kPairs>([&](auto i) {
        sum = sum +
              blend(loadPair(lineEntry(lines, i, rp[11 - 2 * i])), loadPair(lineEntry(lines, i, rp[10 - 2 * i])));
    });
    const DoublePair mixed = roundToFloat(h.dry + b.mix * (splat(kWetScale) * sum - h.dry));
    storeFloats(b.gain * mixed, outR, outL);
}

}  // namespace dsp
