// The loops of one block around the per-sample string work, shared by the two-wide and the
// four-wide string arithmetic. A block is taken in stretches of at most kStretch samples. For
// each stretch the read positions are planned first: while neither glide moves they simply
// advance, otherwise the glides move and the loop-length rule sets the positions after every
// sample. The plan lists the samples where the positions do not merely advance by one; the
// string work then runs the whole stretch in one go.
//
// Each string arithmetic is a Strings policy that supplies
//     template <bool kBypassed> static void run(const BlockValues&, StringState&,
//         const StretchPlan&, const float* inL, const float* inR, float* outL, float* outR);
// which runs the plan's samples from those buffers and leaves in the state the offset and
// lowpass states of the sample after the stretch; runBlock() moves the positions on.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/glides.h"
#include "dsp/loop_delays.h"
#include "dsp/string_kernel.h"

namespace dsp {

// Samples in one stretch: the input of a stretch is taken, its strings run and its output
// mixed in three passes over it.
inline constexpr int32_t kStretch = 128;

// The string state as the loops keep it. lowpass[i] holds strings 2i and 2i + 1, widened.
struct StringState {
    double* lines;
    DoublePair lowpass[kPairs];
    int32_t readPos[kNumStrings];
    int32_t writePos;
    float tuneRatio;
    float detuneAmount;
    float offset;  // the denormal guard: ±kDenormalOffset, its sign alternating every sample
    // Whether the lowpass steps may round quickly (see stretch_loop.h): the values of the last
    // stretch stayed inside the range where that is exact.
    bool quickRounding;
};

// The read positions of a stretch of `count` samples. Segment s starts at sample start[s]
// with the positions readPos[s] (start[0] = 0); within a segment every position advances by
// one per sample. The write position of sample 0 is writePos; next holds the read positions of
// the sample after the stretch.
struct StretchPlan {
    int32_t count;
    int32_t segments;
    int32_t writePos;
    int32_t start[kStretch];
    // One more than segments can start: the plan writes the rule's positions there before it
    // knows whether they start a segment.
    int32_t readPos[kStretch + 1][kNumStrings];
    int32_t next[kNumStrings];

    // The shortest and longest distance from a read position back to the write position over
    // the whole stretch: a segment keeps its distances, since all positions advance together.
    void loopRange(int32_t& shortest, int32_t& longest) const {
        shortest = kLineLength;
        longest = 0;
        for (int32_t seg = 0; seg < segments; ++seg) {
            const int32_t w = writePos + start[seg];
            for (int32_t k = 0; k < kNumStrings; ++k) {
                const int32_t distance = (w - readPos[seg][k]) & kLineMask;
                shortest = std::min(shortest, distance);
                longest = std::max(longest, distance);
            }
        }
    }
};

// Walks a stretch in runs: samples over which every position advances by one per sample
// without passing the end of the lines. A run ends where a segment ends or where a position
// would wrap from 16383 to 0.
class RunCursor {
public:
    explicit RunCursor(const StretchPlan& plan) : plan_(plan), writePos_(plan.writePos) {
        std::copy(plan.readPos[0], plan.readPos[0] + kNumStrings, readPos_);
        findEnd();
    }

    // The run covers samples [begin(), end()) of the stretch; its positions are those of
    // sample begin().
    int32_t begin() const { return begin_; }
    int32_t end() const { return end_; }
    const int32_t* readPos() const { return readPos_; }
    int32_t writePos() const { return writePos_; }

    // Moves on to the next run. False when the stretch is done; the positions are then those
    // of the sample after it.
    bool next() {
        const int32_t run = end_ - begin_;
        writePos_ = (writePos_ + run) & kLineMask;
        begin_ = end_;
        if (segment_ + 1 < plan_.segments && begin_ == plan_.start[segment_ + 1]) {
            ++segment_;
            std::copy(plan_.readPos[segment_], plan_.readPos[segment_] + kNumStrings, readPos_);
        } else {
            for (int32_t k = 0; k < kNumStrings; ++k) readPos_[k] = (readPos_[k] + run) & kLineMask;
        }
        if (begin_ == plan_.count) return false;
        findEnd();
        return true;
    }

private:
    void findEnd() {
        const int32_t segmentEnd = segment_ + 1 < plan_.segments ? plan_.start[segment_ + 1] : plan_.count;
        int32_t run = std::min(segmentEnd - begin_, kLineLength - writePos_);
        for (int32_t k = 0; k < kNumStrings; ++k) run = std::min(run, kLineLength - readPos_[k]);
        end_ = begin_ + run;
    }

