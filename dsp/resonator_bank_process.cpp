// The per-sample loop of the resonator bank. The strings run two at a time as pairs
// (2i, 2i + 1) of doubles; every operation and every rounding to float is the one the
// straightforward per-string loop would make, so the output is the same to the bit.
//
// Two loops share the per-sample string work. The general loop also moves the Tune and Detune
// glides and sets the read positions by the loop-length rule after every sample. The steady
// loop runs while neither glide moves and the delays are step-safe (loop_delays.h): then the
// rule would give every position its previous value plus one, and the loop just advances them.

#include <bit>
#include <cmath>

#include "dsp/double_pair.h"
#include "dsp/resonator_bank.h"

namespace dsp {
namespace {

constexpr int32_t kPairs = kNumStrings / 2;
constexpr int32_t kStride = ResonatorBank::kLineStride;

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
    float* lines;
    DoublePair lowpass[kPairs];
    int32_t readPos[kNumStrings];
    int32_t writePos;
    float tuneRatio;
    float detuneAmount;
    float offset;  // the denormal guard: ±kDenormalOffset, its sign alternating every sample
};

inline const float* at(const float* lines, int32_t k, int32_t pos) { return lines + k * kStride + pos; }
inline float* at(float* lines, int32_t k, int32_t pos) { return lines + k * kStride + pos; }

// Input, strings, wet sums and output of one sample.
template <bool kBypassed>
inline void runStrings(const BlockValues& b, StringState& s, float xl, float xr, float* outL, float* outR) {
    float* const lines = s.lines;
    const int32_t* const rp = s.readPos;

    // Input: the dry signals and the mono excitation. Bypassed, the strings receive only the
    // offset (0.5·(o + o) is o exactly) and the dry signals pass without it.
    const double offset = s.offset;
    DoublePair dry;
    DoublePair excitation;
    if constexpr (kBypassed) {
        dry = makePair(xl, xr);
        excitation = splat(offset);
    } else {
        dry = roundToFloat(makePair(xl, xr) + splat(offset));
        excitation = splat(kExcitationWeight * (low(dry) + high(dry)));
    }
    s.offset = -s.offset;

    // Strings, reading: each lowpass takes one step toward what its line holds at its read position.
    for (int32_t i = 0; i < kPairs; ++i) {
        const DoublePair x = loadFloats(at(lines, 2 * i, rp[2 * i]), at(lines, 2 * i + 1, rp[2 * i + 1]));
        s.lowpass[i] = roundToFloat(s.lowpass[i] + b.damp * (x - s.lowpass[i]));
    }

    // Strings, writing: excitation plus the loop gain times the lowpass state.
    const int32_t w = s.writePos;
    for (int32_t i = 0; i < kPairs; ++i) {
        storeFloats(excitation + b.feedback * s.lowpass[i], at(lines, 2 * i, w), at(lines, 2 * i + 1, w));
    }

    // Wet sums, left in the low half and right in the high half, each added in its own order:
    // the lowpass states of strings 2, 0, 4, 6, 8, 10 (left) and 3, 1, 5, 7, 9, 11 (right), then
    // the raw lines of the other strings read at their partners' positions.
    DoublePair sum = s.lowpass[1] + s.lowpass[0];
    sum = sum + s.lowpass[2];
    sum = sum + s.lowpass[3];
    sum = sum + s.lowpass[4];
    sum = sum + s.lowpass[5];
    sum = sum + loadFloats(at(lines, 1, rp[10]), at(lines, 0, rp[11]));
    sum = sum + loadFloats(at(lines, 3, rp[8]), at(lines, 2, rp[9]));
    sum = sum + loadFloats(at(lines, 5, rp[6]), at(lines, 4, rp[7]));
    sum = sum + loadFloats(at(lines, 7, rp[4]), at(lines, 6, rp[5]));
    sum = sum + loadFloats(at(lines, 9, rp[2]), at(lines, 8, rp[3]));
    sum = sum + loadFloats(at(lines, 11, rp[0]), at(lines, 10, rp[1]));

    // Crossfade of dry and wet per side, rounded to float, then the output gain.
    const DoublePair mixed = roundToFloat(dry + b.mix * (splat(kWetScale) * sum - dry));
    storeFloats(b.gain * mixed, outL, outR);
}

inline void advance(StringState& s) {
    s.writePos = (s.writePos + 1) & kLineMask;
    for (int32_t k = 0; k < kNumStrings; ++k) s.readPos[k] = (s.readPos[k] + 1) & kLineMask;
}

// One step of each glide. The distances are doubles; only their magnitudes are compared as floats.
inline void glide(const BlockValues& b, StringState& s) {
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
        if (static_cast<double>(static_cast<float>(std::fabs(d))) <= kTuneSnap) {
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

inline bool glidesAtRest(const BlockValues& b, const StringState& s) {
    return std::bit_cast<uint32_t>(s.detuneAmount) == std::bit_cast<uint32_t>(b.detuneTarget) &&
           std::bit_cast<uint32_t>(s.tuneRatio) == std::bit_cast<uint32_t>(b.tuneTarget);
}

// Samples [begin, end) with the glides moving and the rule setting the positions after every
// sample. Stops early, returning the next sample, once the steady loop can take over.
template <bool kBypassed>
int32_t runGeneral(const BlockValues& b, StringState& s, LoopDelays& delays, const float* inL, const float* inR,
                   float* outL, float* outR, int32_t begin, int32_t end) {
    for (int32_t n = begin; n < end; ++n) {
        runStrings<kBypassed>(b, s, inL[n], inR[n], outL + n, outR + n);
        glide(b, s);
        if (!delays.matches(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio)) {
            delays.update(b.fs, s.tuneRatio, s.detuneAmount, b.transposeRatio);
        }
        delays.readPositions(s.writePos, s.readPos);
        advance(s);
        if (glidesAtRest(b, s) && delays.stepSafe()) return n + 1;
    }
    return end;
}

// Samples [begin, end) with nothing moving: the positions follow by advancing.
template <bool kBypassed>
void runSteady(const BlockValues& b, StringState& s, const float* inL, const float* inR, float* outL, float* outR,
               int32_t begin, int32_t end) {
    for (int32_t n = begin; n < end; ++n) {
        runStrings<kBypassed>(b, s, inL[n], inR[n], outL + n, outR + n);
        advance(s);
    }
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
    s.lines = lines_.get();
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
