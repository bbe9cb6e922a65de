#include "dsp/resonator_bank.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "dsp/parameter_laws.h"

namespace dsp {

static_assert(std::atomic<uint64_t>::is_always_lock_free, "the loop gain and its count are read on the audio thread");

namespace {

// Times the widths on the same steady work at several tunings, in turn, and keeps the best
// time of each width at each tuning, so that a moment of other load on the machine does not
// decide. Each turn tunes the strings anew, runs a few blocks and times the next few, as a
// host runs an engine block after block: right after another engine's code the processor's
// predictors are not yet used to this one's. A width's speed is the median over the tunings
// of its time against the pipelined four-wide one's: one tuning that happens to suit one width
// does not decide. Another width is chosen only when it is clearly faster: where they are
// even, the pipelined one has the shorter chain from sample to sample.
ResonatorBank::Width measureFastestWidth() {
    constexpr int32_t kFrames = 256;
    constexpr int32_t kRounds = 6;
    constexpr int32_t kBlocksPerTurn = 2;  // run, then timed
    constexpr double kMustWinBy = 0.97;
    using Width = ResonatorBank::Width;
    constexpr int32_t kWidths = 3;
    const Width widths[kWidths] = {Width::four, Width::fourSequential, Width::two};
    // Transpose, Tune and Detune; every loop shorter than the blocks run before the timing.
    constexpr int32_t kTunings = 5;
    constexpr float kTuning[kTunings][3] = {
        {0.5f, 0.5f, 0.3f}, {0.52f, 0.25f, 0.6f}, {0.56f, 0.75f, 0.0f}, {0.6f, 0.4f, 0.9f}, {0.7f, 0.6f, 0.15f}};
    std::unique_ptr<ResonatorBank> banks[kWidths];
    for (int32_t i = 0; i < kWidths; ++i) {
        banks[i] = std::make_unique<ResonatorBank>(widths[i]);
        banks[i]->setOutput(0.5f);
        banks[i]->setMix(0.5f);
        banks[i]->setDecay(0.5f);
        banks[i]->setDamp(0.25f);
    }
    // Noise, different on the two sides (signals in exact opposition would cancel in the
    // excitation and leave the strings to sink toward the denormal range).
    std::vector<float> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
    uint32_t noise = 1;
    auto next = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
    };
    for (int32_t n = 0; n < kFrames; ++n) {
        inL[static_cast<size_t>(n)] = next();
        inR[static_cast<size_t>(n)] = next();
    }
    double best[kTunings][kWidths];
    std::fill(&best[0][0], &best[0][0] + kTunings * kWidths, std::numeric_limits<double>::infinity());
    for (int32_t round = 0; round < kRounds; ++round) {
        for (int32_t t = 0; t < kTunings; ++t) {
            for (int32_t i = 0; i < kWidths; ++i) {
                ResonatorBank& bank = *banks[i];
                bank.setTranspose(kTuning[t][0]);
                bank.setTune(kTuning[t][1]);
                bank.setDetune(kTuning[t][2]);
                bank.reset();
                auto blocks = [&] {
                    for (int32_t block = 0; block < kBlocksPerTurn; ++block) {
                        bank.process(inL.data(), inR.data(), outL.data(), outR.data(), kFrames, 44100.0f);
                    }
                };
                blocks();
                const auto start = std::chrono::steady_clock::now();
                blocks();
                const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
                best[t][i] = std::min(best[t][i], took.count());
            }
        }
    }
    int32_t chosen = 0;
    double chosenRatio = 1.0;
    for (int32_t i = 1; i < kWidths; ++i) {
        double ratios[kTunings];
        for (int32_t t = 0; t < kTunings; ++t) ratios[t] = best[t][i] / best[t][0];
        std::nth_element(ratios, ratios + kTunings / 2, ratios + kTunings);
        const double ratio = ratios[kTunings / 2];
        if (ratio < kMustWinBy * chosenRatio) {
            chosen = i;
            chosenRatio = ratio;
        }
    }
    return widths[chosen];
}

}  // namespace

