// The twelve loop delays D_k of the loop-length rule, kept together with the four inputs they
// were computed from. While those inputs stay the same to the bit, so does every D_k: the
// twelve divisions need not run again, and when every D_k is step-safe the read positions
// need not be recomputed either, because advancing them by one gives what the rule gives.
//
// While a Tune glide moves, the rule would run for every sample; the brackets show, with one
// multiplication and two comparisons, when it would give every position its previous value
// plus one. The arithmetic is inline and runs on pairs of strings.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "dsp/constants.h"
#include "dsp/double_pair.h"
#include "dsp/loop_length.h"

namespace dsp {

class LoopDelays {
public:
    // True when the delays were computed from exactly these inputs.
    CHORDWELL_DSP_INLINE bool matches(float fs, float tuneRatio, float detuneAmount, float transposeRatio) const {
        return valid_ && key_[0] == std::bit_cast<uint32_t>(fs) && key_[1] == std::bit_cast<uint32_t>(tuneRatio) &&
               key_[2] == std::bit_cast<uint32_t>(detuneAmount) &&
               key_[3] == std::bit_cast<uint32_t>(transposeRatio);
    }

    // True when the delays were computed for this sample rate and transposition, whatever the
    // tune ratio and detune amount: positions that the rule or the brackets gave since then
    // belong to them. A new rate arriving with a block (a host that changes it without
    // suspending) makes the rule run again.
    CHORDWELL_DSP_INLINE bool sameRateAndTransposition(float fs, float transposeRatio) const {
        return valid_ && key_[0] == std::bit_cast<uint32_t>(fs) && key_[3] == std::bit_cast<uint32_t>(transposeRatio);
    }

    // Computes all twelve D_k by loopDelay()'s arithmetic, two strings at a time: (fs·depth·
    // spread·detune + fs) over ((tune·transpose)·freq).
    CHORDWELL_DSP_INLINE void update(float fs, float tuneRatio, float detuneAmount, float transposeRatio) {
        prepareNumerators(fs, detuneAmount);
        const DoublePair ratio = splat(static_cast<double>(tuneRatio) * static_cast<double>(transposeRatio));
        for (int32_t i = 0; i < kPairs; ++i) {
            delays_[i] = numerators_[i] / (ratio * makePair(kStringFreq[2 * i], kStringFreq[2 * i + 1]));
        }
        key_[0] = std::bit_cast<uint32_t>(fs);
        key_[1] = std::bit_cast<uint32_t>(tuneRatio);
        key_[2] = std::bit_cast<uint32_t>(detuneAmount);
        key_[3] = std::bit_cast<uint32_t>(transposeRatio);
        valid_ = true;
        stepSafe_ = -1;
    }

    // The rule's read position of every string for write position w (readPositionFor()) from
    // the delays of the last update(), plus `advance`, wrapped.
    CHORDWELL_DSP_INLINE void readPositions(int32_t w, int32_t* readPos, int32_t advance) const {
        const DoublePair base = splat(static_cast<double>(w));
        const DoublePair length = splat(static_cast<double>(kLineLength));
        bool fits = true;
        for (int32_t i = 0; i < kPairs; i += 2) {
            fits &= truncateFour(base - delays_[i] + length, base - delays_[i + 1] + length, advance, kLineMask,
                                 readPos + 2 * i);
        }
        if (!fits) {
            for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = (readPositionFor(w, delay(k)) + advance) & kLineMask;
        }
    }

    // Brackets for a Tune glide. Given the rule's positions p_k for write position w, each
    // string keeps the distance L_k = (w − p_k) AND mask for as long as D_k stays inside
    // (L_k − 1, L_k): for 0 < D_k < 16384 the value truncated is positive and the rule gives
    // w − L_k there, whatever w. Only the ratio tt = tune·transpose moves in a Tune glide, and
    // D_k = N_k / (tt·freq_k) stays inside as long as tt lies between N_k / (freq_k·L_k) and
    // N_k / (freq_k·(L_k − 1)): string k's bracket, narrowed so that rounding cannot matter:
    // by 1e-8 in D (relative 6e-13 or more), which leaves room for the few roundings of 2^-53
    // in computing the bounds (they are narrowed by a further 4e-15 relative) and in D itself,
    // and keeps D well clear of whole numbers, where the rule's own roundings (below 2e-11
    // here) could tip the truncation. A string at distance 0, or with a numerator that is not
    // positive, has no bracket. The bracket of the bank is the range of tt inside all twelve.
    CHORDWELL_DSP_INLINE void setBrackets(float fs, float detuneAmount, float transposeRatio, int32_t w,
                                          const int32_t* readPos) {
        prepareNumerators(fs, detuneAmount);
        for (int32_t k = 0; k < kNumStrings; ++k) bracketString(k, (w - readPos[k]) & kLineMask);
        bracketKey_[0] = std::bit_cast<uint32_t>(fs);
        bracketKey_[1] = std::bit_cast<uint32_t>(detuneAmount);
        bracketKey_[2] = std::bit_cast<uint32_t>(transposeRatio);
        joinBrackets();
    }

    // True when only the tune ratio changed since setBrackets() and tt is still inside the
    // bracket: the rule then gives every position its previous value plus one.
    CHORDWELL_DSP_INLINE bool withinBrackets(float fs, float tuneRatio, float detuneAmount, float transposeRatio) const {
        return sameBracketKey(fs, detuneAmount, transposeRatio) && within(tuneRatio, transposeRatio, bracketLow_, bracketHigh_);
    }

