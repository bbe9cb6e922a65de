// The resonator bank written the plain way, as the yardstick for the engine in dsp/: one
// sample at a time, every quantity read afresh from its field at every sample, the read
// positions computed by the loop-length rule after every sample, and a change of Transpose
// applied at once inside its setter. It is deliberately slow and obvious; the engine has to
// produce the same bits.
//
// It keeps the engine's few deliberate departures from the bare formulas, each marked
// "Guard:" below: float-to-int conversions that cannot overflow, a Decay below 0 acting as 0,
// and a Tune target that saturates at the largest float.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace reference {

inline constexpr int32_t kNumStrings = 12;
inline constexpr int32_t kLineLength = 16384;
inline constexpr int32_t kLineMask = 16383;
inline constexpr double kDetuneDepth = 0.015;
inline constexpr double kStringFreq[kNumStrings] = {110,       116.5406,  123.4706,  130.81277,
                                                    138.5912,  146.832378, 155.5631, 164.81377,
                                                    174.61411, 184.99723, 195.99767, 207.652346};
inline constexpr double kDetuneSpread[kNumStrings] = {1.11,  0.599,  -1.402, -0.797, 1.65,  0.35,
                                                      -1.26, -0.498, 1.48,   0.866,  -1.59, -0.43};
inline constexpr double kWetScale = 0.075;
inline constexpr double kExcitationWeight = 0.5;
inline constexpr float kDenormalOffset = 1e-9f;
inline constexpr double kDetuneGlideStep = 0.00075;
inline constexpr double kDetuneSnap = 0.002;
inline constexpr double kTuneGlideStep = 0.00025;
inline constexpr double kTuneSnap = 0.0015;
inline constexpr double kTuneSlewLimit = 0.00002;

// Guard: the integer part of x, saturating instead of overflowing.
inline int32_t integerPart(double x) {
    if (x >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483649.0) return std::numeric_limits<int32_t>::min();
    if (std::isnan(x)) return 0;
    return static_cast<int32_t>(x);
}

class ReferenceEngine {
public:
    // Parameter indices.
    enum { kOutput, kMix, kDecay, kDamp, kTranspose, kTune, kDetune, kBypass };

    ReferenceEngine() : lines(kNumStrings, std::vector<float>(kLineLength)) {
        // The engine's starting values: gain 0, mix 0, Decay and Damp 0, ratios 1, detune 0.
        paramValues[kOutput] = 0.0f;
        outputGain = 0.0f;
        mix = 0.0f;
        paramValues[kDecay] = 0.0f;
        transposeTarget = transposeRatio = tuneTarget = tuneRatio = 1.0f;
        detuneTarget = detuneAmount = 0.0f;
        bypass = 0;
        feedback = decayLaw(paramValues[kDecay], transposeTarget);
        for (int32_t k = 0; k < kNumStrings; ++k) dampCoef[k] = static_cast<float>(std::pow(1.84, 1.0 - 0.0) / 1.845);
        suspend();
    }

    void setParameter(int32_t index, float value) {
        if (index < 0 || index > 7) return;
        paramValues[index] = value;
        const double v = value;
        switch (index) {
            case kOutput: outputGain = static_cast<float>(4.0 * v * v); break;
            case kMix: mix = value; break;
            case kDecay: feedback = decayLaw(value, transposeTarget); break;
            case kDamp:
                for (int32_t k = 0; k < kNumStrings; ++k) dampCoef[k] = static_cast<float>(std::pow(1.84, 1.0 - v) / 1.845);
                break;
            case kTranspose: {
                const int32_t n = integerPart(48.0 * v + 0.5);
                const float ratio = static_cast<float>(0.25 * std::pow(16.0, n / 48.0));
                if (ratio == transposeTarget) break;
                transposeTarget = ratio;
                feedback = decayLaw(paramValues[kDecay], transposeTarget);
                transposeRatio = ratio;
                for (auto& line : lines) std::fill(line.begin(), line.end(), 0.0f);
                for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = loopLengthRule(k);
                break;
            }
            case kTune: {
                tuneTarget = static_cast<float>(std::pow(1.12246, v) / 1.05946);
                // Guard: an infinite target would make the glide's distance NaN.
                if (std::isinf(tuneTarget)) tuneTarget = std::numeric_limits<float>::max();
                break;
            }
            case kDetune: detuneTarget = value; break;
            case kBypass: bypass = integerPart(v + 0.5); break;
        }
    }

    void setOutput(float v) { setParameter(kOutput, v); }
    void setMix(float v) { setParameter(kMix, v); }
    void setDecay(float v) { setParameter(kDecay, v); }
    void setDamp(float v) { setParameter(kDamp, v); }
    void setTranspose(float v) { setParameter(kTranspose, v); }
    void setTune(float v) { setParameter(kTune, v); }
    void setDetune(float v) { setParameter(kDetune, v); }
    void setBypass(float v) { setParameter(kBypass, v); }
    void setSampleRate(float fs) { sampleRate = fs; }

    void suspend() {
        for (auto& line : lines) std::fill(line.begin(), line.end(), 0.0f);
        writePos = 16383;
        for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = static_cast<int32_t>(16383 - 44100 / (kStringFreq[k] / 2));
        for (int32_t k = 0; k < kNumStrings; ++k) lowpass[k] = 0.0f;
        detuneAmount = detuneTarget;
        tuneRatio = tuneTarget;
        transposeRatio = transposeTarget;
    }
    void reset() { suspend(); }