bool ResonatorBank::fourAvailable() { return quadBlockRunner() != nullptr; }

ResonatorBank::Width ResonatorBank::fastestWidth() {
    static const Width kFastest = fourAvailable() ? measureFastestWidth() : Width::two;
    return kFastest;
}

ResonatorBank::ResonatorBank(Width width)
    : outputGain_(outputGainLaw(0.0f)),
      mix_(0.0f),
      feedback_(decayFeedbackLaw(0.0f, 1.0f)),
      dampCoef_(dampCoefLaw(0.0f)),
      decay_(0.0f),
      transposeTarget_(1.0f),
      gainInputs_(0),
      publishedFeedback_(std::bit_cast<uint32_t>(decayFeedbackLaw(0.0f, 1.0f))),
      tuneTarget_(1.0f),
      detuneTarget_(0.0f),
      bypass_(0),
      pendingTranspose_(kNoPendingTranspose),
      transposeRatio_(1.0f),
      tuneRatio_(1.0f),
      detuneAmount_(0.0f),
      width_(width == Width::fastest ? fastestWidth()
             : width == Width::two || !fourAvailable() ? Width::two
                                                       : width),
      runner_(width_ == Width::four             ? quadBlockRunner()
              : width_ == Width::fourSequential ? quadSequentialBlockRunner()
                                                : pairBlockRunner()),
      blockFeedback_(feedback_.load(std::memory_order_relaxed)),
      lineView_(new float[kLineLength]) {
    reset();
}

void ResonatorBank::setOutput(float v) { outputGain_.store(outputGainLaw(v), std::memory_order_relaxed); }

void ResonatorBank::setMix(float v) { mix_.store(v, std::memory_order_relaxed); }

void ResonatorBank::setDecay(float v) {
    decay_.store(v, std::memory_order_relaxed);
    publishFeedback(gainInputs_.fetch_add(1, std::memory_order_acq_rel) + 1);
}

void ResonatorBank::publishFeedback(uint32_t count) {
    // The count was taken after this setter stored its input, and every setter that counted
    // before stored its own before that: the inputs read now are at least as new as the count.
    const float feedback =
        decayFeedbackLaw(decay_.load(std::memory_order_relaxed), transposeTarget_.load(std::memory_order_relaxed));
    feedback_.store(feedback, std::memory_order_relaxed);
    const uint64_t mine = (static_cast<uint64_t>(count) << 32) | std::bit_cast<uint32_t>(feedback);
    uint64_t seen = publishedFeedback_.load(std::memory_order_relaxed);
    // Keep the value of the latest count (counts compared as they wrap).
    while (static_cast<int32_t>(count - static_cast<uint32_t>(seen >> 32)) > 0 &&
           !publishedFeedback_.compare_exchange_weak(seen, mine, std::memory_order_release, std::memory_order_relaxed)) {
    }
}

void ResonatorBank::setDamp(float v) { dampCoef_.store(dampCoefLaw(v), std::memory_order_relaxed); }

void ResonatorBank::setTranspose(float v) {
    const float ratio = transposeRatioLaw(v);
    if (ratio == transposeTarget_.load(std::memory_order_relaxed)) return;
    transposeTarget_.store(ratio, std::memory_order_relaxed);
    publishFeedback(gainInputs_.fetch_add(1, std::memory_order_acq_rel) + 1);
    // The lines and positions belong to the audio thread: the next block clears and retunes
    // them. A later change before that block simply replaces this one.
    pendingTranspose_.store(std::bit_cast<uint32_t>(ratio), std::memory_order_release);
}

void ResonatorBank::setTune(float v) { tuneTarget_.store(tuneTargetLaw(v), std::memory_order_relaxed); }

void ResonatorBank::setDetune(float v) { detuneTarget_.store(v, std::memory_order_relaxed); }