    // The rule's read positions for write position w into readPos, when only the tune ratio
    // changed since setBrackets(): strings whose own bracket still holds tt keep their distance;
    // the others get their delay and position by the rule, and a new bracket. False, and
    // readPos untouched, when more than the tune ratio changed.
    CHORDWELL_DSP_INLINE bool rebracket(float fs, float tuneRatio, float detuneAmount, float transposeRatio, int32_t w,
                                        int32_t* readPos) {
        if (!sameBracketKey(fs, detuneAmount, transposeRatio)) return false;
        const double ratio = static_cast<double>(tuneRatio) * static_cast<double>(transposeRatio);
        for (int32_t k = 0; k < kNumStrings; ++k) {
            if (!within(tuneRatio, transposeRatio, low_[k], high_[k])) {
                // The division of loopDelay() on the numerator it shares with update().
                const double delay = numerator(k) / (ratio * kStringFreq[k]);
                bracketString(k, (w - readPositionFor(w, delay)) & kLineMask);
            }
            readPos[k] = (w - distance_[k]) & kLineMask;
        }
        joinBrackets();
        return true;
    }

    // True when, for every string, the rule's position for w + 1 (wrapped) is its position for
    // w plus one (wrapped), for every w. See loop_delays.cpp for why the test is sufficient.
    // Only after update().
    bool stepSafe();

    double delay(int32_t k) const { return (k & 1) == 0 ? low(delays_[k / 2]) : high(delays_[k / 2]); }

private:
    static constexpr int32_t kPairs = kNumStrings / 2;

    double numerator(int32_t k) const { return (k & 1) == 0 ? low(numerators_[k / 2]) : high(numerators_[k / 2]); }

    CHORDWELL_DSP_INLINE bool sameBracketKey(float fs, float detuneAmount, float transposeRatio) const {
        return bracketKey_[0] == std::bit_cast<uint32_t>(fs) && bracketKey_[1] == std::bit_cast<uint32_t>(detuneAmount) &&
               bracketKey_[2] == std::bit_cast<uint32_t>(transposeRatio);
    }

    CHORDWELL_DSP_INLINE static bool within(float tuneRatio, float transposeRatio, double lowBound, double highBound) {
        const double ratio = static_cast<double>(tuneRatio) * static_cast<double>(transposeRatio);
        return ratio > lowBound && ratio < highBound;
    }

    // String k's bracket for distance L (see setBrackets()), from the numerators in hand.
    CHORDWELL_DSP_INLINE void bracketString(int32_t k, int32_t distance) {
        constexpr double kMargin = 1e-8;
        constexpr double kNarrowing = 4e-15;
        distance_[k] = distance;
        const double n = numerator(k);
        if (distance == 0 || !(n > 0.0 && n < std::numeric_limits<double>::infinity())) {
            low_[k] = std::numeric_limits<double>::infinity();  // empty
            high_[k] = 0.0;
            return;
        }
        low_[k] = n / (kStringFreq[k] * (distance - kMargin)) * (1.0 + kNarrowing);
        high_[k] = n / (kStringFreq[k] * (distance - 1 + kMargin)) * (1.0 - kNarrowing);
    }

    // The bank's bracket from the strings'.
    CHORDWELL_DSP_INLINE void joinBrackets() {
        double lowest = 0.0;
        double highest = std::numeric_limits<double>::infinity();
        for (int32_t k = 0; k < kNumStrings; ++k) {
            lowest = std::max(lowest, low_[k]);
            highest = std::min(highest, high_[k]);
        }
        bracketLow_ = lowest;
        bracketHigh_ = highest;
    }

    // The numerators fs + fs·depth·spread·detune, kept while fs and the detune amount stay: a
    // Tune glide changes only the divisors.
    CHORDWELL_DSP_INLINE void prepareNumerators(float fs, float detuneAmount) {
        const uint32_t fsBits = std::bit_cast<uint32_t>(fs);
        const uint32_t detuneBits = std::bit_cast<uint32_t>(detuneAmount);
        if (numeratorsValid_ && numeratorsKey_[0] == fsBits && numeratorsKey_[1] == detuneBits) return;
        const double rate = fs;
        const DoublePair rates = splat(rate);
        const DoublePair depthRates = splat(rate * kDetuneDepth);
        const DoublePair detune = splat(static_cast<double>(detuneAmount));
        for (int32_t i = 0; i < kPairs; ++i) {
            const DoublePair spread = makePair(kDetuneSpread[2 * i], kDetuneSpread[2 * i + 1]);
            numerators_[i] = rates + depthRates * spread * detune;
        }
        numeratorsKey_[0] = fsBits;
        numeratorsKey_[1] = detuneBits;
        numeratorsValid_ = true;
    }

    DoublePair delays_[kPairs] = {};
    DoublePair numerators_[kPairs] = {};
    double bracketLow_ = 0.0;  // empty until setBrackets()
    double bracketHigh_ = 0.0;
    double low_[kNumStrings] = {};  // the strings' brackets
    double high_[kNumStrings] = {};
    int32_t distance_[kNumStrings] = {};
    uint32_t bracketKey_[3] = {};
    uint32_t key_[4] = {};
    uint32_t numeratorsKey_[2] = {};
    bool valid_ = false;
    bool numeratorsValid_ = false;
    int8_t stepSafe_ = -1;  // stepSafe() once known for these delays, -1 before
};

}  // namespace dsp
