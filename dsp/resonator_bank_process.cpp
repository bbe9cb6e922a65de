// The processing loop of the resonator bank (ResonatorBank::process) over the per-sample work
// of string_kernel.h.
//
// Two loops share that work. The general loop moves the Tune and Detune glides and sets the
// read positions by the loop-length rule after every sample. The steady loop runs while
// neither glide moves and the delays are step-safe (loop_delays.h): the rule would then give
// every position its previous value plus one, so the positions simply advance.

#include <algorithm>
#include <bit>
#include <cstdint>

#include "dsp/glides.h"
#include "dsp/resonator_bank.h"
#include "dsp/string_kernel.h"

namespace dsp {
namespace {

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

// Samples [begin, end) with the positions advancing together, one per sample. Instead of
// moving twelve positions the loop moves the lines' base address, in runs that end where a
// position would pass the end of the lines.
//
// The samples go in stretches of kStretch: first the strings half of each, then the output
// half of each, which keeps fewer values in registers at once. Deferring the output half is
// exact as long as no line position the output half reads is written again later in the same
// stretch, that is, unless a string's distance L from its read position to the write position
// lies in 16384 − kStretch < L < 16384 (a loop nearly as long as the line); with such a loop
// each sample runs both halves at once.
//
// s holds the positions, offset and lowpass states of sample `begin` and comes back with those
// of sample `end`.
template <bool kBypassed>
void runAdvancing(const BlockValues& b, StringState& s, const float* inL, const float* inR, float* outL,
                  float* outR, int32_t begin, int32_t end) {
    constexpr int32_t kStretch = 64;
    // Local copies: the stores into the lines could alias anything reached through a
    // reference, which would make the compiler reload it all at every sample.
    DoublePair lp[kPairs];
    forEach<kPairs>([&](auto i) { lp[i] = s.lowpass[i]; });
    int32_t longest = 0;
    forEach<kNumStrings>([&](auto k) { longest = std::max(longest, (s.writePos - s.readPos[k]) & kLineMask); });
    const bool deferOutput = longest <= kLineLength - kStretch;

    int32_t n = begin;
    while (n < end) {
        int32_t run = std::min(end - n, kLineLength - s.writePos);
        forEach<kNumStrings>([&](auto k) { run = std::min(run, kLineLength - s.readPos[k]); });
        int32_t rp[kNumStrings];
        forEach<kNumStrings>([&](auto k) { rp[k] = s.readPos[k]; });
        const int32_t w = s.writePos;
        const float first = s.offset;
        double* const lines = s.lines;
        if (deferOutput) {
            HalfSample halves[kStretch];
            for (int32_t j0 = 0; j0 < run; j0 += kStretch) {
                const int32_t count = std::min(kStretch, run - j0);
                for (int32_t j = j0; j < j0 + count; ++j) {
                    halves[j - j0] = stringsHalf<kBypassed>(b, lp, lines + 2 * j, rp, w, (j & 1) == 0 ? first : -first,
                                                            inL[n + j], inR[n + j]);
                }
                for (int32_t j = j0; j < j0 + count; ++j) {
                    outputHalf(b, halves[j - j0], lines + 2 * j, rp, outL + n + j, outR + n + j);
                }
            }
        } else {
            for (int32_t j = 0; j < run; ++j) {
                const HalfSample h = stringsHalf<kBypassed>(b, lp, lines + 2 * j, rp, w, (j & 1) == 0 ? first : -first,
                                                            inL[n + j], inR[n + j]);
                outputHalf(b, h, lines + 2 * j, rp, outL + n + j, outR + n + j);
            }
        }
        if ((run & 1) != 0) s.offset = -s.offset;
        s.writePos = (w + run) & kLineMask;
        forEach<kNumStrings>([&](auto k) { s.readPos[k] = (rp[k] + run) & kLineMask; });
        n += run;
    }
    forEach<kPairs>([&](auto i) { s.lowpass[i] = lp[i]; });
}

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
// advance the strings run through runAdvancing().
template <bool kBypassed>
int32_t runGeneral(const BlockValues& b, StringState& state, LoopDelays& sharedDelays, const float* inL,
                   const float* inR, float* outL, float* outR, int32_t begin, int32_t end) {
    constexpr int32_t kStretch = 64;  // samples planned at most before the positions are written back
    constexpr int32_t kAhead = 8;     // samples planned ahead of the strings
    StringState s = state;            // local copies, as in runAdvancing()
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
                runAdvancing<kBypassed>(b, s, inL, inR, outL, outR, n + j - done, n + runEnd - done);
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

}  // namespace

void ResonatorBank::process(const float* inL, const float* inR, float* outL, float* outR, int32_t frames, float fs) {
    if (frames <= 0) return;

    const uint32_t pending = pendingTranspose_.exchange(kNoPendingTranspose, std::memory_order_acquire);
    if (pending != kNoPendingTranspose) applyTransposition(std::bit_cast<float>(pending), fs);

    const BlockValues b{
        splat(outputGain_.load(std::memory_order_relaxed)),
        splat(mix_.load(std::memory_order_relaxed)),
        splat(feedback_.load(std::memory_order_relaxed)),
        splat(dampCoef_.load(std::memory_order_relaxed)),
        tuneTarget_.load(std::memory_order_relaxed),
        detuneTarget_.load(std::memory_order_relaxed),
        fs,
        transposeRatio_.load(std::memory_order_relaxed),
        bypass_.load(std::memory_order_relaxed) != 0,
    };

    StringState s;
    s.lines = lines_.data();
    for (int32_t i = 0; i < kPairs; ++i) s.lowpass[i] = makePair(lowpass_[2 * i], lowpass_[2 * i + 1]);
    for (int32_t k = 0; k < kNumStrings; ++k) s.readPos[k] = readPos_[k];
    s.writePos = writePos_;
    s.tuneRatio = tuneRatio_.load(std::memory_order_relaxed);
    s.detuneAmount = detuneAmount_.load(std::memory_order_relaxed);
    s.offset = kDenormalOffset;  // restarts at + with every call

    int32_t n = 0;
    while (n < frames) {
        const bool steady = positions_ != Positions::unknown && glidesAtRest(b, s) &&
                            delays_.matches(fs, s.tuneRatio, s.detuneAmount, b.transposeRatio) && delays_.stepSafe();
        if (steady) {
            // Step-safe delays: positions on the rule stay on it as they advance.
            if (b.bypassed) {
                runAdvancing<true>(b, s, inL, inR, outL, outR, n, frames);
            } else {
                runAdvancing<false>(b, s, inL, inR, outL, outR, n, frames);
            }
            positions_ = Positions::onRule;
            n = frames;
        } else {
            n = b.bypassed ? runGeneral<true>(b, s, delays_, inL, inR, outL, outR, n, frames)
                           : runGeneral<false>(b, s, delays_, inL, inR, outL, outR, n, frames);
            positions_ = Positions::advancedRule;
        }
    }

    for (int32_t i = 0; i < kPairs; ++i) {
        lowpass_[2 * i] = static_cast<float>(low(s.lowpass[i]));
        lowpass_[2 * i + 1] = static_cast<float>(high(s.lowpass[i]));
    }
    for (int32_t k = 0; k < kNumStrings; ++k) readPos_[k] = s.readPos[k];
    writePos_ = s.writePos;
    tuneRatio_.store(s.tuneRatio, std::memory_order_relaxed);
    detuneAmount_.store(s.detuneAmount, std::memory_order_relaxed);
}

}  // namespace dsp
