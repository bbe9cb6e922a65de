// The processing loop of the resonator bank (ResonatorBank::process), and its string work two
// doubles at a time: the twelve strings as six pairs (2i, 2i + 1), each pair one half of a
// block of QuadLines. The loops around it are in block_loops.h and stretch_loop.h; the
// four-wide string work is in resonator_bank_avx2.cpp.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "dsp/block_loops.h"
#include "dsp/float_environment.h"
#include "dsp/resonator_bank.h"
#include "dsp/stretch_loop.h"

namespace dsp {
namespace {

// The per-sample arithmetic of stretch_loop.h on pairs of strings. Not pipelined: with twelve
// strings in six registers the pipelined loop needs more registers than SSE2 has and runs
// slower, and with it the quick rounding (four-wide only) would bring nothing: the two-wide
// loop is held up by the number of its operations, not by the chain of lowpass steps.
struct PairLanes {
    static constexpr int32_t kStride = kPositionStride;
    static constexpr bool kPipelined = false;
    static constexpr int32_t kSumStep = 2;

    struct Values {
        DoublePair feedback;
        DoublePair damp;
    };
    struct Lowpass {
        DoublePair pair[kPairs];
    };
    // The entries of a run's first sample: pair i's half at the read positions of its strings
    // (own[2i], own[2i + 1]) and of their partners 11 − 2i, 10 − 2i (partner[2i],
    // partner[2i + 1]), and at the write position (write[i]). Sample i of the run is
    // i · kStride further.
    struct Offsets {
        const double* own[kNumStrings];
        const double* partner[kNumStrings];
        double* write[kPairs];
    };

    static Values values(const BlockValues& b) { return {b.feedback, b.damp}; }
    static Lowpass loadLowpass(const StringState& s) {
        Lowpass lp;
        forEach<kPairs>([&](auto i) { lp.pair[i] = s.lowpass[i]; });
        return lp;
    }
    static void storeLowpass(StringState& s, const Lowpass& lp) {
        forEach<kPairs>([&](auto i) { s.lowpass[i] = lp.pair[i]; });
    }
    // Never scaled.
    static Lowpass convertingLowpass(const Lowpass& lp) { return lp; }
    static Lowpass quickLowpass(const Lowpass& lp) { return lp; }
    // Never pipelined, so never rounding quickly: no bound to keep and no flags to watch.
    static double lineBound(const BlockValues&, double bound, float) { return bound; }
    static bool quickAllowed(const BlockValues&, double) { return false; }
    static void watchBegin() {}
    static bool watchExact(const Lowpass&) { return false; }

    static Offsets offsets(double* lines, const int32_t* rp, int32_t w) {
        Offsets o;
        for (int32_t i = 0; i < kPairs; ++i) {
            double* const base = lines + pairOffset(i);
            o.own[2 * i] = base + static_cast<ptrdiff_t>(kStride) * rp[2 * i];
            o.own[2 * i + 1] = base + static_cast<ptrdiff_t>(kStride) * rp[2 * i + 1];
            o.partner[2 * i] = base + static_cast<ptrdiff_t>(kStride) * rp[11 - 2 * i];
            o.partner[2 * i + 1] = base + static_cast<ptrdiff_t>(kStride) * rp[10 - 2 * i];
            o.write[i] = base + static_cast<ptrdiff_t>(kStride) * w;
        }
        return o;
    }

    // Each lowpass takes one step toward what its line holds at its read position.
    template <bool>
    CHORDWELL_DSP_INLINE static void step(const Values& v, Lowpass& lp, const Offsets& o, int32_t n) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * n;
        forEach<kPairs>([&](auto i) {
            const DoublePair x = blend(loadPair(o.own[2 * i] + at), loadPair(o.own[2 * i + 1] + at));
            lp.pair[i] = roundToFloat(lp.pair[i] + v.damp * (x - lp.pair[i]));
        });
    }

