// The resonator bank: twelve strings, each a delay line closed into a loop through a one-pole
// lowpass and a loop gain, tuned a semitone apart from 110 Hz and excited together by the
// mono average of a stereo input.
//
// Threads. The setters run on any thread at any time, also while process() runs on the audio
// thread: every value they write is an atomic that process() reads once at the start of each
// block, so a change takes effect at the next block boundary, between two samples. A change of
// Transpose must clear the lines and move the read positions, which belong to the audio
// thread; the setter therefore only posts the new ratio, and process() applies it at the start
// of its next block. The loop gain depends on both Decay and Transpose, which two threads may
// set at once; process() recomputes it from both whenever either has changed since its last
// block. reset() and the views of the string state (writePos, readPos, lowpass, line) are for
// the thread that owns the audio, never while process() runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "dsp/block_loops.h"
#include "dsp/constants.h"
#include "dsp/loop_delays.h"
#include "dsp/quad_lines.h"

namespace dsp {

class ResonatorBank {
public:
    // The string arithmetic, two or four doubles per operation; four either pipelined, with the
    // next sample's lowpass steps ahead of this sample's other work and quick rounding, or one
    // sample after the other. All give the same bits; the choice is made once, at construction,
    // so the audio path never asks.
    enum class Width {
        fastest,         // whichever ran fastest on this processor (fastestWidth())
        two,             // SSE2, or plain doubles in the portable build
        four,            // AVX2 and FMA, pipelined; only where fourAvailable()
        fourSequential,  // AVX2 and FMA, one sample after the other; only where fourAvailable()
    };

    // True when this build and this processor can run Width::four and Width::fourSequential.
    static bool fourAvailable();

    // The width Width::fastest stands for: Width::two where four is not available, otherwise
    // the fastest of the three in a short timing run, made once per process on first use (about
    // two milliseconds; never on the audio thread, since only construction asks).
    static Width fastestWidth();

    // Allocates the twelve lines (may throw std::bad_alloc) and starts with gain 0, mix 0,
    // the loop gain and damping of Decay 0 and Damp 0, transposition and tune ratios 1,
    // detune 0, bypass off, and the strings silent as after reset(). A four-wide width where it
    // is not available gives two.
    explicit ResonatorBank(Width width = Width::fastest);
    ResonatorBank(const ResonatorBank&) = delete;
    ResonatorBank& operator=(const ResonatorBank&) = delete;

    // Parameter laws (parameter_laws.h); v is the normalised value, finite, never clamped.
    void setOutput(float v);
    void setMix(float v);
    void setDecay(float v);
    void setDamp(float v);
    void setTranspose(float v);
    void setTune(float v);
    void setDetune(float v);
    void setBypass(float v);

    // Silences the strings: clears the lines, the positions and the lowpass states, and ends
    // the glides (and any transposition not yet applied) at their targets. Both suspend and
    // resume call this. Never concurrent with process().
    void reset();

    // One block on the audio thread. fs is the host's sample rate (positive, finite). out may
    // be the same buffers as in. frames <= 0 returns at once and changes nothing.
    void process(const float* inL, const float* inR, float* outL, float* outR, int32_t frames, float fs);

    // Values as set, for value texts and tests; any thread. The loop gain is computed by the
    // setters and again by process() whenever Decay or Transpose changed: while two threads set
    // those at once it may briefly lag, and is right from the next block on.
    float outputGain() const { return outputGain_.load(std::memory_order_relaxed); }
    float mix() const { return mix_.load(std::memory_order_relaxed); }
    float feedback() const { return feedback_.load(std::memory_order_relaxed); }
    float dampCoef() const { return dampCoef_.load(std::memory_order_relaxed); }
    float transposeTarget() const { return transposeTarget_.load(std::memory_order_relaxed); }
    float tuneTarget() const { return tuneTarget_.load(std::memory_order_relaxed); }
    float detuneTarget() const { return detuneTarget_.load(std::memory_order_relaxed); }
    int32_t bypass() const { return bypass_.load(std::memory_order_relaxed); }

    // The string arithmetic chosen at construction: never Width::fastest.
    Width width() const { return width_; }

    // Values in use, as of the end of the last block; any thread.
    float transposeRatio() const { return transposeRatio_.load(std::memory_order_relaxed); }
    float tuneRatio() const { return tuneRatio_.load(std::memory_order_relaxed); }
    float detuneAmount() const { return detuneAmount_.load(std::memory_order_relaxed); }

    // String state between two blocks; not while process() runs.
    int32_t writePos() const { return writePos_; }
    int32_t readPos(int32_t k) const { return readPos_[k]; }
    float lowpass(int32_t k) const { return lowpass_[k]; }
    // A copy of line k's kLineLength samples in position order, valid until the next call: the
    // samples the strings hold, where a part not yet cleared after a change of transposition
    // holds silence.
    const float* line(int32_t k) const;

private:
    // A transposition ratio is never NaN, so a NaN pattern marks "no change posted".
    static constexpr uint32_t kNoPendingTranspose = 0x7fc00001u;

    // The lines as if cleared whole, from the next block on.
    void silenceLines();
    void applyTransposition(float ratio, float fs);
    float blockFeedback();
    void publishFeedback(uint32_t count);

    // Written by the setters, read by process() once per block.
    std::atomic<float> outputGain_;
    std::atomic<float> mix_;
    std::atomic<float> feedback_;
    std::atomic<float> dampCoef_;
    std::atomic<float> decay_;  // Decay as last set, the loop gain's other input
    std::atomic<float> transposeTarget_;
    // Counts the changes of decay_ and transposeTarget_; each setter adds one after storing its
    // value, so a block that sees a new count also sees the values behind it.
    std::atomic<uint32_t> gainInputs_;
    // The loop gain (low half, float bits) computed by a setter after the count in the high
    // half; one atomic, so that a block reads the two together.
    std::atomic<uint64_t> publishedFeedback_;
    std::atomic<float> tuneTarget_;
    std::atomic<float> detuneTarget_;
    std::atomic<int32_t> bypass_;
    std::atomic<uint32_t> pendingTranspose_;  // bits of a ratio not yet applied, or kNoPendingTranspose

    // Written by process() (and reset()); atomic so the views may read them from any thread.
    std::atomic<float> transposeRatio_;
    std::atomic<float> tuneRatio_;
    std::atomic<float> detuneAmount_;

    // Chosen at construction: the string arithmetic of every block.
    Width width_;
    BlockRunner runner_;

    // The loop gain of the blocks, and the count of changes it was computed after; audio thread.
    float blockFeedback_ = 0.0f;
    uint32_t blockGainInputs_ = 0;

    // The strings, owned by the audio thread.
    QuadLines lines_;
    std::unique_ptr<float[]> lineView_;  // what line() shows
    int32_t writePos_ = 0;
    int32_t readPos_[kNumStrings] = {};
    float lowpass_[kNumStrings] = {};
    bool positionsKnown_ = false;  // false after reset(), until the rule has set the positions
    double lineBound_ = 0.0;       // see StringState::lineBound
    // See StringState::sinceChange.
    int32_t sinceChange_ = kLineLength;
    int32_t clearedNear_[QuadLines::kBlocks] = {1, 1, 1};
    int32_t clearedFar_[QuadLines::kBlocks] = {};

    // The loop delays the read positions were last computed from.
    LoopDelays delays_;
};

}  // namespace dsp
