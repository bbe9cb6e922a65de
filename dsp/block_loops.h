// The loops of one block around the per-sample string work, shared by the two-wide and the
// four-wide string arithmetic. A block is taken in stretches of at most kStretch samples while
// the glides move, kLongestStretch otherwise (stretch_plan.h). For each stretch the read
// positions are planned: while neither glide moves they simply advance, otherwise the glides
// move and the loop-length rule sets the positions after every sample (glide_planner.h). The
// string work then runs the whole stretch in one go.
//
// Each string arithmetic is a Strings policy that supplies
//     template <bool kBypassed, class Planning> static void run(const BlockValues&,
//         StringState&, const StretchPlan&, const float* inL, const float* inR, float* outL,
//         float* outR, Planning&);
// which runs the plan's samples from those buffers, gives `planning` a step per sample (see
// glide_planner.h), and leaves in the state the offset and lowpass states of the sample after
// the stretch; runBlock() moves the positions on.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/glide_planner.h"
#include "dsp/loop_delays.h"
#include "dsp/stretch_plan.h"
#include "dsp/string_kernel.h"

namespace dsp {

// The string state as the loops keep it. lowpass[i] holds strings 2i and 2i + 1, widened.
struct StringState {
    double* lines;
    DoublePair lowpass[kPairs];
    int32_t readPos[kNumStrings];
    int32_t writePos;
    float tuneRatio;
    float detuneAmount;
    float offset;  // the denormal guard: ±kDenormalOffset, its sign alternating every sample
    // A bound on the magnitude of every line entry and lowpass state, which the pipelined
    // width keeps to know when its quick rounding could overflow (see stretch_loop.h); 0 for
    // silent strings.
    double lineBound;
    // The lines as if cleared whole at the last change of transposition. Such a change clears
    // nothing at once: each stretch first clears the positions its loops are about to read that
    // were neither written nor cleared since (freshen()), the few hundred between its longest
    // and shortest loop, then one stretch more each time, instead of the whole lines; more when
    // a glide or a new sample rate lengthens a loop. A position u before the change's first
    // write holds, in block q of the lines, what a whole clear would have left once u lies in
    // [clearedNear[q], clearedFar[q]] (empty while near > far), or once it has been written
    // again. Each block keeps its own span: the loops of its strings lie closer together than
    // those of all twelve.
    int32_t sinceChange;  // samples since the change; kLineLength once all are written again
    int32_t clearedNear[QuadLines::kBlocks];
    int32_t clearedFar[QuadLines::kBlocks];
    // Whether the stretch about to run reads positions that fell silent at the change. Its
    // lowpass states then sink toward zero, through the floats' subnormal range, where the
    // quick rounding must run again by conversion and the processor slows down on subnormal
    // doubles: such a stretch runs by conversion from the start.
    bool readsSilence;
};

// The buffers and length of one block.
struct BlockIo {
    const float* inL;
    const float* inR;
    float* outL;
    float* outR;
    int32_t frames;
};

// One block through runBlock() with one kind of string arithmetic. positionsKnown is false
// after a reset, until the rule has set the positions once.
using BlockRunner = void (*)(const BlockValues& b, StringState& s, LoopDelays& delays, bool& positionsKnown,
                             const BlockIo& io);

CHORDWELL_DSP_INLINE bool glidesAtRest(const BlockValues& b, const StringState& s) {
    return atRest(s.detuneAmount, b.detuneTarget) && atRest(s.tuneRatio, b.tuneTarget);
}

// Clears the positions the stretch's loops read that were neither written nor cleared since the
// last change of transposition: the reads then find what the whole lines, cleared at the change,
// would hold. Sample j of the stretch reads, at a loop of L, position u = L − sinceChange − j
// before the change's first write, written again when u ≤ 0. Each block's cleared positions
// stay one span: where the positions a stretch reads do not meet it, those between are cleared
// too, which changes nothing: a whole clear would have left them silent as well.
CHORDWELL_DSP_INLINE void freshen(StringState& s, const StretchPlan& plan) {
    s.readsSilence = false;
    if (s.sinceChange == kLineLength) return;
    int32_t shortest[QuadLines::kBlocks];
    int32_t longest[QuadLines::kBlocks];
    plan.loopSpans(shortest, longest);
    const int32_t firstWrite = plan.writePos - s.sinceChange;
    for (int32_t q = 0; q < QuadLines::kBlocks; ++q) {
        const int32_t farthest = longest[q] - s.sinceChange;
        const int32_t nearest = std::max(1, shortest[q] - s.sinceChange - plan.count + 1);
        if (farthest < nearest) continue;
        s.readsSilence = true;
        // Positions u in [a, b] before the first write.
        auto clear = [&](int32_t a, int32_t b) {
            QuadLines::clearPositions(s.lines, q, (firstWrite - b) & kLineMask, b - a + 1);
        };
        int32_t& clearedNear = s.clearedNear[q];
        int32_t& clearedFar = s.clearedFar[q];
        if (clearedNear > clearedFar) {
            clear(nearest, farthest);
            clearedNear = nearest;
            clearedFar = farthest;
            continue;
        }
        if (farthest > clearedFar) {
            clear(clearedFar + 1, farthest);
            clearedFar = farthest;
        }
        if (nearest < clearedNear) {
            clear(nearest, clearedNear - 1);
            clearedNear = nearest;
        }
    }
}

// One block, stretch by stretch: with the positions simply advancing while neither glide moves,
// the positions in hand were set for this sample rate and transposition, and the delays are
// step-safe (loop_delays.h), since the rule would then give every position its previous value
// plus one; planned by a GlidePlanner otherwise, each stretch while the strings of the one
// before run (the first of a block before).
template <class Strings>
void runBlock(const BlockValues& b, StringState& s, LoopDelays& delays, bool& positionsKnown, const BlockIo& io) {
    GlidePlanner planner(b, delays);
    GlideSteps steps{};
    StretchPlan plans[2];
    // Sets up the plan of the stretch from sample n, whose positions and write position are
    // given; true when its positions move with the glides and it is still to be planned.
    auto prepare = [&](StretchPlan& plan, int32_t n, const int32_t* readPos, int32_t writePos) {
        plan.segments = 1;
        plan.writePos = writePos;
        plan.start[0] = 0;
        std::copy(readPos, readPos + kNumStrings, plan.readPos[0]);
        bool steady = positionsKnown && glidesAtRest(b, s) && delays.sameRateAndTransposition(b.fs, b.transposeRatio);
        if (steady && !delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
            delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
        }
        steady = steady && delays.stepSafe();
        positionsKnown = true;
        if (steady) {
            plan.count = std::min(kLongestStretch, io.frames - n);
            for (int32_t k = 0; k < kNumStrings; ++k) plan.next[k] = (readPos[k] + plan.count) & kLineMask;
            return false;
        }
        plan.count = std::min(kStretch, io.frames - n);
        steps = planner.begin(plan, s.tuneRatio, s.detuneAmount);
        return true;
    };
    auto run = [&](const StretchPlan& plan, int32_t n, auto& planning) {
        if (b.bypassed) {
            Strings::template run<true>(b, s, plan, io.inL + n, io.inR + n, io.outL + n, io.outR + n, planning);
        } else {
            Strings::template run<false>(b, s, plan, io.inL + n, io.inR + n, io.outL + n, io.outR + n, planning);
        }
    };
    auto finishPlanning = [&] {
        planner.finish(steps);
        s.tuneRatio = steps.tuneRatio;
        s.detuneAmount = steps.detuneAmount;
    };

    int32_t current = 0;
    if (prepare(plans[current], 0, s.readPos, s.writePos)) finishPlanning();
    for (int32_t n = 0; n < io.frames;) {
        const StretchPlan& plan = plans[current];
        const int32_t following = n + plan.count;
        const int32_t followingWrite = (plan.writePos + plan.count) & kLineMask;
        freshen(s, plan);
        if (following < io.frames && prepare(plans[1 - current], following, plan.next, followingWrite)) {
            run(plan, n, steps);
            finishPlanning();
        } else {
            NoPlanning none;
            run(plan, n, none);
        }
        std::copy(plan.next, plan.next + kNumStrings, s.readPos);
        s.writePos = followingWrite;
        s.sinceChange = std::min(kLineLength, s.sinceChange + plan.count);
        n = following;
        current = 1 - current;
    }
}

// The runner with two doubles per operation (SSE2, or plain doubles in the portable build);
// always available.
BlockRunner pairBlockRunner();

// The runners with four doubles per operation (AVX2 and FMA), pipelined and one sample after
// the other, or null where this build or this processor has none.
BlockRunner quadBlockRunner();
BlockRunner quadSequentialBlockRunner();

// The pipelined four-wide runner keeps every line entry and lowpass state multiplied by this
// power of two inside its loops, and the entries in the lines so (resonator_bank_avx2.cpp says
// why); the others keep them as they are.
inline constexpr double kPipelinedLineScale = 0x1p-896;

}  // namespace dsp
