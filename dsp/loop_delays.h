// The twelve loop delays D_k of the loop-length rule, kept together with the four inputs they
// were computed from. While those inputs stay the same to the bit, so does every D_k: the
// twelve divisions need not run again, and when every D_k is step-safe the read positions
// need not be recomputed either, because advancing them by one gives what the rule gives.
#pragma once

#include <cstdint>

#include "dsp/constants.h"

namespace dsp {

class LoopDelays {
public:
    // True when the delays were computed from exactly these inputs.
    bool matches(float fs, float tuneRatio, float detuneAmount, float transposeRatio) const;

    // Computes all twelve D_k by loopDelay()'s arithmetic, two strings at a time.
    void update(float fs, float tuneRatio, float detuneAmount, float transposeRatio);

    // Forgets the delays, so that the next matches() answers false.
    void invalidate() { valid_ = false; }

    // The rule's read position of every string for write position w.
    void readPositions(int32_t w, int32_t* readPos) const;

    // True when, for every string, the rule's position for w + 1 (wrapped) is its position for
    // w plus one (wrapped), for every w. See loop_delays.cpp for why the test is sufficient.
    bool stepSafe();

    double delay(int32_t k) const { return delays_[k]; }

private:
    double delays_[kNumStrings] = {};
    uint32_t key_[4] = {};
    bool valid_ = false;
    int8_t stepSafe_ = -1;  // stepSafe() once known for these delays, -1 before
};

}  // namespace dsp
