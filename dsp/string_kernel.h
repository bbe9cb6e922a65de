// One sample of the twelve strings, run two at a time as pairs (2i, 2i + 1) of doubles, each
// pair one half of a block of QuadLines. Every operation and every rounding to float is the one the
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
#include "dsp/quad_lines.h"

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

constexpr int32_t kPairs = kNumStrings / 2;

// Doubles from one position to the next in every block of the lines.
constexpr int32_t kPositionStride = QuadLines::kStringsPerBlock;

// The entry of pair i (strings 2i, 2i + 1) at position pos: one half of the entries of the
// block that holds the pair. lines may be shifted by whole positions: the loops move it instead
// of moving twelve positions.
CHORDWELL_DSP_INLINE double* lineEntry(double* lines, int32_t i, int32_t pos) {
    const int32_t slot = QuadLines::kSlotOf[2 * i];
    return lines + (slot / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride +
           slot % QuadLines::kStringsPerBlock + kPositionStride * pos;
}

// What the first half of a sample leaves for the second. Both pairs hold (right, left): the
// lines' part of the sums comes out of the blocks that way round.
struct HalfSample {
    DoublePair sum;  // the lowpass states of strings 3, 1, 5, 7, 9, 11 and 2, 0, 4, 6, 8, 10, added in that order
    DoublePair dry;
};

// The dry signals (right, left) of one sample, and the excitation in both halves of
// `excitation`. Not bypassed, the dry signals are float(x + o) and the excitation their mono
// average (dl + dr and dr + dl are the same sum); bypassed, the dry signals pass without the
// offset and the strings receive only the offset (0.5·(o + o) is o exactly).
template <bool kBypassed>
CHORDWELL_DSP_INLINE DoublePair takeInput(float offset, float xl, float xr, DoublePair& excitation) {
    if constexpr (kBypassed) {
        excitation = splat(offset);
        return makePair(xr, xl);
    } else {
        const DoublePair dry = floatSums(xr, xl, offset);
        excitation = splat(kExcitationWeight) * (dry + swapHalves(dry));
        return dry;
    }
}

// Input, lowpass steps, line writes and the lowpass part of the wet sums. lp holds the lowpass
// states, rp the read positions and w the write position.
template <bool kBypassed>
CHORDWELL_DSP_INLINE HalfSample stringsHalf(const BlockValues& b, DoublePair (&lp)[kPairs], double* lines,
                                            const int32_t* rp, int32_t w, float offset, float xl, float xr) {
    HalfSample h;
    DoublePair excitation;
    h.dry = takeInput<kBypassed>(offset, xl, xr, excitation);

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

// The crossfade of dry and wet per side, rounded to float, and the output gain; dry and sum
// hold (right, left).
CHORDWELL_DSP_INLINE void mixOutput(const BlockValues& b, DoublePair dry, DoublePair sum, float* outL, float* outR) {
    const DoublePair mixed = roundToFloat(dry + b.mix * (splat(kWetScale) * sum - dry));
    storeFloats(b.gain * mixed, outR, outL);
}

// The lines' part of the wet sums: from pair i, string 2i at the position of its partner
// 11 − 2i (right) and string 2i + 1 at that of its partner 10 − 2i (left), pairs 0 to 5 in
// order, as the sums add strings 0, 2, ... 10 (right) and 1, 3, ... 11 (left). Then
// mixOutput().
CHORDWELL_DSP_INLINE void outputHalf(const BlockValues& b, const HalfSample& h, double* lines, const int32_t* rp,
                                     float* outL, float* outR) {
    DoublePair sum = h.sum;
    forEach<kPairs>([&](auto i) {
        sum = sum +
              blend(loadPair(lineEntry(lines, i, rp[11 - 2 * i])), loadPair(lineEntry(lines, i, rp[10 - 2 * i])));
    });
    mixOutput(b, h.dry, sum, outL, outR);
}

}  // namespace dsp
