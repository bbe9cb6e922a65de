// Pieces of the per-sample string arithmetic shared by both widths: what a block takes from
// the setters, the line entries of a pair of strings, and the input and output of one sample,
// two doubles at a time. Every operation and every rounding to float is the one the
// straightforward per-string loop makes, so the output is the same to the bit.
#pragma once

#include <cstddef>
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

// Doubles from the lines' base address to the entry of pair i (strings 2i, 2i + 1) at
// position 0: one half of the entries of the block that holds the pair. The entry at position
// p lies kPositionStride · p further on.
constexpr ptrdiff_t pairOffset(int32_t i) {
    const int32_t slot = QuadLines::kSlotOf[2 * i];
    return static_cast<ptrdiff_t>(slot / QuadLines::kStringsPerBlock) * QuadLines::kBlockStride +
           slot % QuadLines::kStringsPerBlock;
}

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

// The crossfade of dry and wet per side, rounded to float, and the output gain; dry and sum
// hold (right, left).
CHORDWELL_DSP_INLINE void mixOutput(const BlockValues& b, DoublePair dry, DoublePair sum, float* outL, float* outR) {
    const DoublePair mixed = roundToFloat(dry + b.mix * (splat(kWetScale) * sum - dry));
    storeFloats(b.gain * mixed, outR, outL);
}

}  // namespace dsp
