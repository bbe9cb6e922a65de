// The string work of one stretch (block_loops.h), written once for both arithmetic widths over
// a Lanes policy that holds the per-sample arithmetic of one width.
//
// Every function here is a template over Lanes, and each width's Lanes type has internal
// linkage, so every instantiation belongs to one source file and is compiled for that file's
// instruction set. The four-wide file includes this header inside its AVX2 target region
// (block_loops.h, which holds baseline code, before it); the two-wide file includes it as usual.
//
// A Lanes policy supplies, all inline:
//   kStride                      doubles from one position of the lines to the next
//   kPipelined                   whether the width runs its strings pipelined (below) where the
//                                loops allow it, with quick rounding while values allow that
//   Values, Lowpass              the block's values widened; the twelve lowpass states
//   Offsets                      the entries of a run's first sample (reads and writes)
//   Range                        the bits that collect the quick rounding's range
//   values(b), loadLowpass(s), storeLowpass(s, lp), offsets(lines, readPos, writePos),
//   noRange(), inRange(range)
//   step<kQuick>(v, lp, o, i, range)   each lowpass one step toward its line at its read
//                                      position, for sample i of the run with entries o;
//                                      rounded quickly or by conversion, the values noted in
//                                      range (kPipelined widths)
//   writeAndSum(v, lp, o, i, excitation, sum)   the line writes, and the wet sums into
//                                      sum[0], sum[1], left and right in the width's order
//   takeInputs<kBypassed>(t, inL, inR, count, offset), mixOutputs(b, t, outL, outR, count)
#pragma once

#include <cstdint>

#include "dsp/block_loops.h"

