#include "dsp/resonator_bank.h"

#include <bit>

#include "dsp/parameter_laws.h"

namespace dsp {

bool ResonatorBank::fourAvailable() { return quadBlockRunner() != nullptr; }

ResonatorBank::ResonatorBank(Width width)
    : outputGain_(outputGainLaw(0.0f)),
      mix_(0.0f),
      feedback_(decayFeedbackLaw(0.0f, 1.0f)),
      dampCoef_(dampCoefLaw(0.0f)),
      lastDecay_(0.0f),
      transposeTarget_(1.0f),
      tuneTarget_(1.0f),
      detuneTarget_(0.0f),
      bypass_(0),
      pendingTranspose_(kNoPendingTranspose),
      transposeRatio_(1.0f),
      tuneRatio_(1.0f),
      detuneAmount_(0.0f),
      width_(width != Width::two && fourAvailable() ? Width::four : Width::two),
      runner_(width_ == Width::four ? quadBlockRunner() : pairBlockRunner()),
      lineView_(new float[kLineLength]) {
    reset();
}

void ResonatorBank::setOutput(float v) { outputGain_.store(outputGainLaw(v), std::memory_order_relaxed); }

void ResonatorBank::setMix(float v) { mix_.store(v, std::memory_order_relaxed); }

void ResonatorBank::setDecay(float v) {
    lastDecay_.store(v, std::memory_order_relaxed);
    feedback_.store(decayFeedbackLaw(v, transposeTarget_.load(std::memory_order_relaxed)),
                    std::memory_order_relaxed);
}

void ResonatorBank::setDamp(float v) { dampCoef_.store(dampCoefLaw(v), std::memory_order_relaxed); }

void ResonatorBank::setTranspose(float v) {
    const float ratio = transposeRatioLaw(v);
    if (ratio == transposeTarget_.load(std::memory_order_relaxed)) return;
    transposeTarget_.store(ratio, std::memory_order_relaxed);
    feedback_.store(decayFeedbackLaw(lastDecay_.load(std::memory_order_relaxed), ratio), std::memory_order_relaxed);
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
    clearLines();
    // Two periods of each base pitch at 44100 Hz behind the write position. The first sample
    // reads silence from the cleared lines wherever these point, and then sets them by the rule.
    constexpr double kResetRate = 44100.0;
    writePos_ = kLineMask;
    for (int32_t k = 0; k < kNumStrings; ++k) {
        readPos_[k] = static_cast<int32_t>(static_cast<double>(kLineMask) - kResetRate / (kStringFreq[k] / 2.0));
        lowpass_[k] = 0.0f;
    }
    positions_ = PositionState::unknown;
    detuneAmount_.store(detuneTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    tuneRatio_.store(tuneTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    transposeRatio_.store(transposeTarget_.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

void ResonatorBank::clearLines() { lines_.clear(); }

void ResonatorBank::applyTransposition(float ratio, float fs) {
    transposeRatio_.store(ratio, std::memory_order_relaxed);
    clearLines();
    delays_.update(fs, tuneRatio_.load(std::memory_order_relaxed), detuneAmount_.load(std::memory_order_relaxed),
                   ratio);
    delays_.readPositions(writePos_, readPos_, 0);
    positions_ = PositionState::onRule;
}

}  // namespace dsp