    const StretchPlan& plan_;
    int32_t segment_ = 0;
    int32_t begin_ = 0;
    int32_t end_ = 0;
    int32_t readPos_[kNumStrings];
    int32_t writePos_;
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

CHORDWELL_DSP_INLINE void glide(const BlockValues& b, float& tuneRatio, float& detuneAmount) {
    if (!atRest(detuneAmount, b.detuneTarget)) glideDetune(detuneAmount, b.detuneTarget);
    if (!atRest(tuneRatio, b.tuneTarget)) glideTune(tuneRatio, b.tuneTarget);
}

CHORDWELL_DSP_INLINE bool glidesAtRest(const BlockValues& b, const StringState& s) {
    return atRest(s.detuneAmount, b.detuneTarget) && atRest(s.tuneRatio, b.tuneTarget);
}

// Plans stretches whose positions move with the glides: per sample, one step of each glide and
// the rule's positions for the next sample. Within the brackets of a Tune glide
// (LoopDelays::setBrackets) the positions merely advance; elsewhere the rule runs, and a new
// segment starts where its positions differ from the previous ones plus one.
//
// The glides and positions do not depend on the signal, so a stretch can be planned while the
// strings of the one before it run: the string loop gives a GlideSteps one step per sample
// (see stretch_loop.h). The glide steps form a chain from one sample to the next that the
// processor then follows beside the chain of the lowpass steps, instead of after it.
class GlidePlanner;

// The part of the planning that runs every sample, small enough for the string loop to keep in
// registers: the glides, the sample reached and whether the delays' brackets belong to the
// positions in hand. It calls the planner only where the brackets do not hold.
struct GlideSteps {
    const BlockValues* b;
    LoopDelays* delays;
    GlidePlanner* planner;
    float tuneRatio;
    float detuneAmount;
    int32_t j;  // the next sample to plan
    int32_t count;
    bool bracketsSet;

    CHORDWELL_DSP_INLINE void step();
};

class GlidePlanner {
public:
    GlidePlanner(const BlockValues& b, LoopDelays& delays) : b_(b), delays_(delays) {}

    // Begins a plan of plan.count samples, whose writePos and first segment are set, from the
    // glides as they stand before its first sample.
    GlideSteps begin(StretchPlan& plan, float tuneRatio, float detuneAmount) {
        plan_ = &plan;
        segmentStart_ = 0;
        segmentPos_ = plan.readPos[0];
        nextSet_ = false;
        return {&b_, &delays_, this, tuneRatio, detuneAmount, 0, plan.count, bracketsSet_};
    }

    // Plans the samples left and the positions after the stretch.
    void finish(GlideSteps& steps) {
        while (steps.j < steps.count) steps.step();
        bracketsSet_ = steps.bracketsSet;
        if (!nextSet_) {
            for (int32_t k = 0; k < kNumStrings; ++k) {
                plan_->next[k] = (segmentPos_[k] + plan_->count - segmentStart_) & kLineMask;
            }
        }
    }

