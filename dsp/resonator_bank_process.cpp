// The processing loop of the resonator bank (ResonatorBank::process), and its string work two
// doubles at a time over the per-sample halves of string_kernel.h. The loops around it are in
// block_loops.h; the four-wide string work is in resonator_bank_avx2.cpp.

#include <algorithm>
#include <bit>
#include <cstdint>

#include "dsp/block_loops.h"
#include "dsp/resonator_bank.h"
#include "dsp/string_kernel.h"

namespace dsp {
namespace {

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
                    halves[j - j0] = stringsHalf<kBypassed>(b, lp, lines + kPositionStride * j, rp, w, (j & 1) == 0 ? first : -first,
                                                            inL[n + j], inR[n + j]);
                }
                for (int32_t j = j0; j < j0 + count; ++j) {
                    outputHalf(b, halves[j - j0], lines + kPositionStride * j, rp, outL + n + j, outR + n + j);
                }
            }
        } else {
            for (int32_t j = 0; j < run; ++j) {
                const HalfSample h = stringsHalf<kBypassed>(b, lp, lines + kPositionStride * j, rp, w, (j & 1) == 0 ? first : -first,
                                                            inL[n + j], inR[n + j]);
                outputHalf(b, h, lines + kPositionStride * j, rp, outL + n + j, outR + n + j);
            }
        }
        if ((run & 1) != 0) s.offset = -s.offset;
        s.writePos = (w + run) & kLineMask;
        forEach<kNumStrings>([&](auto k) { s.readPos[k] = (rp[k] + run) & kLineMask; });
        n += run;
    }
    forEach<kPairs>([&](auto i) { s.lowpass[i] = lp[i]; });
}

struct PairStrings {
    template <bool kBypassed>
    CHORDWELL_DSP_INLINE static void advance(const BlockValues& b, StringState& s, const float* inL,
                                             const float* inR, float* outL, float* outR, int32_t begin,
                                             int32_t end) {
        runAdvancing<kBypassed>(b, s, inL, inR, outL, outR, begin, end);
    }
};

}  // namespace

BlockRunner pairBlockRunner() { return &runBlock<PairStrings>; }

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

    runner_(b, s, delays_, positions_, BlockIo{inL, inR, outL, outR, frames});

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