namespace dsp {

// What a stretch keeps between its passes, per sample j: the excitation, and the dry signals
// and wet sums at [2j], [2j + 1], left and right in the order the width's own passes use:
// (right, left) two-wide, (left, right) four-wide.
struct StretchBuffers {
    alignas(32) double excitation[kStretch];
    alignas(32) double dry[2 * kStretch];
    alignas(32) double sum[2 * kStretch];
};

// The strings through the samples of a plan, their wet sums into t.sum. Returns whether every
// lowpass value stayed in the quick rounding's range (pipelined only).
//
// Pipelined, each sample first takes the next sample's lowpass steps and only then writes its
// own lines and adds up its sums. The lowpass steps form the one chain that runs from sample
// to sample; placed first, they are the oldest work in flight and the processor runs them
// before the rest, which then fills the time the chain leaves. Reading the next sample's
// entries before this sample's writes is exact when no loop is shorter than 2, so that no
// read position of the next sample is the position written now.
//
// Once per sample the loop also gives `planning` a step (block_loops.h).
template <class Lanes, bool kQuick, bool kPipelined, class Planning>
CHORDWELL_DSP_INLINE bool runStrings(const typename Lanes::Values& values, typename Lanes::Lowpass& lowpass,
                                     double* lines, const StretchPlan& plan, StretchBuffers& t, Planning& planning) {
    // Local copies: the stores into the lines could alias anything reached through a
    // reference, which would make the compiler reload and store it all at every sample.
    const typename Lanes::Values v = values;
    typename Lanes::Lowpass lp = lowpass;
    Planning plans = planning;
    typename Lanes::Lowpass next = lp;  // the lowpass states of the sample to come
    typename Lanes::Range range = Lanes::noRange();
    RunCursor run(plan);
    typename Lanes::Offsets o = Lanes::offsets(lines, run.readPos(), run.writePos());
    if constexpr (kPipelined) Lanes::template step<kQuick>(v, next, o, 0, range);

    // Sample j, entry i of a run with entries o; the next sample is entry iAhead of oAhead.
    auto sample = [&](int32_t j, const typename Lanes::Offsets& o, int32_t i,
                      const typename Lanes::Offsets& oAhead, int32_t iAhead) CHORDWELL_DSP_LAMBDA_INLINE {
        if constexpr (kPipelined) {
            lp = next;
            Lanes::template step<kQuick>(v, next, oAhead, iAhead, range);
        } else {
            Lanes::template step<false>(v, lp, o, i, range);
        }
        plans.step();
        Lanes::writeAndSum(v, lp, o, i, t.excitation[j], t.sum + 2 * j);
    };

    for (;;) {
        const int32_t first = run.begin();
        const int32_t last = run.end() - 1;
        for (int32_t j = first; j < last; ++j) sample(j, o, j - first, o, j - first + 1);
        // The run's last sample looks ahead with the next run's entries; after the stretch's
        // last sample it reads the positions of the sample after it, and its result is unused.
        const bool more = run.next();
        const typename Lanes::Offsets following = Lanes::offsets(lines, run.readPos(), run.writePos());
        sample(last, o, last - first, following, 0);
        if (!more) break;
        o = following;
    }
    lowpass = lp;
    planning = plans;
    return Lanes::inRange(range);
}

// One stretch in three passes: its input, its strings and its output. Each kind of string pass
// is a function of its own, with the stretch's buffers on its own stack: the loop then keeps
// its registers to itself and reaches the buffers through the stack pointer. Returns whether
// the lowpass values stayed in the quick rounding's range; when they did not and kQuick is
// set, nothing is written to the outputs or to lp.
template <class Lanes, bool kBypassed, bool kQuick, bool kPipelined, class Planning>
CHORDWELL_DSP_NOINLINE bool runStretchAs(const BlockValues& b, typename Lanes::Lowpass& lp, double* lines,
                                         float offset, const StretchPlan& plan, const float* inL,
                                         const float* inR, float* outL, float* outR, Planning& planning) {
    StretchBuffers t;
    Lanes::template takeInputs<kBypassed>(t, inL, inR, plan.count, offset);
    typename Lanes::Lowpass state = lp;
    const bool inRange = runStrings<Lanes, kQuick, kPipelined>(Lanes::values(b), state, lines, plan, t, planning);
    if (kQuick && !inRange) return false;
    Lanes::mixOutputs(b, t, outL, outR, plan.count);
    lp = state;
    return inRange;
}

// One stretch. A pipelined width rounds its lowpass steps quickly (Lanes::step<true>) while the
// values of the last stretch stayed in range. If a value of this stretch leaves it, the stretch
// runs again with the conversions from its start, which rewrites every line entry the first
// pass wrote before anything reads it, as long as no loop is nearly as long as the lines (a
// read position then lies ahead of the positions the stretch writes). Otherwise the strings
// round by conversion, pipelined where every loop is at least 2 long.
template <class Lanes, bool kBypassed, class Planning>
CHORDWELL_DSP_INLINE void runStretch(const BlockValues& b, StringState& s, const StretchPlan& plan,
                                     const float* inL, const float* inR, float* outL, float* outR,
                                     Planning& planning) {
    typename Lanes::Lowpass lp = Lanes::loadLowpass(s);
    bool pipelined = false;
    bool repeatable = false;
    if constexpr (Lanes::kPipelined) {
        int32_t shortest;
        int32_t longest;
        plan.loopRange(shortest, longest);
        pipelined = shortest >= 2;
        repeatable = pipelined && longest <= kLineLength - kStretch;
    }
    if (pipelined) {
        const bool tryQuick = s.quickRounding && repeatable;
        if (!(tryQuick && runStretchAs<Lanes, kBypassed, true, true>(b, lp, s.lines, s.offset, plan, inL, inR, outL,
                                                                      outR, planning))) {
            bool inRange;
            if (tryQuick) {
                // The second pass over the stretch: the first planned what it had to plan, which
                // does not depend on the signal.
                NoPlanning none;
                inRange = runStretchAs<Lanes, kBypassed, false, true>(b, lp, s.lines, s.offset, plan, inL, inR, outL,
                                                                      outR, none);
            } else {
                inRange = runStretchAs<Lanes, kBypassed, false, true>(b, lp, s.lines, s.offset, plan, inL, inR, outL,
                                                                      outR, planning);
            }
            s.quickRounding = inRange && repeatable;
        }
    } else {
        runStretchAs<Lanes, kBypassed, false, false>(b, lp, s.lines, s.offset, plan, inL, inR, outL, outR, planning);
        s.quickRounding = false;
    }
    Lanes::storeLowpass(s, lp);
    if ((plan.count & 1) != 0) s.offset = -s.offset;
}

}  // namespace dsp
