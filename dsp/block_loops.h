// The loops of one block around the per-sample string work, shared by the two-wide and the
// four-wide string arithmetic: which samples run with the read positions simply advancing and
// which move the Tune and Detune glides and set the positions by the loop-length rule.
//
// Each is a template over a Strings policy that supplies
//     template <bool kBypassed> static void advance(const BlockValues&, StringState&,
//         const float* inL, const float* inR, float* outL, float* outR, int32_t begin, int32_t end);
// which runs samples [begin, end) with every read position advancing by one per sample and
// leaves in the state the positions, offset and lowpass states of sample `end`.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/glides.h"
#include "dsp/loop_delays.h"
#include "dsp/string_kernel.h"

namespace dsp {

// How the read positions relate to the loop-length rule between two samples.
enum class PositionState {
    unknown,       // after a reset: the rule must run before they can be trusted
    onRule,        // the rule's positions for the write position and the delays in hand
    advancedRule,  // the rule's positions for the previous write position, plus one
};

// The string state as the loops keep it. lowpass[i] holds strings 2i and 2i + 1, widened.
struct StringState {
    double* lines;
    DoublePair lowpass[kPairs];
    int32_t readPos[kNumStrings];
    int32_t writePos;
    float tuneRatio;
    float detuneAmount;
    float offset;  // the denormal guard: ±kDenormalOffset, its sign alternating every sample
};

// The buffers and length of one block.
struct BlockIo {
    const float* inL;
    const float* inR;
    float* outL;
    float* outR;
    int32_t frames;
};

// One block through runBlock() with one kind of string arithmetic.
using BlockRunner = void (*)(const BlockValues& b, StringState& s, LoopDelays& delays, PositionState& positions,
                             const BlockIo& io);

CHORDWELL_DSP_INLINE void glide(const BlockValues& b, StringState& s) {
    if (!atRest(s.detuneAmount, b.detuneTarget)) glideDetune(s.detuneAmount, b.detuneTarget);
    if (!atRest(s.tuneRatio, b.tuneTarget)) glideTune(s.tuneRatio, b.tuneTarget);
}

CHORDWELL_DSP_INLINE bool glidesAtRest(const BlockValues& b, const StringState& s) {
    return atRest(s.detuneAmount, b.detuneTarget) && atRest(s.tuneRatio, b.tuneTarget);
}

// Samples [begin, end) with the glides moving and the rule setting the positions after every
// sample. Stops early, returning the next sample, once the steady loop can take over.
//
// The glides and the positions do not depend on the signal, so they are planned a few samples
// ahead of the strings: the rule's arithmetic for the next samples then overlaps with the
// string work of the current ones instead of holding it up, and where the positions merely
// advance the strings run through Strings::advance().
template <class Strings, bool kBypassed>
int32_t runGeneral(const BlockValues& b, StringState& state, LoopDelays& sharedDelays, const float* inL,
                   const float* inR, float* outL, float* outR, int32_t begin, int32_t end) {
    constexpr int32_t kStretch = 64;  // samples planned at most before the positions are written back
    constexpr int32_t kAhead = 8;     // samples planned ahead of the strings
    // Local copies: the stores into the lines could alias anything reached through a
    // reference, which would make the compiler reload it all at every sample.
    StringState s = state;
    LoopDelays delays = sharedDelays;
    // For sample j of a stretch: its read positions, and whether sample j + 1's are these plus one.
    alignas(16) int32_t positions[kStretch + 1][kNumStrings];
    bool stepped[kStretch];
    bool bracketsSet = false;  // whether the delays' brackets belong to the positions in hand
    bool steadyNext = false;
    int32_t n = begin;
    while (n < end && !steadyNext) {
        const int32_t w0 = s.writePos;
        const int32_t limit = std::min(kStretch, end - n);
        forEach<kNumStrings>([&](auto k) { positions[0][k] = s.readPos[k]; });
        int32_t planned = 0;
        // Plans up to `count` more samples: one step of the glides and the rule's positions for
        // the next sample.
        auto plan = [&](int32_t count) {
            const int32_t stop = std::min(limit, planned + count);
            while (planned < stop && !steadyNext) {
                const int32_t w = (w0 + planned) & kLineMask;
                int32_t* next = positions[planned + 1];
                glide(b, s);
                stepped[planned] = bracketsSet && delays.stepWithinBrackets(b.fs, s.tuneRatio, s.detuneAmount,
                                                                            b.transposeRatio, positions[planned], next);
                if (!stepped[planned]) {
                    if (!delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
                        delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
                    }
                    delays.readPositions(w, next, 0);
                    delays.setBrackets(b.fs, s.detuneAmount, b.transposeRatio, w, next);
                    bracketsSet = true;
                    forEach<kNumStrings>([&](auto k) { next[k] = (next[k] + 1) & kLineMask; });
                }
                ++planned;
                if (glidesAtRest(b, s)) {
                    if (!delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
                        delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
                    }
                    steadyNext = delays.stepSafe();
                }
            }
        };
        plan(kAhead);
        int32_t done = 0;
        while (done < planned) {
            const int32_t chunkEnd = planned;
            plan(kAhead);
            // The strings through the samples planned before, in runs over which the positions
            // advance together.
            for (int32_t j = done; j < chunkEnd;) {
                int32_t runEnd = j + 1;
                while (runEnd < chunkEnd && stepped[runEnd - 1]) ++runEnd;
                forEach<kNumStrings>([&](auto k) { s.readPos[k] = positions[j][k]; });
                s.writePos = (w0 + j) & kLineMask;
                Strings::template advance<kBypassed>(b, s, inL, inR, outL, outR, n + j - done, n + runEnd - done);
                j = runEnd;
            }
            n += chunkEnd - done;
            done = chunkEnd;
        }
        s.writePos = (w0 + planned) & kLineMask;
        forEach<kNumStrings>([&](auto k) { s.readPos[k] = positions[planned][k]; });
    }
    state = s;
    sharedDelays = delays;
    return n;
}

// One block: the steady loop while neither glide moves and the delays are step-safe
// (loop_delays.h), since the rule would then give every position its previous value plus one;
// the general loop otherwise.
template <class Strings>
void runBlock(const BlockValues& b, StringState& s, LoopDelays& delays, PositionState& positions,
              const BlockIo& io) {
    int32_t n = 0;
    while (n < io.frames) {
        const bool steady = positions != PositionState::unknown && glidesAtRest(b, s) &&
                            delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio) && delays.stepSafe();
        if (steady) {
            // Step-safe delays: positions on the rule stay on it as they advance.
            if (b.bypassed) {
                Strings::template advance<true>(b, s, io.inL, io.inR, io.outL, io.outR, n, io.frames);
            } else {
                Strings::template advance<false>(b, s, io.inL, io.inR, io.outL, io.outR, n, io.frames);
            }
            positions = PositionState::onRule;
            n = io.frames;
        } else {
            n = b.bypassed ? runGeneral<Strings, true>(b, s, delays, io.inL, io.inR, io.outL, io.outR, n, io.frames)
                           : runGeneral<Strings, false>(b, s, delays, io.inL, io.inR, io.outL, io.outR, n, io.frames);
            positions = PositionState::advancedRule;
        }
    }
}

// The runner with two doubles per operation (SSE2, or plain doubles in the portable build);
// always available.
BlockRunner pairBlockRunner();

// The runner with four doubles per operation (AVX2), or null where this build or this processor
// has none.
BlockRunner quadBlockRunner();

}  // namespace dsp