    // Every line gets the excitation plus the loop gain times the new lowpass state, as a float.
    // Then the wet sums: pair i holds (left, right) = strings (2i, 2i + 1), so the lowpass part
    // adds up left and right at once and turns round; the lines' part adds, from pair i, string
    // 2i at its partner's read position (right) and string 2i + 1 at its partner's (left), pairs
    // 0 to 5 in order, reading after the writes.
    template <bool>
    CHORDWELL_DSP_INLINE static void writeAndSum(const Values& v, const Lowpass& lp, const Offsets& o, int32_t n,
                                                 double excitation, double* sum) {
        const ptrdiff_t at = static_cast<ptrdiff_t>(kStride) * n;
        const DoublePair e = splat(excitation);
        forEach<kPairs>([&](auto i) { storePair(o.write[i] + at, roundToFloat(e + v.feedback * lp.pair[i])); });
        DoublePair s = lp.pair[1] + lp.pair[0];
        s = s + lp.pair[2];
        s = s + lp.pair[3];
        s = s + lp.pair[4];
        s = s + lp.pair[5];
        s = swapHalves(s);
        forEach<kPairs>([&](auto i) {
            s = s + blend(loadPair(o.partner[2 * i] + at), loadPair(o.partner[2 * i + 1] + at));
        });
        storePair(sum, s);
    }

    // The dry signals and excitations of samples [0, count) of a stretch, with the offset
    // +first at even samples and −first at odd ones. No bound is kept, so no peak is measured.
    template <bool kBypassed, bool>
    static float takeInputs(StretchBuffers& t, const float* inL, const float* inR, int32_t count, float first) {
        for (int32_t j = 0; j < count; ++j) {
            DoublePair excitation;
            storePair(t.dry + 2 * j, takeInput<kBypassed>((j & 1) == 0 ? first : -first, inL[j], inR[j], excitation));
            t.excitation[j] = low(excitation);
        }
        return 0.0f;
    }

    template <bool>
    static void mixOutputs(const BlockValues& b, const StretchBuffers& t, float* outL, float* outR, int32_t count) {
        for (int32_t j = 0; j < count; ++j) {
            mixOutput(b, loadPair(t.dry + 2 * j), loadPair(t.sum + 2 * j), outL + j, outR + j);
        }
    }
};

struct PairStrings {
    template <bool kBypassed, class Planning>
    static void run(const BlockValues& b, StringState& s, const StretchPlan& plan, const float* inL, const float* inR,
                    float* outL, float* outR, Planning& planning) {
        runStretch<PairLanes, kBypassed>(b, s, plan, inL, inR, outL, outR, planning);
    }
};

}  // namespace

BlockRunner pairBlockRunner() { return &runBlock<PairStrings>; }

void ResonatorBank::process(const float* inL, const float* inR, float* outL, float* outR, int32_t frames, float fs) {
    if (frames <= 0) return;
    // The host's rounding and denormal settings do not reach the engine's arithmetic.
    const DefaultFloatEnvironment ieee;

    const uint32_t pending = pendingTranspose_.exchange(kNoPendingTranspose, std::memory_order_acquire);
    if (pending != kNoPendingTranspose) applyTransposition(std::bit_cast<float>(pending), fs);

    const BlockValues b{
        splat(outputGain_.load(std::memory_order_relaxed)),
        splat(mix_.load(std::memory_order_relaxed)),
        splat(blockFeedback()),
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
    s.lineBound = lineBound_;
    s.sinceChange = sinceChange_;
    std::copy(clearedNear_, clearedNear_ + QuadLines::kBlocks, s.clearedNear);
    std::copy(clearedFar_, clearedFar_ + QuadLines::kBlocks, s.clearedFar);
    s.readsSilence = false;

    runner_(b, s, delays_, positionsKnown_, BlockIo{inL, inR, outL, outR, frames});

    for (int32_t i = 0; i < kPairs; ++i) {
        lowpass_[2 * i] = static_cast<float>(low(s.lowpass[i]));
        lowpass_[2 * i + 1] = static_cast<float>(high(s.lowpass[i]));
    }
    for (int32_t k = 0; k < kNumStrings; ++k) readPos_[k] = s.readPos[k];
    writePos_ = s.writePos;
    tuneRatio_.store(s.tuneRatio, std::memory_order_relaxed);
    detuneAmount_.store(s.detuneAmount, std::memory_order_relaxed);
    lineBound_ = s.lineBound;
    sinceChange_ = s.sinceChange;
    std::copy(s.clearedNear, s.clearedNear + QuadLines::kBlocks, clearedNear_);
    std::copy(s.clearedFar, s.clearedFar + QuadLines::kBlocks, clearedFar_);
}

}  // namespace dsp
