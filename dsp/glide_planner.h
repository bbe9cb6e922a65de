// The planning of stretches whose read positions move with the Tune and Detune glides.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/constants.h"
#include "dsp/glides.h"
#include "dsp/loop_delays.h"
#include "dsp/stretch_plan.h"
#include "dsp/string_kernel.h"

namespace dsp {

// One step of each glide not yet at its target.
CHORDWELL_DSP_INLINE void glide(const BlockValues& b, float& tuneRatio, float& detuneAmount) {
    if (!atRest(detuneAmount, b.detuneTarget)) glideDetune(detuneAmount, b.detuneTarget);
    if (!atRest(tuneRatio, b.tuneTarget)) glideTune(tuneRatio, b.tuneTarget);
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

}  // namespace dsp