void ResonatorBank::setBypass(float v) { bypass_.store(bypassLaw(v), std::memory_order_relaxed); }

void ResonatorBank::reset() {
    // Ending the glides sets the transposition in use to its target anyway, so a change still
    // waiting for the audio thread has nothing left to do.
    pendingTranspose_.store(kNoPendingTranspose, std::memory_order_relaxed);
    silenceLines();
    // Two periods of each base pitch at 44100 Hz behind the write position. The first sample
    // reads silence from the cleared lines wherever these point, and then sets them by the rule.
    constexpr double kResetRate = 44100.0;
    writePos_ = kLineMask;
    for (int32_t k = 0; k < kNumStrings; ++k) {
        readPos_[k] = static_cast<int32_t>(static_cast<double>(kLineMask) - kResetRate / (kStringFreq[k] / 2.0));
        lowpass_[k] = 0.0f;
    }
    positionsKnown_ = false;
    lineBound_ = 0.0;
    detuneAmount_.store(detuneTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    tuneRatio_.store(tuneTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    transposeRatio_.store(transposeTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void ResonatorBank::silenceLines() {
    // Nothing is cleared yet: each stretch clears what its loops read before they read it
    // (StringState::sinceChange).
    sinceChange_ = 0;
    std::fill(clearedNear_, clearedNear_ + QuadLines::kBlocks, 1);
    std::fill(clearedFar_, clearedFar_ + QuadLines::kBlocks, 0);
}

const float* ResonatorBank::line(int32_t k) const {
    float* const view = lineView_.get();
    lines_.copyLine(k, view, width_ == Width::four ? 1.0 / kPipelinedLineScale : 1.0);
    // Positions before the last change of transposition, neither written nor cleared since:
    // silent, as far as the strings can tell.
    const int32_t firstWrite = writePos_ - sinceChange_;
    const int32_t q = QuadLines::kSlotOf[k] / QuadLines::kStringsPerBlock;
    for (int32_t u = 1; u <= kLineLength - sinceChange_; ++u) {
        if (u < clearedNear_[q] || u > clearedFar_[q]) view[(firstWrite - u) & kLineMask] = 0.0f;
    }
    return view;
}

void ResonatorBank::applyTransposition(float ratio, float fs) {
    transposeRatio_.store(ratio, std::memory_order_relaxed);
    silenceLines();
    delays_.update(fs, tuneRatio_.load(std::memory_order_relaxed), detuneAmount_.load(std::memory_order_relaxed),
                   ratio);
    delays_.readPositions(writePos_, readPos_, 0);
    positionsKnown_ = true;
    // The lines are silent: the lowpass states alone bound what the strings hold now.
    lineBound_ = 0.0;
    for (const float state : lowpass_) lineBound_ = std::max(lineBound_, static_cast<double>(std::fabs(state)));
}

float ResonatorBank::blockFeedback() {
    // Each setter stores its own input, then counts the change, then publishes the loop gain
    // computed from both inputs as they are after its count. The value published for the
    // latest count serves as it is; the powers then never run on the audio thread. While a
    // setter is between its count and its publication, the block computes the gain itself
    // from both inputs as they are now. Either way it puts the view right: two racing setters
    // may each have stored it from the other's older input, the older last.
    const uint32_t inputs = gainInputs_.load(std::memory_order_acquire);
    if (inputs != blockGainInputs_) {
        blockGainInputs_ = inputs;
        const uint64_t published = publishedFeedback_.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(published >> 32) == inputs) {
            blockFeedback_ = std::bit_cast<float>(static_cast<uint32_t>(published));
        } else {
            blockFeedback_ = decayFeedbackLaw(decay_.load(std::memory_order_relaxed),
                                              transposeTarget_.load(std::memory_order_relaxed));
        }
        feedback_.store(blockFeedback_, std::memory_order_relaxed);
    }
    return blockFeedback_;
}

}  // namespace dsp