    // The rule's positions for the sample after sample j, which start a new segment when they
    // are not the previous ones plus one; returns whether the brackets hold the positions.
    // Out of line: it runs seldom, and the string loop keeps its registers.
    CHORDWELL_DSP_NOINLINE bool applyRule(int32_t j, float tuneRatio, float detuneAmount, bool bracketsSet) {
        StretchPlan& plan = *plan_;
        const int32_t w = (plan.writePos + j) & kLineMask;
        int32_t* const rule = plan.readPos[plan.segments];  // the next segment's, should one start
        if (!bracketsSet || !delays_.rebracket(b_.fs, tuneRatio, detuneAmount, b_.transposeRatio, w, rule)) {
            if (!delays_.matches(b_.fs, tuneRatio, detuneAmount, b_.transposeRatio)) {
                delays_.update(b_.fs, tuneRatio, detuneAmount, b_.transposeRatio);
            }
            delays_.readPositions(w, rule, 0);
            // Brackets serve only while the detune amount stays; during a Detune glide the rule
            // runs every sample anyway.
            bracketsSet = atRest(detuneAmount, b_.detuneTarget);
            if (bracketsSet) delays_.setBrackets(b_.fs, detuneAmount, b_.transposeRatio, w, rule);
        }
        // The positions of sample j + 1 are the rule's plus one.
        const int32_t advanced = j + 1 - segmentStart_;
        bool advancing = true;
        for (int32_t k = 0; k < kNumStrings; ++k) {
            rule[k] = (rule[k] + 1) & kLineMask;
            advancing &= rule[k] == ((segmentPos_[k] + advanced) & kLineMask);
        }
        if (advancing) return bracketsSet;
        if (j + 1 == plan.count) {
            std::copy(rule, rule + kNumStrings, plan.next);
            nextSet_ = true;
            return bracketsSet;
        }
        segmentStart_ = j + 1;
        segmentPos_ = rule;
        plan.start[plan.segments++] = segmentStart_;
        return bracketsSet;
    }

private:
    const BlockValues& b_;
    LoopDelays& delays_;
    bool bracketsSet_ = false;  // whether the delays' brackets belong to the positions in hand
    StretchPlan* plan_ = nullptr;
    int32_t segmentStart_ = 0;
    const int32_t* segmentPos_ = nullptr;
    bool nextSet_ = false;
};

CHORDWELL_DSP_INLINE void GlideSteps::step() {
    if (j >= count) return;
    glide(*b, tuneRatio, detuneAmount);
    if (!bracketsSet || !delays->withinBrackets(b->fs, tuneRatio, detuneAmount, b->transposeRatio)) {
        bracketsSet = planner->applyRule(j, tuneRatio, detuneAmount, bracketsSet);
    }
    ++j;
}

// What the string loop runs beside the strings when there is nothing to plan.
struct NoPlanning {
    CHORDWELL_DSP_INLINE void step() {}
};

// One block, stretch by stretch: with the positions simply advancing while neither glide moves
// and the delays are step-safe (loop_delays.h), since the rule would then give every position
// its previous value plus one; planned by a GlidePlanner otherwise, each stretch while the
// strings of the one before run (the first of a block before).
template <class Strings>
void runBlock(const BlockValues& b, StringState& s, LoopDelays& delays, bool& positionsKnown, const BlockIo& io) {
    GlidePlanner planner(b, delays);
    GlideSteps steps{};
    StretchPlan plans[2];
    // Sets up the plan of the stretch from sample n, whose positions and write position are
    // given; true when its positions move with the glides and it is still to be planned.
    auto prepare = [&](StretchPlan& plan, int32_t n, const int32_t* readPos, int32_t writePos) {
        plan.count = std::min(kStretch, io.frames - n);
        plan.segments = 1;
        plan.writePos = writePos;
        plan.start[0] = 0;
        std::copy(readPos, readPos + kNumStrings, plan.readPos[0]);
        bool steady = positionsKnown && glidesAtRest(b, s);
        if (steady && !delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
            delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
        }
        steady = steady && delays.stepSafe();
        positionsKnown = true;
        if (steady) {
            for (int32_t k = 0; k < kNumStrings; ++k) plan.next[k] = (readPos[k] + plan.count) & kLineMask;
            return false;
        }
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
        if (following < io.frames && prepare(plans[1 - current], following, plan.next, followingWrite)) {
            run(plan, n, steps);
            finishPlanning();
        } else {
            NoPlanning none;
            run(plan, n, none);
        }
        std::copy(plan.next, plan.next + kNumStrings, s.readPos);
        s.writePos = followingWrite;
        n = following;
        current = 1 - current;
    }
}

// The runner with two doubles per operation (SSE2, or plain doubles in the portable build);
// always available.
BlockRunner pairBlockRunner();

// The runners with four doubles per operation (AVX2), pipelined and one sample after the other,
// or null where this build or this processor has none.
BlockRunner quadBlockRunner();
BlockRunner quadSequentialBlockRunner();

}  // namespace dsp
