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
//                                loops allow it, rounding quickly where that is exact
//   Values, Lowpass              the block's values widened; the twelve lowpass states
//   Offsets                      the entries of a run's first sample (reads and writes)
//   values(b), loadLowpass(s), storeLowpass(s, lp), offsets(lines, readPos, writePos)
//   convertingLowpass(lp), quickLowpass(lp)   the lowpass states as a pass by conversion keeps
//                                them, and back
//   step<kQuick>(v, lp, o, i)    each lowpass one step toward its line at its read position,
//                                for sample i of the run with entries o; rounded quickly or by
//                                conversion
//   kSumStep                     how far apart the wet sums of successive samples lie
//   writeAndSum<kQuick>(v, lp, o, i, excitation, sum)   the line writes, and the wet sums
//                                from sum on, where the width keeps them (StretchBuffers)
//   takeInputs<kBypassed, kQuick>(t, inL, inR, count, offset)   the stretch's excitations and
//                                dry signals; returns the largest magnitude among the dry
//                                signals (infinite or NaN where an input is)
//   mixOutputs<kQuick>(b, t, outL, outR, count)
//   lineBound(b, bound, peak)    a bound on every magnitude in the lines and lowpass states
//                                after a stretch whose dry signals peak at `peak`, given the
//                                bound before it (pipelined widths)
//   quickAllowed(b, bound)       whether the quick rounding may run under that bound
//   watchBegin(), watchExact(lp) around the strings of a stretch that rounds quickly: whether
//                                every value stayed where the quick arithmetic is exact
#pragma once

#include <cstdint>

#include "dsp/block_loops.h"

namespace dsp {

// What a stretch keeps between its passes, per sample j: the excitation, and the dry signals
// and wet sums, left and right, where the width's own passes want them: two-wide, the pair
// (right, left) at [2j], [2j + 1]; four-wide, left at [j] and right at [kLongestStretch + j], so
// that its passes take four samples of a side per operation with no shuffling.
struct StretchBuffers {
    alignas(32) double excitation[kLongestStretch];
    alignas(32) double dry[2 * kLongestStretch];
    alignas(32) double sum[2 * kLongestStretch];
};

// The strings through the samples of a plan, their wet sums into t.sum.
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
CHORDWELL_DSP_INLINE void runStrings(const typename Lanes::Values& values, typename Lanes::Lowpass& lowpass,
                                     double* lines, const StretchPlan& plan, StretchBuffers& t, Planning& planning) {
    // Local copies: the stores into the lines could alias anything reached through a
    // reference, which would make the compiler reload and store it all at every sample.
    const typename Lanes::Values v = values;
    typename Lanes::Lowpass lp = lowpass;
    Planning plans = planning;
    typename Lanes::Lowpass next = lp;  // the lowpass states of the sample to come
    RunCursor run(plan);
    typename Lanes::Offsets o = Lanes::offsets(lines, run.readPos(), run.writePos());
    if constexpr (kPipelined) Lanes::template step<kQuick>(v, next, o, 0);

    // Sample j, entry i of a run with entries o; the next sample is entry iAhead of oAhead.
    auto sample = [&](int32_t j, const typename Lanes::Offsets& o, int32_t i,
                      const typename Lanes::Offsets& oAhead, int32_t iAhead) CHORDWELL_DSP_LAMBDA_INLINE {
        if constexpr (kPipelined) {
            lp = next;
            Lanes::template step<kQuick>(v, next, oAhead, iAhead);
        } else {
            Lanes::template step<false>(v, lp, o, i);
        }
        plans.step();
        Lanes::template writeAndSum<kQuick>(v, lp, o, i, t.excitation[j], t.sum + Lanes::kSumStep * j);
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
}

// One stretch in three passes: its input, its strings and its output. Each kind of string pass
// is a function of its own, with the stretch's buffers on its own stack: the loop then keeps
// its registers to itself and reaches the buffers through the stack pointer. `bound` bounds
// the magnitudes in the lines and lowpass states, and the stretch extends it. Rounding quickly,
// returns false when the stretch met a value the quick arithmetic cannot round exactly, or
// would have to; nothing is then written to the outputs or to lp, and the stretch must run
// again by conversion.
template <class Lanes, bool kBypassed, bool kQuick, bool kPipelined, class Planning>
CHORDWELL_DSP_NOINLINE bool runStretchAs(const BlockValues& b, typename Lanes::Lowpass& lp, double* lines,
                                         float offset, double& bound, const StretchPlan& plan, const float* inL,
                                         const float* inR, float* outL, float* outR, Planning& planning) {
    StretchBuffers t;
    const float peak = Lanes::template takeInputs<kBypassed, kQuick>(t, inL, inR, plan.count, offset);
    bound = Lanes::lineBound(b, bound, peak);
    typename Lanes::Lowpass state = lp;
    if constexpr (kQuick) {
        if (!Lanes::quickAllowed(b, bound)) return false;
        Lanes::watchBegin();
        runStrings<Lanes, true, kPipelined>(Lanes::values(b), state, lines, plan, t, planning);
        if (!Lanes::watchExact(state)) return false;
    } else {
        state = Lanes::convertingLowpass(state);
        runStrings<Lanes, false, kPipelined>(Lanes::values(b), state, lines, plan, t, planning);
        state = Lanes::quickLowpass(state);
    }
    Lanes::template mixOutputs<kQuick>(b, t, outL, outR, plan.count);
    lp = state;
    return true;
}

// One stretch. A pipelined width rounds its lowpass steps and line writes quickly
// (Lanes::step<true>). If a value of the stretch leaves the range where that is exact, the
// stretch runs again by conversion from its start, which rewrites every line entry the first
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
        repeatable = pipelined && longest <= kLineLength - plan.count && !s.readsSilence;
    }
    if (repeatable) {
        if (!runStretchAs<Lanes, kBypassed, true, true>(b, lp, s.lines, s.offset, s.lineBound, plan, inL, inR, outL,
                                                         outR, planning)) {
            // The second pass over the stretch: the first planned what it had to plan, which
            // does not depend on the signal.
            NoPlanning none;
            runStretchAs<Lanes, kBypassed, false, true>(b, lp, s.lines, s.offset, s.lineBound, plan, inL, inR, outL,
                                                        outR, none);
        }
    } else if (pipelined) {
        runStretchAs<Lanes, kBypassed, false, true>(b, lp, s.lines, s.offset, s.lineBound, plan, inL, inR, outL, outR,
                                                    planning);
    } else {
        runStretchAs<Lanes, kBypassed, false, false>(b, lp, s.lines, s.offset, s.lineBound, plan, inL, inR, outL,
                                                     outR, planning);
    }
    Lanes::storeLowpass(s, lp);
    if ((plan.count & 1) != 0) s.offset = -s.offset;
}

}  // namespace dsp