    void process(const float* inL, const float* inR, float* outL, float* outR, int32_t sampleFrames, float fs) {
        if (sampleFrames <= 0) return;
        sampleRate = fs;
        float o = kDenormalOffset;
        for (int32_t n = 0; n < sampleFrames; ++n) {
            // 1. Input.
            const float xl = inL[n];
            const float xr = inR[n];
            float dl;
            float dr;
            double e;
            if (bypass == 0) {
                dl = static_cast<float>(static_cast<double>(xl) + o);
                dr = static_cast<float>(static_cast<double>(xr) + o);
                e = kExcitationWeight * (static_cast<double>(dl) + dr);
            } else {
                dl = xl;
                dr = xr;
                e = kExcitationWeight * (static_cast<double>(o) + o);
            }
            o = -o;
            // 2. Strings, reading.
            for (int32_t k = 0; k < kNumStrings; ++k) {
                lowpass[k] = static_cast<float>(lowpass[k] + static_cast<double>(dampCoef[k]) *
                                                                 (static_cast<double>(lines[k][readPos[k]]) - lowpass[k]));
            }
            // 3. Strings, writing.
            for (int32_t k = 0; k < kNumStrings; ++k) {
                lines[k][writePos] = static_cast<float>(e + static_cast<double>(feedback) * lowpass[k]);
            }
            // 4. Left side.
            double sl = lowpass[2];
            sl += lowpass[0];
            sl += lowpass[4];
            sl += lowpass[6];
            sl += lowpass[8];
            sl += lowpass[10];
            sl += lines[1][readPos[10]];
            sl += lines[3][readPos[8]];
            sl += lines[5][readPos[6]];
            sl += lines[7][readPos[4]];
            sl += lines[9][readPos[2]];
            sl += lines[11][readPos[0]];
            const float outLeft = static_cast<float>(dl + static_cast<double>(mix) * (kWetScale * sl - dl));
            // 5. Right side.
            double sr = lowpass[3];
            sr += lowpass[1];
            sr += lowpass[5];
            sr += lowpass[7];
            sr += lowpass[9];
            sr += lowpass[11];
            sr += lines[0][readPos[11]];
            sr += lines[2][readPos[9]];
            sr += lines[4][readPos[7]];
            sr += lines[6][readPos[5]];
            sr += lines[8][readPos[3]];
            sr += lines[10][readPos[1]];
            const float outRight = static_cast<float>(dr + static_cast<double>(mix) * (kWetScale * sr - dr));
            // 6. Detune glide.
            {
                const double d = static_cast<double>(detuneTarget) - detuneAmount;
                if (static_cast<float>(std::fabs(d)) > kDetuneSnap) {
                    detuneAmount = static_cast<float>(detuneAmount + kDetuneGlideStep * d);
                } else {
                    detuneAmount = detuneTarget;
                }
            }
            // 7. Tune glide.
            {
                const double d = static_cast<double>(tuneTarget) - tuneRatio;
                if (static_cast<float>(std::fabs(d)) <= kTuneSnap) {
                    tuneRatio = tuneTarget;
                } else {
                    const float c = static_cast<float>(tuneRatio + kTuneGlideStep * d);
                    if (static_cast<float>(std::fabs(static_cast<double>(c) - tuneRatio)) > kTuneSlewLimit) {
                        if (c > tuneRatio) {
                            tuneRatio = static_cast<float>(tuneRatio + kTuneSlewLimit);
                        } else {
                            tuneRatio = static_cast<float>(tuneRatio - kTuneSlewLimit);
                        }
                    } else {
                        tuneRatio = c;
                    }
                }
            }
            // 8. Read positions.
            for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = loopLengthRule(k);
            // 9. Output.
            outL[n] = static_cast<float>(static_cast<double>(outputGain) * outLeft);
            outR[n] = static_cast<float>(static_cast<double>(outputGain) * outRight);
            // 10. Advance.
            writePos = (writePos + 1) & kLineMask;
            for (int32_t k = 0; k < kNumStrings; ++k) readPos[k] = (readPos[k] + 1) & kLineMask;
        }
    }

    // The engine's fields, public so that tests can compare them.
    float paramValues[8] = {};
    float outputGain;
    float mix;
    float feedback;
    float dampCoef[kNumStrings];
    float transposeTarget;
    float transposeRatio;
    float tuneTarget;
    float tuneRatio;
    float detuneTarget;
    float detuneAmount;
    int32_t bypass;
    std::vector<std::vector<float>> lines;
    int32_t writePos;
    int32_t readPos[kNumStrings];
    float lowpass[kNumStrings];
    float sampleRate = 44100.0f;

private:
    static float decayLaw(float decay, float transpose) {
        // Guard: a Decay below 0 acts as 0 (the root of a negative value is NaN).
        const double root = decay > 0.0f ? std::sqrt(static_cast<double>(decay)) : 0.0;
        return static_cast<float>(std::pow(std::pow(1.02, root) / 1.0205, 1.0 / (0.25 * transpose)));
    }

    // The loop-length rule for string k from the fields as they are now.
    int32_t loopLengthRule(int32_t k) const {
        const double fs = sampleRate;
        const double d = (fs + fs * kDetuneDepth * kDetuneSpread[k] * detuneAmount) /
                         ((static_cast<double>(tuneRatio) * transposeRatio) * kStringFreq[k]);
        const double x = writePos - d + 16384;
        // Guard: the integer part of x, then AND 16383, as if the integer were unbounded; a
        // non-finite x reads the position just written.
        if (std::isnan(x) || std::isinf(x)) return writePos;
        if (std::fabs(x) < 2147483648.0) return static_cast<int32_t>(x) & kLineMask;
        return static_cast<int32_t>(std::fmod(x, 16384.0)) & kLineMask;
    }
};

}  // namespace reference
