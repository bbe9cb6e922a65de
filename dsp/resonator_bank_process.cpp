// The per-sample loop of the resonator bank. The strings run two at a time, as pairs
// (2i, 2i + 1) of doubles that match the blocks of PairedLines; every operation and every
// rounding to float is the one the straightforward per-string loop makes, so the output is the
// same to the bit.
//
// Two loops share the per-sample string work. The general loop also moves the Tune and Detune
// glides and sets the read positions by the loop-length rule after every sample. The steady
// loop runs while neither glide moves and the delays are step-safe (loop_delays.h): the rule
// would then give every position its previous value plus one, so instead of moving twelve
// positions the loop moves the lines' base address, one position per sample, in runs that end
// where a position wraps.

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

#include "dsp/double_pair.h"
#include "dsp/resonator_bank.h"

namespace dsp {
namespace {

constexpr int32_t kBlocks = PairedLines::kBlocks;
constexpr int32_t kBlockStride = PairedLines::kBlockStride;

// What one block reads from the setters' values, taken once at its start.
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

// The string state as the loops keep it. lowpass[i] holds strings 2i and 2i + 1, widened.
struct StringState {
    double* lines;
    DoublePair lowpass[kBlocks];
    int32_t readPos[kNumStrings];
    int32_t writePos;
    float tuneRatio;
    float detuneAmount;
    float offset;  // the denormal guard: ±kDenormalOffset, its sign alternating every sample
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

// The entry of position pos in block i.
CHORDWELL_DSP_INLINE double* entry(double* lines, int32_t i, int32_t pos) {
    return lines + i * kBlockStride + 2 * pos;
}

// The line values the wet sums take from block i: string 2i at the position of its partner
// 11 − 2i (right sum), string 2i + 1 at that of its partner 10 − 2i (left sum), in that order.
CHORDWELL_DSP_INLINE DoublePair partnerTaps(double* lines, const int32_t* rp, int32_t i) {
    return blend(loadPair(entry(lines, i, rp[11 - 2 * i])), loadPair(entry(lines, i, rp[10 - 2 * i])));
}

// Input, strings, wet sums and output of one sample. lines may be shifted by whole positions
// (the steady loop moves it instead of the positions). kPartnersAfterWrite: a read position
// equals the write position, so the wet sums must read the lines again after the writes.
template <bool kBypassed, bool kPartnersAfterWrite>
CHORDWELL_DSP_INLINE void runStrings(const BlockValues& b, DoublePair (&lp)[kBlocks], double* lines,
                                     const int32_t* rp, int32_t w, double offset, float xl, float xr, float* outL,
                                     float* outR) {
    // Input, right in the low half and left in the high half: the wet sums come out of the
    // blocks that way round. Bypassed, the strings receive only the offset (0.5·(o + o) is o
    // exactly) and the dry signals pass without it. dl + dr and dr + dl are the same sum.
    DoublePair dry;
    DoublePair excitation;
    if constexpr (kBypassed) {
        dry = makePair(xr, xl);
        excitation = splat(offset);
    } else {
        dry = roundToFloat(makePair(xr, xl) + splat(offset));
        excitation = splat(kExcitationWeight) * (dry + swapHalves(dry));
    }

    // Everything the sample reads from the lines, before it writes them.
    DoublePair own[kBlocks];
    DoublePair partner[kBlocks];
    forEach<kBlocks>([&](auto i) {
        own[i] = blend(loadPair(entry(lines, i, rp[2 * i])), loadPair(entry(lines, i, rp[2 * i + 1])));
        if constexpr (!kPartnersAfterWrite) partner[i] = partnerTaps(lines, rp, i);
    });

    // Strings, reading: each lowpass takes one step toward what its line holds at its read position.
    forEach<kBlocks>([&](auto i) { lp[i] = roundToFloat(lp[i] + b.damp * (own[i] - lp[i])); });

    // Strings, writing: excitation plus the loop gain times the lowpass state, as a float.
    forEach<kBlocks>([&](auto i) { storePair(entry(lines, i, w), roundToFloat(excitation + b.feedback * lp[i])); });
    if constexpr (kPartnersAfterWrite) {
        forEach<kBlocks>([&](auto i) { partner[i] = partnerTaps(lines, rp, i); });
    }

    // Wet sums, each added in its own order: the lowpass states of strings 2, 0, 4, 6, 8, 10
    // (left) and 3, 1, 5, 7, 9, 11 (right), then the lines of strings 1, 3, ... 11 (left) and
    // 0, 2, ... 10 (right) at their partners' positions. The pairs hold (left, right) for the
    // lowpass states and (right, left) for the lines, so the sum turns round once in between.
    DoublePair sum = lp[1] + lp[0];
    sum = sum + lp[2];
    sum = sum + lp[3];
    sum = sum + lp[4];
    sum = sum + lp[5];
    sum = swapHalves(sum);
    forEach<kBlocks>([&](auto i) { sum = sum + partner[i]; });

    // Crossfade of dry and wet per side, rounded to float, then the output gain.
    const DoublePair mixed = roundToFloat(dry + b.mix * (splat(kWetScale) * sum - dry));
    storeFloats(b.gain * mixed, outR, outL);
}

CHORDWELL_DSP_INLINE bool anyAtWrite(const int32_t* readPos, int32_t writePos) {
    bool any = false;
    forEach<kNumStrings>([&](auto k) { any |= readPos[k] == writePos; });
    return any;
}

CHORDWELL_DSP_INLINE bool anyReadAtWrite(const StringState& s) { return anyAtWrite(s.readPos, s.writePos); }

CHORDWELL_DSP_INLINE void advance(StringState& s, int32_t by) {
    s.writePos = (s.writePos + by) & kLineMask;
    forEach<kNumStrings>([&](auto k) { s.readPos[k] = (s.readPos[k] + by) & kLineMask; });
}

// One step of each glide. The distances are doubles; only their magnitudes are compared as floats.
CHORDWELL_DSP_INLINE void glide(const BlockValues& b, StringState& s) {
    if (std::bit_cast<uint32_t>(s.detuneAmount) != std::bit_cast<uint32_t>(b.detuneTarget)) {
        const double d = static_cast<double>(b.detuneTarget) - static_cast<double>(s.detuneAmount);
        if (static_cast<double>(static_cast<float>(std::fabs(d))) > kDetuneSnap) {
            s.detuneAmount = static_cast<float>(static_cast<double>(s.detuneAmount) + kDetuneGlideStep * d);
        } else {
            s.detuneAmount = b.detuneTarget;
        }
    }
    if (std::bit_cast<uint32_t>(s.tuneRatio) != std::bit_cast<uint32_t>(b.tuneTarget)) {
        const double old = s.tuneRatio;
        const double d = static_cast<double>(b.tuneTarget) - old;
        // Far from the target the step is always the slew limit: with |old| < 4 the candidate
        // moves by at least 0.00025·0.1 less float rounding (2.4e-7), well above 0.00002, and
        // toward the target. Deciding that first keeps the candidate's conversions off the
        // chain from one sample's ratio to the next.
        constexpr double kSurelySlewing = 0.1;
        constexpr double kSmallRatio = 4.0;
        if (std::fabs(old) < kSmallRatio && std::fabs(d) > kSurelySlewing) {
            s.tuneRatio = static_cast<float>(d > 0.0 ? old + kTuneSlewLimit : old - kTuneSlewLimit);
        } else if (static_cast<double>(static_cast<float>(std::fabs(d))) <= kTuneSnap) {
            s.tuneRatio = b.tuneTarget;
        } else {
            const float candidate = static_cast<float>(old + kTuneGlideStep * d);
            const double step = static_cast<double>(candidate) - old;
            if (static_cast<double>(static_cast<float>(std::fabs(step))) > kTuneSlewLimit) {
                s.tuneRatio = static_cast<float>(candidate > s.tuneRatio ? old + kTuneSlewLimit : old - kTuneSlewLimit);
            } else {
                s.tuneRatio = candidate;
            }
        }
    }
}

CHORDWELL_DSP_INLINE bool glidesAtRest(const BlockValues& b, const StringState& s) {
    return std::bit_cast<uint32_t>(s.detuneAmount) == std::bit_cast<uint32_t>(b.detuneTarget) &&
           std::bit_cast<uint32_t>(s.tuneRatio) == std::bit_cast<uint32_t>(b.tuneTarget);
}

// Samples [begin, end) with the positions advancing together, one per sample, and no read
// position at the write position: instead of moving twelve positions, the loop moves the lines'
// base address, in runs that end where a position would pass the end of the lines. rp, w and
// offset are those of sample `begin` and come back as those of sample `end`.
template <bool kBypassed>
CHORDWELL_DSP_INLINE void runAdvancing(const BlockValues& b, DoublePair (&lp)[kBlocks], double* linesStart,
                                       int32_t (&rp)[kNumStrings], int32_t& w, float& offset, const float* inL,
                                       const float* inR, float* outL, float* outR, int32_t begin, int32_t end) {
    int32_t n = begin;
    while (n < end) {
        int32_t run = std::min(end - n, kLineLength - w);
        forEach<kNumStrings>([&](auto k) { run = std::min(run, kLineLength - rp[k]); });
        // Copies the compiler can keep out of memory for the run.
        int32_t fixed[kNumStrings];
        forEach<kNumStrings>([&](auto k) { fixed[k] = rp[k]; });
        const int32_t fixedW = w;
        double* lines = linesStart;
        const double o = offset;
        for (int32_t j = 0; j < run; ++j, lines += 2) {
            runStrings<kBypassed, false>(b, lp, lines, fixed, fixedW, (j & 1) == 0 ? o : -o, inL[n + j], inR[n + j],
                                         outL + n + j, outR + n + j);
        }
        if ((run & 1) != 0) offset = -offset;
        w = (w + run) & kLineMask;
        forEach<kNumStrings>([&](auto k) { rp[k] = (rp[k] + run) & kLineMask; });
        n += run;
    }
}

// Samples [begin, end) with the glides moving and the rule setting the positions after every
// sample. Stops early, returning the next sample, once the steady loop can take over.
//
// The glides and the positions do not depend on the signal, so they are planned a few samples
// ahead of the strings: the rule's arithmetic for the next samples then overlaps with the
// string work of the current ones instead of holding it up, and where the positions merely
// advance the strings run as in the steady loop.
template <bool kBypassed>
int32_t runGeneral(const BlockValues& block, StringState& state, LoopDelays& sharedDelays, const float* inL,
                   const float* inR, float* outL, float* outR, int32_t begin, int32_t end) {
    constexpr int32_t kStretch = 64;  // samples planned at most before the state is written back
    constexpr int32_t kAhead = 8;     // samples planned ahead of the strings
    // Local copies, for the same reason as in runSteady().
    const BlockValues b = block;
    StringState s = state;
    LoopDelays delays = sharedDelays;
    // For sample j of a stretch: its read positions, whether one equals its write position,
    // and whether the next sample's positions are these plus one.
    alignas(16) int32_t positions[kStretch + 1][kNumStrings];
    bool readAtWrite[kStretch + 1];
    bool stepped[kStretch];
    int32_t n = begin;
    bool steadyNext = false;
    // Whether the delays' brackets belong to the positions in hand (LoopDelays::setBrackets()).
    bool bracketsSet = false;
    while (n < end && !steadyNext) {
        const int32_t w0 = s.writePos;
        const int32_t limit = std::min(kStretch, end - n);
        forEach<kNumStrings>([&](auto k) { positions[0][k] = s.readPos[k]; });
        readAtWrite[0] = anyAtWrite(positions[0], w0);
        int32_t planned = 0;
        // Plans up to `count` more samples: one step of the glides and the rule's positions for
        // the next sample.
        auto plan = [&](int32_t count) {
            const int32_t stop = std::min(limit, planned + count);
            while (planned < stop && !steadyNext) {
                const int32_t w = (w0 + planned) & kLineMask;
                const int32_t* current = positions[planned];
                int32_t* next = positions[planned + 1];
                glide(b, s);
                stepped[planned] =
                    bracketsSet &&
                    delays.stepWithinBrackets(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio, current, next);
                if (stepped[planned]) {
                    // Every distance stays, so whether a position meets the write position does too.
                    readAtWrite[planned + 1] = readAtWrite[planned];
                } else {
                    if (!delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
                        delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
                    }
                    delays.readPositions(w, next, 0);
                    delays.setBrackets(b.fs, s.detuneAmount, b.transposeRatio, w, next);
                    bracketsSet = true;
                    forEach<kNumStrings>([&](auto k) { next[k] = (next[k] + 1) & kLineMask; });
                    readAtWrite[planned + 1] = anyAtWrite(next, (w + 1) & kLineMask);
                }
                ++planned;
                if (glidesAtRest(b, s)) {
                    if (!delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
                        delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
                    }
                    steadyNext = delays.stepSafe() && !readAtWrite[planned];
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
            int32_t j = done;
            while (j < chunkEnd) {
                int32_t runEnd = j + 1;
                while (runEnd < chunkEnd && stepped[runEnd - 1]) ++runEnd;
                if (readAtWrite[j]) {
                    for (int32_t i = j; i < runEnd; ++i) {
                        const double o = s.offset;
                        s.offset = -s.offset;
                        runStrings<kBypassed, true>(b, s.lowpass, s.lines, positions[i], (w0 + i) & kLineMask, o,
                                                    inL[n + i - done], inR[n + i - done], outL + n + i - done,
                                                    outR + n + i - done);
                    }
                } else {
                    int32_t rp[kNumStrings];
                    forEach<kNumStrings>([&](auto k) { rp[k] = positions[j][k]; });
                    int32_t w = (w0 + j) & kLineMask;
                    runAdvancing<kBypassed>(b, s.lowpass, s.lines, rp, w, s.offset, inL, inR, outL, outR,
                                            n + j - done, n + runEnd - done);
                }
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

// Samples [begin, end) with nothing moving: the positions keep their distances to the write
// position, and no read position equals it.
template <bool kBypassed>
void runSteady(const BlockValues& block, StringState& state, const float* inL, const float* inR, float* outL,
               float* outR, int32_t begin, int32_t end) {
    // Local copies: the stores into the lines could alias anything reached through a
    // reference, which would make the compiler reload all of it at every sample.
    const BlockValues b = block;
    StringState s = state;
    runAdvancing<kBypassed>(b, s.lowpass, s.lines, s.readPos, s.writePos, s.offset, inL, inR, outL, outR, begin, end);
    state = s;
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
    for (int32_t i = 0; i < kBlocks; ++i) s.lowpass[i] = makePair(lowpass_[2 * i], lowpass_[2 * i + 1]);
    for (int32_t k = 0; k < kNumStrings; ++k) s.readPos[k] = readPos_[k];
    s.writePos = writePos_;
    s.tuneRatio = tuneRatio_.load(std::memory_order_relaxed);
    s.detuneAmount = detuneAmount_.load(std::memory_order_relaxed);
    s.offset = kDenormalOffset;  // restarts at + with every call

    int32_t n = 0;
    while (n < frames) {
        const bool steady = positions_ != Positions::unknown && glidesAtRest(b, s) &&
                            delays_.matches(fs, s.tuneRatio, s.detuneAmount, b.transposeRatio) &&
                            delays_.stepSafe() && !anyReadAtWrite(s);
        if (steady) {
            // Step-safe delays: positions on the rule stay on it as they advance.
            if (b.bypassed) {
                runSteady<true>(b, s, inL, inR, outL, outR, n, frames);
            } else {
                runSteady<false>(b, s, inL, inR, outL, outR, n, frames);
            }
            positions_ = Positions::onRule;
            n = frames;
        } else {
            n = b.bypassed ? runGeneral<true>(b, s, delays_, inL, inR, outL, outR, n, frames)
                           : runGeneral<false>(b, s, delays_, inL, inR, outL, outR, n, frames);
            positions_ = Positions::advancedRule;
        }
    }

    for (int32_t i = 0; i < kBlocks; ++i) {
        lowpass_[2 * i] = static_cast<float>(low(s.lowpass[i]));
        lowpass_[2 * i + 1] = static_cast<float>(high(s.lowpass[i]));
    }
    for (int32_t k = 0; k < kNumStrings; ++k) readPos_[k] = s.readPos[k];
    writePos_ = s.writePos;
    tuneRatio_.store(s.tuneRatio, std::memory_order_relaxed);
    detuneAmount_.store(s.detuneAmount, std::memory_order_relaxed);
}

}  // namespace dsp
